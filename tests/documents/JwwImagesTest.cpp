// Images bound into version-7.00 drawings: extraction into the working
// folder, which images a save writes back, the clean-up, and names that try
// to leave the working folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

using namespace jwfix;
namespace fs = std::filesystem;

namespace {

using Image = std::pair<std::u16string, ByteVec>;

ByteVec Pattern(std::size_t N, std::uint8_t Seed) {
  ByteVec B(N);
  for (std::size_t I = 0; I < N; ++I) B[I] = static_cast<std::uint8_t>(Seed + I * 31 + (I >> 8));
  return B;
}

std::u16string Ref(std::u16string_view Name) { return u"^@BM%temp%" + std::u16string(Name) + u",10,20,0,1"; }

// A drawing with one text per top-level reference, an insert of definition
// 0 holding a text per member reference, an unused definition 1 holding a
// text per unused-definition reference, and the image section as raw bytes.
struct ImageDrawing {
  std::int32_t ver = 700;
  std::vector<std::u16string> texts, memberTexts, unusedTexts;

  // As a save writes it, the unused definition is gone.
  JwFile Body(bool Saved = false) const {
    const SampleEntities S = Samples(700);
    JwFile F(ver, Form::Utf16);
    WriteJwwHeader(F, CanonicalHeader(ver));
    F.Count(static_cast<std::uint32_t>(texts.size() + 1)).Block(S.block);
    auto Text = [&](JwFile& W, const std::u16string& Str) {
      TEntJwwMoji T = S.moji;
      T.str = Str;
      W.Moji(T);
    };
    for (const auto& T : texts) Text(F, T);
    TEntJwwBlockDef D0, D1;
    D1.nNumber = 1;
    F.Count(Saved ? 1 : 2).BlockDef(D0, static_cast<std::uint32_t>(memberTexts.size()));
    for (const auto& T : memberTexts) Text(F, T);
    if (Saved) return F;
    F.BlockDef(D1, static_cast<std::uint32_t>(unusedTexts.size()));
    for (const auto& T : unusedTexts) Text(F, T);
    return F;
  }
  ByteVec With(const std::vector<Image>& Images, bool Saved = false) const {
    JwFile F = Body(Saved);
    F.Images(Images);
    return F.bytes();
  }
  ByteVec Saved(const std::vector<Image>& Images) const { return With(Images, true); }
};

struct Folder {
  testsupport::TempDir root;
  fs::path work = root / "work";
  Folder() { fs::create_directory(work); }
  std::u16string u16() const { return testsupport::U16(work) + u"/"; }
  std::set<std::string> Names() const {
    std::set<std::string> N;
    for (const auto& E : fs::directory_iterator(work)) N.insert(E.path().filename().string());
    return N;
  }
};

void Prepare(TJwwData& Doc, const Folder& Folder, bool Exp = true, bool Exr = true) {
  Doc.BindImageFolder = Folder.u16();
  Doc.BindImageExp = Exp;
  Doc.BindImageExr = Exr;
}

TEST(JwwImages, ExtractedAndWrittenBackByteForByte) {
  const Image Pic{u"pic.png", Pattern(5000, 1)};      // two whole chunks and a rest
  const Image Exact{u"exact.bmp", Pattern(2048, 2)};  // one whole chunk
  const Image Tiny{u"写真.jpg", Pattern(3, 3)};
  ImageDrawing D;
  D.texts = {Ref(u"pic.png"), Ref(u"写真.jpg"), Ref(u"exact.bmp")};
  JwFile F = D.Body();
  F.b.i32(6);
  for (const Image& I : {Pic, Exact}) F.Str(I.first).b.i32(static_cast<std::int32_t>(I.second.size())).raw(I.second);
  F.Str(u"").b.i32(0);               // empty: no data
  F.Str(u"zero.gif").b.i32(0);       // size 0: no data, no file
  F.Str(u"negative.gif").b.i32(-5);  // no data either
  F.Str(Tiny.first).b.i32(3).raw(Tiny.second);

  Folder Folder;
  TJwwData Doc;
  Prepare(Doc, Folder);
  ByteReader R{std::span<const std::uint8_t>(F.bytes())};
  ASSERT_TRUE(Doc.LoadFrom(R));
  EXPECT_EQ(R.Remaining(), 0u);
  ASSERT_EQ(Doc.BindImage.size(), 6u);
  EXPECT_EQ(Doc.BindImage[3].Fname, u"zero.gif");
  EXPECT_EQ(Doc.BindImage[4].Fsize, -5);
  EXPECT_EQ(Folder.Names(), (std::set<std::string>{"pic.png", "exact.bmp", "写真.jpg"}));
  EXPECT_EQ(testsupport::ReadFileBytes(Folder.work / "pic.png"), Pic.second);
  EXPECT_EQ(testsupport::ReadFileBytes(Folder.work / "写真.jpg"), Tiny.second);

  Doc.SetFileOutOption(0x20);
  const auto Saved = Save(Doc, 700);
  ASSERT_TRUE(Saved);
  EXPECT_TRUE(*Saved == D.Saved({Pic, Exact, Tiny})) << "list order, only referenced images";
  for (const TBindImageType& E : Doc.BindImage)
    EXPECT_EQ(E.exf, E.Fname != u"zero.gif" && !E.Fname.empty() && E.Fsize > 0);

  JwwDataFree(Doc);
  EXPECT_TRUE(Folder.Names().empty());
  EXPECT_TRUE(Doc.BindImage.empty());
  EXPECT_EQ(Doc.BindImageFolder, Folder.u16()) << "the owner's settings stay";
  EXPECT_TRUE(Doc.BindImageExp && Doc.BindImageExr);
}

TEST(JwwImages, WhichImagesASaveWrites) {
  const Image A{u"a.png", Pattern(10, 1)}, B{u"b.png", Pattern(11, 2)}, C{u"c.png", Pattern(12, 3)};
  const Image Gz{u"PHOTO.JPG.gz", Pattern(13, 4)}, Photo{u"photo.jpg", Pattern(14, 5)};
  const Image Longer{u"plan.png.gz", Pattern(15, 6)}, Plan{u"plan.png", Pattern(16, 7)};
  struct Case {
    const char* what;
    ImageDrawing drawing;
    std::vector<Image> stored, written;
  };
  auto Drawing = [](std::vector<std::u16string> Texts, std::vector<std::u16string> Members = {},
                    std::vector<std::u16string> Unused = {}) {
    ImageDrawing D;
    D.texts = std::move(Texts);
    D.memberTexts = std::move(Members);
    D.unusedTexts = std::move(Unused);
    return D;
  };
  const Case Cases[] = {
      {"no reference", Drawing({u"plain text"}), {A, B}, {}},
      {"two texts, one image", Drawing({Ref(u"b.png"), Ref(u"b.png")}), {A, B}, {B}},
      {"list order, not reference order", Drawing({Ref(u"c.png"), Ref(u"a.png")}), {A, B, C}, {A, C}},
      {"only inside a used definition", Drawing({}, {Ref(u"a.png")}), {A, B}, {A}},
      {"only inside an unused definition", Drawing({}, {}, {Ref(u"b.png")}), {A, B}, {B}},
      {"a prefix of two names: the first", Drawing({Ref(u"plan.png")}), {Longer, Plan}, {Longer}},
      {"letter case does not matter", Drawing({Ref(u"photo.jpg")}), {Gz, Photo}, {Gz}},
      {"a prefix of the name", Drawing({Ref(u"a.p")}), {B, A}, {A}},
      {"no comma", Drawing({u"^@BM%temp%a.png"}), {A}, {}},
      {"empty name", Drawing({u"^@BM%temp%,1"}), {A}, {}},
      {"not at the start", Drawing({u" ^@BM%temp%a.png,1"}), {A}, {}},
      {"without %temp%", Drawing({u"^@BMa.png,1"}), {A}, {}},
  };
  for (const Case& C : Cases) {
    Folder Folder;
    TJwwData Doc;
    Prepare(Doc, Folder);
    ASSERT_TRUE(Load(Doc, C.drawing.With(C.stored))) << C.what;
    Doc.SetFileOutOption(0x20);
    EXPECT_TRUE(*Save(Doc, 700) == C.drawing.Saved(C.written)) << C.what;
    JwwDataFree(Doc);
    EXPECT_TRUE(Folder.Names().empty()) << C.what;
  }
}

// Many names sharing beginnings, in mixed case: each reference selects the
// first image in list order whose name begins with it.
TEST(JwwImages, FirstInListOrderAmongManyNames) {
  std::uint32_t Seed = 12345;
  auto Next = [&](std::uint32_t N) {
    Seed = Seed * 1103515245u + 12345u;
    return (Seed >> 16) % N;
  };
  const std::u16string Parts[] = {u"a", u"A", u"b", u"ab", u"B", u".c"};
  auto Name = [&] {
    std::u16string S;
    for (std::uint32_t K = 1 + Next(4); K > 0; --K) S += Parts[Next(6)];
    return S;
  };
  std::vector<Image> Stored;
  std::set<std::u16string> Seen;
  while (Stored.size() < 150) {
    const std::u16string N = Name();
    if (Seen.insert(N).second) Stored.push_back({N, ByteVec{static_cast<std::uint8_t>(Stored.size())}});
  }
  ImageDrawing D;
  std::vector<bool> Expected(Stored.size());
  for (int I = 0; I < 120; ++I) {
    const std::u16string Picked = Name();
    D.texts.push_back(Ref(Picked));
    const std::u16string Upper = TextUpper(Picked);
    for (std::size_t K = 0; K < Stored.size(); ++K) {
      if (TextUpper(Stored[K].first).starts_with(Upper)) {
        Expected[K] = true;
        break;
      }
    }
  }
  std::vector<Image> Written;
  for (std::size_t K = 0; K < Stored.size(); ++K)
    if (Expected[K]) Written.push_back(Stored[K]);
  ASSERT_GT(Written.size(), 10u);
  ASSERT_LT(Written.size(), Stored.size());

  Folder Folder;
  TJwwData Doc;
  Prepare(Doc, Folder);
  ASSERT_TRUE(Load(Doc, D.With(Stored)));
  Doc.SetFileOutOption(0x20);
  EXPECT_TRUE(*Save(Doc, 700) == D.Saved(Written));
  JwwDataFree(Doc);
}

TEST(JwwImages, MissingFilesAreLeftOutBeforeTheCount) {
  const Image A{u"a.png", Pattern(10, 1)}, B{u"b.png", Pattern(11, 2)};
  ImageDrawing D;
  D.texts = {Ref(u"a.png"), Ref(u"b.png")};
  Folder Folder;
  TJwwData Doc;
  Prepare(Doc, Folder);
  ASSERT_TRUE(Load(Doc, D.With({A, B})));
  fs::remove(Folder.work / "a.png");
  Doc.SetFileOutOption(0x20);
  EXPECT_TRUE(*Save(Doc, 700) == D.Saved({B}));
  EXPECT_FALSE(Doc.BindImage[0].exf);
  // The size written is that of the file at the time of the save.
  testsupport::WriteFileBytes(Folder.work / "b.png", Pattern(4100, 9));
  EXPECT_TRUE(*Save(Doc, 700) == D.Saved({{u"b.png", Pattern(4100, 9)}}));
  JwwDataFree(Doc);
}

TEST(JwwImages, CleanUpRemovesWhatTheLoadWrote) {
  const Image Gz{u"x.png.GZ", Pattern(10, 1)}, Jpg{u"y.jpg", Pattern(11, 2)};
  ImageDrawing D;
  Folder Folder;
  TJwwData Doc;
  Prepare(Doc, Folder);
  ASSERT_TRUE(Load(Doc, D.With({Gz, Jpg})));
  testsupport::WriteFileBytes(Folder.work / "x.png", {1});  // a copy without ".gz"
  testsupport::WriteFileBytes(Folder.work / "other", {2});  // not the document's
  Doc.BindImageDeleteGzFile();
  EXPECT_EQ(Folder.Names(), (std::set<std::string>{"x.png", "y.jpg", "other"}));
  Doc.BindImageDeleteNonGzFile();
  EXPECT_EQ(Folder.Names(), (std::set<std::string>{"other"}));
  JwwDataFree(Doc);  // nothing left to delete: no failure
  EXPECT_EQ(Folder.Names(), (std::set<std::string>{"other"}));
}

// Names with a folder part are never joined to the working folder: their
// bytes are skipped, nothing is written, saved or deleted outside it.
TEST(JwwImages, HostileNamesStayInsideTheWorkingFolder) {
  Folder Folder;
  testsupport::WriteFileBytes(Folder.root / "victim", {7, 7});
  fs::create_directory(Folder.work / "sub");
  const std::vector<std::u16string> Hostile = {
      u"../victim", u"../escape.png", u"sub/inner.png", u"c:d.png", u"..\\win.png", u"..", u".", u"/abs.png"};
  std::vector<Image> Images;
  ImageDrawing D;
  for (std::size_t I = 0; I < Hostile.size(); ++I) {
    Images.push_back({Hostile[I], Pattern(100 + I, static_cast<std::uint8_t>(I))});
    D.texts.push_back(Ref(Hostile[I]));
  }
  const Image Good{u"good.png", Pattern(3000, 42)};
  Images.push_back(Good);
  D.texts.push_back(Ref(u"good.png"));

  TJwwData Doc;
  Prepare(Doc, Folder);
  ByteVec Bytes = D.With(Images);
  ASSERT_TRUE(Load(Doc, Bytes));
  EXPECT_EQ(Doc.BindImage.size(), Images.size());
  EXPECT_EQ(Folder.Names(), (std::set<std::string>{"sub", "good.png"}));
  EXPECT_TRUE(fs::is_empty(Folder.work / "sub"));
  EXPECT_EQ(testsupport::ReadFileBytes(Folder.work / "good.png"), Good.second) << "the next entry is read in place";
  EXPECT_EQ(testsupport::ReadFileBytes(Folder.root / "victim"), (ByteVec{7, 7}));
  EXPECT_FALSE(fs::exists(Folder.root / "escape.png"));

  // Files that happen to exist under those names are neither saved nor deleted.
  testsupport::WriteFileBytes(Folder.work / "sub" / "inner.png", {1});
  testsupport::WriteFileBytes(Folder.root / "escape.png", {1});
  Doc.SetFileOutOption(0x20);
  EXPECT_TRUE(*Save(Doc, 700) == D.Saved({Good}));
  JwwDataFree(Doc);
  EXPECT_TRUE(fs::exists(Folder.root / "victim"));
  EXPECT_TRUE(fs::exists(Folder.root / "escape.png"));
  EXPECT_TRUE(fs::exists(Folder.work / "sub" / "inner.png"));
  EXPECT_FALSE(fs::exists(Folder.work / "good.png"));
}

TEST(JwwImages, SectionReadOnlyFrom700AndWithAFlag) {
  const Image A{u"a.png", Pattern(50, 1)};
  struct Case {
    const char* what;
    std::int32_t ver;
    bool exp, exr;
    std::size_t listed;
    bool file;
  };
  const Case Cases[] = {
      {"7.00, both flags", 700, true, true, 1, true},    {"6.99: no section", 699, true, true, 0, false},
      {"list only", 700, false, true, 1, false},         {"extract only", 700, true, false, 1, true},
      {"both flags clear", 700, false, false, 0, false},
  };
  for (const Case& C : Cases) {
    ImageDrawing D;
    D.ver = C.ver;
    D.texts = {Ref(u"a.png")};
    Folder Folder;
    TJwwData Doc;
    Prepare(Doc, Folder, C.exp, C.exr);
    ASSERT_TRUE(Load(Doc, D.With({A}))) << C.what;
    EXPECT_EQ(Doc.BindImage.size(), C.listed) << C.what;
    EXPECT_EQ(fs::exists(Folder.work / "a.png"), C.file) << C.what;
    // Saved as 7.00: the image comes back only when its file is there and a
    // flag is set; otherwise the section is a single count of 0.
    Doc.SetFileOutOption(0x20);
    ImageDrawing Out = D;
    Out.ver = 700;
    const bool Written = C.file && (C.exp || C.exr);
    EXPECT_TRUE(*Save(Doc, 700) == Out.Saved(Written ? std::vector<Image>{A} : std::vector<Image>{})) << C.what;
    // Below 7.00 no section is written at all.
    ImageDrawing Older = D;
    Older.ver = 600;
    EXPECT_TRUE(*Save(Doc, 600) == Older.Body(true).bytes()) << C.what;
    JwwDataFree(Doc);
    EXPECT_TRUE(Folder.Names().empty()) << C.what;
  }
}

}  // namespace
