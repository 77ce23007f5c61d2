// lintorra-cli info: what the file list shows of each file, and with --full
// what a whole load finds in it.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/WorkFolder.h"
#include "documents/FileInfo.h"
#include "documents/JwcUnit.h"
#include "documents/JwkUnit.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

struct InfoOptions {
  std::vector<std::string> files;
  bool json = false;
  bool full = false;
};

const char* KindName(JwFileKind K) {
  switch (K) {
    case JwFileKind::Jww: return "jww";
    case JwFileKind::Jws: return "jws";
    case JwFileKind::Jwc: return "jwc";
    case JwFileKind::Jwk: return "jwk";
    case JwFileKind::Other: break;
  }
  return "other";
}

// Entity counts, block definitions and bound images of a loaded document.
void AddBody(nlohmann::ordered_json& J, const TJwBody& Doc) {
  J["entities"] = {{"line", Doc.EntLine.size()},  {"arc", Doc.EntEnko.size()},        {"point", Doc.EntTen.size()},
                   {"text", Doc.EntMoji.size()},  {"dimension", Doc.EntSunpo.size()}, {"solid", Doc.EntSolid.size()},
                   {"block", Doc.EntBlock.size()}};
  J["block_definitions"] = Doc.EntBlockDef.size();
  J["block_definitions_used"] = Doc.EntBlockNum;
  nlohmann::ordered_json Images = nlohmann::ordered_json::array();
  for (const TBindImageType& E : Doc.BindImage) Images.push_back({{"name", ToUtf8(E.Fname)}, {"size", E.Fsize}});
  J["images"] = Images;
}

template <class TDoc>
bool LoadFull(TDoc& Doc, const std::u16string& Path, nlohmann::ordered_json& J) {
  const bool Ok = Doc.FileIn(Path);
  J["loaded"] = Ok;
  AddBody(J, Doc);
  if (!Ok) J["error"] = Describe(Doc.LastError());
  Doc.DataFree();
  return Ok;
}

// Why the header of a file of that kind could not be read.
std::string HeaderError(JwFileKind Kind, const TJwwData& JWW, const TJwsData& JWS, const TJwcData& JWC,
                        const TJwkData& JWK) {
  switch (Kind) {
    case JwFileKind::Jww: return Describe(JWW.LastError());
    case JwFileKind::Jws: return Describe(JWS.LastError());
    case JwFileKind::Jwc: return Describe(JWC.LastError());
    case JwFileKind::Jwk: return Describe(JWK.LastError());
    case JwFileKind::Other: break;
  }
  return "not the extension of a Jw_cad file";
}

void PrintText(const nlohmann::ordered_json& J) {
  std::cout << J["path"].get<std::string>() << "\n";
  for (const auto& [key, value] : J.items()) {
    if (key == "path") continue;
    std::cout << "  " << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump()) << "\n";
  }
}

int RunInfo(const InfoOptions& O) {
  TJwwData JWW;
  TJwsData JWS;
  TJwcData JWC;
  TJwkData JWK;
  TempWorkFolder Work;
  JWW.BindImageFolder = Work.path();
  JWW.BindImageExr = true;  // list the images without extracting them
  int ExitCode = 0;
  for (const std::string& File : O.files) {
    const std::u16string Path = FromNativeName(File);
    const JwFileKind Kind = FileKindOf(Path);
    std::u16string Version, Memo;
    FileInfoGet(Path, JWW, JWS, JWC, JWK, Version, Memo);
    nlohmann::ordered_json J;
    J["path"] = File;
    J["type"] = KindName(Kind);
    J["ok"] = !Version.empty();
    J["version"] = ToUtf8(Version);
    J["memo"] = ToUtf8(Memo);
    bool Ok = !Version.empty();
    if (!Ok) J["error"] = HeaderError(Kind, JWW, JWS, JWC, JWK);
    if (O.full && Ok && Kind == JwFileKind::Jww) Ok = LoadFull(JWW, Path, J);
    if (O.full && Ok && Kind == JwFileKind::Jws) Ok = LoadFull(JWS, Path, J);
    if (!Ok) ExitCode = 1;
    if (O.json) std::cout << J.dump() << "\n";
    else PrintText(J);
  }
  return ExitCode;
}

}  // namespace

void AddInfoCommand(CLI::App& App, int& ExitCode) {
  auto O = std::make_shared<InfoOptions>();
  CLI::App* Cmd = App.add_subcommand(
      "info", "Show type, version and memo of Jw_cad files; exits 1 when a file is not recognised or does not load");
  Cmd->add_option("FILE", O->files, "Files to inspect")->required();
  Cmd->add_flag("--json", O->json, "One JSON object per file and line");
  Cmd->add_flag("--full", O->full, "Also load the whole drawing: entities, block definitions, bound images");
  Cmd->callback([O, &ExitCode] { ExitCode = RunInfo(*O); });
}
