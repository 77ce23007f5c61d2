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

void WriteSeed(const fs::path& Folder, const std::string& Name, const void* Data, std::size_t Size) {
  fs::create_directories(Folder);
  std::ofstream(Folder / Name, std::ios::binary)
      .write(static_cast<const char*>(Data), static_cast<std::streamsize>(Size));
}

template <class T>
T& Add(RecordArray<T>& A, std::vector<TEntJwwNo>& No, int Kind) {
  No.push_back({Kind, static_cast<std::int32_t>(A.size())});
  return A.emplace_back();
}

TEntJwwAttr Pen(int Style, int Color, int Width) {
  TEntJwwAttr A;
  A.nPenStyle = static_cast<std::uint8_t>(Style);
  A.nPenColor = static_cast<std::uint16_t>(Color);
  A.nPenWidth = static_cast<std::uint16_t>(Width);
  A.nLayer = 3;
  A.nGLayer = 1;
  return A;
}

// One record of each kind, SXF pens among them, and an image reference.
void FillEntities(const EntityLists& L, std::uint32_t BlockNumber) {
  Add(L.line, L.no, kLine) = {Pen(35, 105, 50), 0, 0, 100, 50};
  Add(L.enko, L.no, kEnko) = {Pen(2, 3, 0), 10, 10, 5, 0, 3.14, 0, 1, 0};
  Add(L.ten, L.no, kTen) = {Pen(1, 2, 0), 1, 2};
  Add(L.ten, L.no, kTen) = {Pen(100, 2, 0), 3, 4, 0, 7, 0.5, 2};
  TEntJwwMoji& M = Add(L.moji, L.no, kMoji);
  M = {Pen(1, 5, 0), 0, 0, 20, 0, 1, 3, 3, 0.5, 0, u"ＭＳ ゴシック", u"平面図 1:100"};
  TEntJwwMoji& Image = Add(L.moji, L.no, kMoji);
  Image = M;
  Image.str = u"^@BM%temp%a.bmp,0,0,10,10,0";
  TEntJwwSunpo& D = Add(L.sunpo, L.no, kSunpo);
  D.att = Pen(1, 1, 0);
  D.Sen = {Pen(1, 1, 0), 0, 0, 50, 0};
  D.Moji = M;
  D.Moji.str = u"50";
  D.bSxfMode = 2;
  D.Ho1 = D.Ho2 = D.Sen;
  D.Te1 = D.Te2 = D.Kt1 = D.Kt2 = {Pen(100, 1, 0), 0, 0, 0, 1, 0, 1};
  Add(L.solid, L.no, kSolid) = {Pen(1, 10, 0), 0, 0, 1, 0, 1, 1, 0, 1, 0x00FF00};
  Add(L.block, L.no, kBlock) = {Pen(1, 1, 0), 5, 5, 2, 3, 1.57, BlockNumber};
}

// Definition 1 holds the entities and an insert of definition 2, which
// holds a line; definition 3 is unused and dropped by a save.
void FillBlocks(TJwBody& Doc) {
  for (std::uint32_t Number : {1u, 2u, 3u}) {
    TEntJwwBlockDef& Def = Doc.EntBlockDef.emplace_back();
    Def.nNumber = Number;
    Def.dtime = Number == 2 ? 0x80000001u : 1000;
    Def.strName = u"BLOCK" + std::u16string(1, static_cast<char16_t>(u'0' + Number));
    const EntityLists M = Members(Def);
    if (Number == 1) FillEntities(M, 2);
    else Add(M.line, M.no, kLine) = {Pen(1, 1, 0), 0, 0, 1, 1};
    Def.N = static_cast<std::int32_t>(Def.mNo.size());
  }
}

template <class TDoc>
void FillBody(TDoc& Doc) {
  FillEntities(Doc.Entities(), 1);
  FillBlocks(Doc);
  Doc.Enthd.n1 = static_cast<std::int32_t>(Doc.EntNo.size());
  Doc.Enthd.n2 = static_cast<std::int32_t>(Doc.EntBlockDef.size());
  Doc.MakeBlockTree();
}

template <class TDoc>
std::vector<std::uint8_t> Save(TDoc& Doc, std::int32_t Ver, std::int32_t Options) {
  Doc.SetFileOutOption(Options);
  MemorySink Sink;
  ByteWriter W(Sink);
  if (!Doc.SaveTo(W, Ver)) std::fprintf(stderr, "save at %d failed\n", Ver);
  return std::move(Sink.bytes);
}

