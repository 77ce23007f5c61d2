// lintorra-cli: the command-line face of the core, for scripting and
// inspection.
#include <clocale>
#include <string>

#include "cli/Commands.h"
#include "documents/jwwtype.h"
#include "packaging/Version.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  JwwTypeInit();
  CLI::App App{"Lintorra: bulk pen conversion of Jw_cad drawings", "lintorra-cli"};
  App.set_version_flag("--version", std::string("lintorra-cli ") + kLintorraVersion);
  App.require_subcommand(1);
  int ExitCode = 0;
  AddInfoCommand(App, ExitCode);
  AddResaveCommand(App, ExitCode);
  AddConvertCommand(App, ExitCode);
  AddRenderCommand(App, ExitCode);
  AddPensCommand(App, ExitCode);
  CLI11_PARSE(App, argc, argv);
  return ExitCode;
}
