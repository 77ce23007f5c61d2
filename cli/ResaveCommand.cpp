// lintorra-cli resave: load a drawing and save it again, as a conversion
// does but without changing any pen.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/WorkFolder.h"
#include "documents/FileInfo.h"
#include "documents/JwFormat.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

struct ResaveOptions {
  std::string in, out;
  std::optional<int> version;
};

template <class TDoc>
int Resave(TDoc& Doc, const ResaveOptions& O, TJwVersions Accepted) {
  if (!Doc.FileIn(FromNativeName(O.in))) {
    std::cerr << "lintorra-cli: cannot load " << O.in << ": " << Describe(Doc.LastError()) << "\n";
    return 1;
  }
  const int Version = O.version.value_or(Doc.Enthd.jwVer);
  if (!Accepted.Holds(Version)) {
    std::cerr << "lintorra-cli: version " << Version << " is outside " << Accepted.Min << ".." << Accepted.Max << "\n";
    return 2;
  }
  Doc.SetFileOutOption(Doc.MojiEncode ? kOutUtf16 : 0);
  if (!Doc.FileOut(FromNativeName(O.out), Version)) {
    std::cerr << "lintorra-cli: cannot save " << O.out << ": " << Describe(Doc.LastError()) << "\n";
    return 1;
  }
  return 0;
}

int RunResave(const ResaveOptions& O) {
  switch (FileKindOf(FromNativeName(O.in))) {
    case JwFileKind::Jww: {
      TempWorkFolder Work;
      TJwwData JWW;
      JWW.BindImageFolder = Work.path();
      JWW.BindImageExp = JWW.BindImageExr = Work.ok();
      const int Rc = Resave(JWW, O, kJwwVersions);
      JwwDataFree(JWW);
      return Rc;
    }
    case JwFileKind::Jws: {
      TJwsData JWS;
      return Resave(JWS, O, kJwsVersions);
    }
    default: std::cerr << "lintorra-cli: " << O.in << " is neither a JWW nor a JWS file\n"; return 2;
  }
}

}  // namespace

void AddResaveCommand(CLI::App& App, int& ExitCode) {
  auto O = std::make_shared<ResaveOptions>();
  CLI::App* Cmd = App.add_subcommand("resave", "Load a JWW or JWS file and save it again (bound images included)");
  Cmd->add_option("IN", O->in, "Source file")->required();
  Cmd->add_option("OUT", O->out, "Destination file")->required();
  Cmd->add_option("--version", O->version, "Format version to save in (default: the file's own)");
  Cmd->callback([O, &ExitCode] { ExitCode = RunResave(*O); });
}
