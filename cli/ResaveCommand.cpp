// lintorra-cli resave: load a drawing and save it again, as a conversion
// does but without changing any pen.
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/Commands.h"
#include "cli/WorkFolder.h"
#include "documents/FileInfo.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

struct ResaveOptions {
  std::string in, out;
  std::optional<int> version;
};

template <class Doc>
int Resave(Doc& doc, const ResaveOptions& o, int minVersion) {
  if (!doc.FileIn(FromNativeName(o.in))) {
    std::cerr << "lintorra-cli: cannot load " << o.in << "\n";
    return 1;
  }
  const int version = o.version.value_or(doc.Enthd.jwVer);
  if (version < minVersion || version > 700) {
    std::cerr << "lintorra-cli: version " << version << " is outside " << minVersion << "..700\n";
    return 2;
  }
  doc.SetFileOutOption(doc.MojiEncode ? kOutUtf16 : 0);
  if (!doc.FileOut(FromNativeName(o.out), version)) {
    std::cerr << "lintorra-cli: cannot save " << o.out << "\n";
    return 1;
  }
  return 0;
}

int RunResave(const ResaveOptions& o) {
  switch (FileKindOf(FromNativeName(o.in))) {
    case JwFileKind::Jww: {
      TempWorkFolder work;
      TJwwData JWW;
      JWW.BindImageFolder = work.path();
      JWW.BindImageExp = JWW.BindImageExr = work.ok();
      const int rc = Resave(JWW, o, 220);
      JwwDataFree(JWW);
      return rc;
    }
    case JwFileKind::Jws: {
      TJwsData JWS;
      return Resave(JWS, o, 230);
    }
    default: std::cerr << "lintorra-cli: " << o.in << " is neither a JWW nor a JWS file\n"; return 2;
  }
}

}  // namespace

void AddResaveCommand(CLI::App& app, int& exitCode) {
  auto o = std::make_shared<ResaveOptions>();
  CLI::App* cmd = app.add_subcommand("resave", "Load a JWW or JWS file and save it again (bound images included)");
  cmd->add_option("IN", o->in, "Source file")->required();
  cmd->add_option("OUT", o->out, "Destination file")->required();
  cmd->add_option("--version", o->version, "Format version to save in (default: the file's own)");
  cmd->callback([o, &exitCode] { exitCode = RunResave(*o); });
}
