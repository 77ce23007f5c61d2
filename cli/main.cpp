// lintorra-cli: the command-line face of the core, for scripting and
// inspection.
#include <clocale>

#include "cli/Commands.h"
#include "documents/jwwtype.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  JwwTypeInit();
  CLI::App app{"Lintorra: bulk pen conversion of Jw_cad drawings", "lintorra-cli"};
  app.require_subcommand(1);
  int exitCode = 0;
  AddInfoCommand(app, exitCode);
  AddResaveCommand(app, exitCode);
  AddConvertCommand(app, exitCode);
  CLI11_PARSE(app, argc, argv);
  return exitCode;
}
