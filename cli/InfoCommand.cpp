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

const char* KindName(JwFileKind k) {
  switch (k) {
    case JwFileKind::Jww: return "jww";
    case JwFileKind::Jws: return "jws";
    case JwFileKind::Jwc: return "jwc";
    case JwFileKind::Jwk: return "jwk";
    case JwFileKind::Other: break;
  }
  return "other";
}

// Entity counts, block definitions and bound images of a loaded document.
void AddBody(nlohmann::ordered_json& j, const TJwBody& doc) {
  j["entities"] = {{"line", doc.EntLine.size()},  {"arc", doc.EntEnko.size()},        {"point", doc.EntTen.size()},
                   {"text", doc.EntMoji.size()},  {"dimension", doc.EntSunpo.size()}, {"solid", doc.EntSolid.size()},
                   {"block", doc.EntBlock.size()}};
  j["block_definitions"] = doc.EntBlockDef.size();
  j["block_definitions_used"] = doc.EntBlockNum;
  nlohmann::ordered_json images = nlohmann::ordered_json::array();
  for (const TBindImageType& e : doc.BindImage) images.push_back({{"name", ToUtf8(e.Fname)}, {"size", e.Fsize}});
  j["images"] = images;
}

template <class Doc>
bool LoadFull(Doc& doc, const std::u16string& path, nlohmann::ordered_json& j) {
  const bool ok = doc.FileIn(path);
  j["loaded"] = ok;
  AddBody(j, doc);
  doc.DataFree();
  return ok;
}

void PrintText(const nlohmann::ordered_json& j) {
  std::cout << j["path"].get<std::string>() << "\n";
  for (const auto& [key, value] : j.items()) {
    if (key == "path") continue;
    std::cout << "  " << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump()) << "\n";
  }
}

int RunInfo(const InfoOptions& o) {
  TJwwData JWW;
  TJwsData JWS;
  TJwcData JWC;
  TJwkData JWK;
  TempWorkFolder work;
  JWW.BindImageFolder = work.path();
  JWW.BindImageExr = true;  // list the images without extracting them
  int exitCode = 0;
  for (const std::string& file : o.files) {
    const std::u16string path = FromNativeName(file);
    const JwFileKind kind = FileKindOf(path);
    std::u16string version, memo;
    FileInfoGet(path, JWW, JWS, JWC, JWK, version, memo);
    nlohmann::ordered_json j;
    j["path"] = file;
    j["type"] = KindName(kind);
    j["ok"] = !version.empty();
    j["version"] = ToUtf8(version);
    j["memo"] = ToUtf8(memo);
    bool ok = !version.empty();
    if (o.full && ok && kind == JwFileKind::Jww) ok = LoadFull(JWW, path, j);
    if (o.full && ok && kind == JwFileKind::Jws) ok = LoadFull(JWS, path, j);
    if (!ok) exitCode = 1;
    if (o.json) std::cout << j.dump() << "\n";
    else PrintText(j);
  }
  return exitCode;
}

}  // namespace

void AddInfoCommand(CLI::App& app, int& exitCode) {
  auto o = std::make_shared<InfoOptions>();
  CLI::App* cmd = app.add_subcommand(
      "info", "Show type, version and memo of Jw_cad files; exits 1 when a file is not recognised or does not load");
  cmd->add_option("FILE", o->files, "Files to inspect")->required();
  cmd->add_flag("--json", o->json, "One JSON object per file and line");
  cmd->add_flag("--full", o->full, "Also load the whole drawing: entities, block definitions, bound images");
  cmd->callback([o, &exitCode] { exitCode = RunInfo(*o); });
}
