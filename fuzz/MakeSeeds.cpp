// Writes the small seed inputs of the fuzz targets into <folder>/<target>/
// (the header target also takes the drawings' and figures' seeds):
// drawings and figures of every version band with one record of each kind, a
// nested block, a bound image and UTF-16 strings; JWC and JWK headers; an INI
// file and a settings file with values set. Run: MakeSeeds fuzz/seeds
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "conversion/IniFile.h"
#include "conversion/SettingsFile.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace fs = std::filesystem;

namespace {

void WriteSeed(const fs::path& folder, const std::string& name, const void* data, std::size_t size) {
  fs::create_directories(folder);
  std::ofstream(folder / name, std::ios::binary)
      .write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
}

template <class T>
T& Add(RecordArray<T>& a, std::vector<TEntJwwNo>& no, int kind) {
  no.push_back({kind, static_cast<std::int32_t>(a.size())});
  return a.emplace_back();
}

TEntJwwAttr Pen(int style, int color, int width) {
  TEntJwwAttr a;
  a.nPenStyle = static_cast<std::uint8_t>(style);
  a.nPenColor = static_cast<std::uint16_t>(color);
  a.nPenWidth = static_cast<std::uint16_t>(width);
  a.nLayer = 3;
  a.nGLayer = 1;
  return a;
}

// One record of each kind, SXF pens among them, and an image reference.
void FillEntities(const EntityLists& L, std::uint32_t blockNumber) {
  Add(L.line, L.no, kLine) = {Pen(35, 105, 50), 0, 0, 100, 50};
  Add(L.enko, L.no, kEnko) = {Pen(2, 3, 0), 10, 10, 5, 0, 3.14, 0, 1, 0};
  Add(L.ten, L.no, kTen) = {Pen(1, 2, 0), 1, 2};
  Add(L.ten, L.no, kTen) = {Pen(100, 2, 0), 3, 4, 0, 7, 0.5, 2};
  TEntJwwMoji& m = Add(L.moji, L.no, kMoji);
  m = {Pen(1, 5, 0), 0, 0, 20, 0, 1, 3, 3, 0.5, 0, u"ＭＳ ゴシック", u"平面図 1:100"};
  TEntJwwMoji& image = Add(L.moji, L.no, kMoji);
  image = m;
  image.str = u"^@BM%temp%a.bmp,0,0,10,10,0";
  TEntJwwSunpo& d = Add(L.sunpo, L.no, kSunpo);
  d.att = Pen(1, 1, 0);
  d.Sen = {Pen(1, 1, 0), 0, 0, 50, 0};
  d.Moji = m;
  d.Moji.str = u"50";
  d.bSxfMode = 2;
  d.Ho1 = d.Ho2 = d.Sen;
  d.Te1 = d.Te2 = d.Kt1 = d.Kt2 = {Pen(100, 1, 0), 0, 0, 0, 1, 0, 1};
  Add(L.solid, L.no, kSolid) = {Pen(1, 10, 0), 0, 0, 1, 0, 1, 1, 0, 1, 0x00FF00};
  Add(L.block, L.no, kBlock) = {Pen(1, 1, 0), 5, 5, 2, 3, 1.57, blockNumber};
}

// Definition 1 holds the entities and an insert of definition 2, which
// holds a line; definition 3 is unused and dropped by a save.
void FillBlocks(TJwBody& doc) {
  for (std::uint32_t number : {1u, 2u, 3u}) {
    TEntJwwBlockDef& def = doc.EntBlockDef.emplace_back();
    def.nNumber = number;
    def.dtime = number == 2 ? 0x80000001u : 1000;
    def.strName = u"BLOCK" + std::u16string(1, static_cast<char16_t>(u'0' + number));
    const EntityLists M = Members(def);
    if (number == 1) FillEntities(M, 2);
    else Add(M.line, M.no, kLine) = {Pen(1, 1, 0), 0, 0, 1, 1};
    def.N = static_cast<std::int32_t>(def.mNo.size());
  }
}

template <class Doc>
void FillBody(Doc& doc) {
  FillEntities(doc.Entities(), 1);
  FillBlocks(doc);
  doc.Enthd.n1 = static_cast<std::int32_t>(doc.EntNo.size());
  doc.Enthd.n2 = static_cast<std::int32_t>(doc.EntBlockDef.size());
  doc.MakeBlockTree();
}

template <class Doc>
std::vector<std::uint8_t> Save(Doc& doc, std::int32_t ver, std::int32_t options) {
  doc.SetFileOutOption(options);
  MemorySink sink;
  ByteWriter w(sink);
  if (!doc.SaveTo(w, ver)) std::fprintf(stderr, "save at %d failed\n", ver);
  return std::move(sink.bytes);
}

void JwwSeeds(const fs::path& out, const fs::path& imageFolder) {
  for (int ver : {220, 230, 300, 351, 420, 600, 700}) {
    for (std::int32_t options : {std::int32_t{0}, std::int32_t{kOutUtf16}}) {
      TJwwData doc;
      doc.SizeHeaderTables();
      doc.Enthd.jwVer = ver;
      doc.Enthd.strMemo = u"メモ\r\n2行目";
      doc.EntLay[17].aStrLayName = u"壁";
      doc.EntLgrp[1].aStrGLayName = u"1階";
      doc.Enthd.nPrtDpi = 60;
      doc.Enthd.nPrtDispOnlyNonDraw = 1;
      doc.BindImageExr = true;
      doc.BindImageFolder = imageFolder.u16string() + u"/";
      doc.BindImage.push_back({u"a.bmp", 16, false});
      FillBody(doc);
      const auto bytes = Save(doc, ver, options);
      const std::string name = "v" + std::to_string(ver) + (options ? "-utf16" : "") + ".jww";
      WriteSeed(out / "JwwLoadFuzz", name, bytes.data(), bytes.size());
    }
  }
}

void JwsSeeds(const fs::path& out) {
  for (int ver : {230, 351, 420, 700}) {
    for (std::int32_t options : {std::int32_t{0}, std::int32_t{kOutUtf16}}) {
      TJwsData doc;
      doc.EntLgrp.assign(16, {});
      doc.EntLgrp[0].adScale = 50;
      doc.Enthd.jwVer = ver;
      doc.Enthd.BasePoint_x = 1.5;
      FillBody(doc);
      const auto bytes = Save(doc, ver, options);
      const std::string name = "v" + std::to_string(ver) + (options ? "-utf16" : "") + ".jws";
      WriteSeed(out / "JwsLoadFuzz", name, bytes.data(), bytes.size());
    }
  }
}

// A DOS-era header: the title record, then records of comma-separated numbers.
void LegacySeed(const fs::path& out, const std::string& name, const std::string& signature,
                const std::vector<std::string>& records) {
  std::string bytes(200, '\0');
  bytes.replace(0, signature.size(), signature);
  bytes.replace(40, 8, "COMMENT1");
  bytes.replace(72, 8, "COMMENT2");
  for (const std::string& r : records) {
    std::string rec(200, '\0');
    rec.replace(0, r.size(), r);
    bytes += rec;
  }
  WriteSeed(out / "HeaderFuzz", name, bytes.data(), bytes.size());
}

void LegacySeeds(const fs::path& out) {
  LegacySeed(out, "header.jwc", "jw_cad(c)data.......  f",
             {"10,2,3,4,5,1,1,1,1,1.0,0,4,2,1,0,0,5.0,10.0,0,1,2,3,4,5,6,5.0,5.0,0,0,0,594,0",
              "0,0,3.0,15.0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,100.0,100,100,100,100,100,0,0,1.0",
              "6000:0000,6000:0010,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"});
  LegacySeed(out, "header.jwk", "jw_cad(c)sym........", {"1,2,3,4,0.5,-0.5,1.0,0,0.25"});
}

void SettingsSeeds(const fs::path& out) {
  TIniState ini;
  ini.preFolder = u"/home/user/図面";
  ini.DestFolder = u"/home/user/out";
  ini.Settings.ColorMap[1] = 2;
  ini.Settings.ColorMap[12] = 101;
  ini.Settings.WidthMap[3] = 50;
  ini.Settings.LtypeMap[2] = 31;
  ini.Settings.OptFlags[OptWidthOverwrite] = 1;
  ini.Settings.CombRows[1] = {true, 2, 3, 4, 5, 25};
  ini.Settings.ConvMode = kModeCombination;
  const std::string text = IniFileBytes(ini);
  WriteSeed(out / "IniFuzz", "lintorra.ini", text.data(), text.size());
  const std::string settings = SettingsFileBytes(ini.Settings);
  WriteSeed(out / "SettingsFileFuzz", "settings.set", settings.data(), settings.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: MakeSeeds <folder>\n");
    return 2;
  }
  const fs::path out = argv[1];
  const fs::path images = fs::temp_directory_path() / "lintorra-seed-images";
  fs::create_directories(images);
  const char image[16] = "BM-seed-image..";
  WriteSeed(images, "a.bmp", image, sizeof image);
  JwwSeeds(out, images);
  JwsSeeds(out);
  LegacySeeds(out);
  SettingsSeeds(out);
  fs::remove_all(images);
  return 0;
}