void JwwSeeds(const fs::path& Out, const fs::path& ImageFolder) {
  for (int Ver : {220, 230, 300, 351, 420, 600, 700}) {
    for (std::int32_t Options : {std::int32_t{0}, std::int32_t{kOutUtf16}}) {
      TJwwData Doc;
      Doc.SizeHeaderTables();
      Doc.Enthd.jwVer = Ver;
      Doc.Enthd.strMemo = u"メモ\r\n2行目";
      Doc.EntLay[17].aStrLayName = u"壁";
      Doc.EntLgrp[1].aStrGLayName = u"1階";
      Doc.Enthd.nPrtDpi = 60;
      Doc.Enthd.nPrtDispOnlyNonDraw = 1;
      Doc.BindImageExr = true;
      Doc.BindImageFolder = ImageFolder.u16string() + u"/";
      Doc.BindImage.push_back({u"a.bmp", 16, false});
      FillBody(Doc);
      const auto Bytes = Save(Doc, Ver, Options);
      const std::string Name = "v" + std::to_string(Ver) + (Options ? "-utf16" : "") + ".jww";
      WriteSeed(Out / "JwwLoadFuzz", Name, Bytes.data(), Bytes.size());
    }
  }
}

void JwsSeeds(const fs::path& Out) {
  for (int Ver : {230, 351, 420, 700}) {
    for (std::int32_t Options : {std::int32_t{0}, std::int32_t{kOutUtf16}}) {
      TJwsData Doc;
      Doc.EntLgrp.assign(16, {});
      Doc.EntLgrp[0].adScale = 50;
      Doc.Enthd.jwVer = Ver;
      Doc.Enthd.BasePoint_x = 1.5;
      FillBody(Doc);
      const auto Bytes = Save(Doc, Ver, Options);
      const std::string Name = "v" + std::to_string(Ver) + (Options ? "-utf16" : "") + ".jws";
      WriteSeed(Out / "JwsLoadFuzz", Name, Bytes.data(), Bytes.size());
    }
  }
}

// A DOS-era header: the title record, then records of comma-separated numbers.
void LegacySeed(const fs::path& Out, const std::string& Name, const std::string& Signature,
                const std::vector<std::string>& Records) {
  std::string Bytes(200, '\0');
  Bytes.replace(0, Signature.size(), Signature);
  Bytes.replace(40, 8, "COMMENT1");
  Bytes.replace(72, 8, "COMMENT2");
  for (const std::string& R : Records) {
    std::string Rec(200, '\0');
    Rec.replace(0, R.size(), R);
    Bytes += Rec;
  }
  WriteSeed(Out / "HeaderFuzz", Name, Bytes.data(), Bytes.size());
}

void LegacySeeds(const fs::path& Out) {
  LegacySeed(Out, "header.jwc", "jw_cad(c)data.......  f",
             {"10,2,3,4,5,1,1,1,1,1.0,0,4,2,1,0,0,5.0,10.0,0,1,2,3,4,5,6,5.0,5.0,0,0,0,594,0",
              "0,0,3.0,15.0,0,0,0,0,0,1,0,0,0,0,0,0,0,0,0,100.0,100,100,100,100,100,0,0,1.0",
              "6000:0000,6000:0010,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0"});
  LegacySeed(Out, "header.jwk", "jw_cad(c)sym........", {"1,2,3,4,0.5,-0.5,1.0,0,0.25"});
}

void SettingsSeeds(const fs::path& Out) {
  TIniState Ini;
  Ini.preFolder = u"/home/user/図面";
  Ini.DestFolder = u"/home/user/out";
  Ini.Settings.ColorMap[1] = 2;
  Ini.Settings.ColorMap[12] = 101;
  Ini.Settings.WidthMap[3] = 50;
  Ini.Settings.LtypeMap[2] = 31;
  Ini.Settings.OptFlags[OptWidthOverwrite] = 1;
  Ini.Settings.CombRows[1] = {true, 2, 3, 4, 5, 25};
  Ini.Settings.ConvMode = kModeCombination;
  const std::string Text = IniFileBytes(Ini);
  WriteSeed(Out / "IniFuzz", "lintorra.ini", Text.data(), Text.size());
  const std::string Settings = SettingsFileBytes(Ini.Settings);
  WriteSeed(Out / "SettingsFileFuzz", "settings.set", Settings.data(), Settings.size());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: MakeSeeds <folder>\n");
    return 2;
  }
  const fs::path Out = argv[1];
  const fs::path Images = fs::temp_directory_path() / "lintorra-seed-images";
  fs::create_directories(Images);
  const char Image[16] = "BM-seed-image..";
  WriteSeed(Images, "a.bmp", Image, sizeof Image);
  JwwSeeds(Out, Images);
  JwsSeeds(Out);
  LegacySeeds(Out);
  SettingsSeeds(Out);
  fs::remove_all(Images);
  return 0;
}
