// lintorra-cli: the command-line face of the core, for scripting and
// inspection.
#include <CLI/CLI.hpp>

int main(int argc, char** argv) {
  CLI::App app{"Lintorra: bulk pen conversion of Jw_cad drawings", "lintorra-cli"};
  app.require_subcommand(1);
  CLI11_PARSE(app, argc, argv);
  return 0;
}
