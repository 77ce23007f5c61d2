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

ByteVec Pattern(std::size_t n, std::uint8_t seed) {
  ByteVec b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(seed + i * 31 + (i >> 8));
  return b;
}

std::u16string Ref(std::u16string_view name) { return u"^@BM%temp%" + std::u16string(name) + u",10,20,0,1"; }

// A drawing with one text per top-level reference, an insert of definition
// 0 holding a text per member reference, an unused definition 1 holding a
// text per unused-definition reference, and the image section as raw bytes.
struct ImageDrawing {
  std::int32_t ver = 700;
  std::vector<std::u16string> texts, memberTexts, unusedTexts;

  // As a save writes it, the unused definition is gone.
  JwFile Body(bool saved = false) const {
    const SampleEntities s = Samples(700);
    JwFile f(ver, Form::Utf16);
    WriteJwwHeader(f, CanonicalHeader(ver));
    f.Count(static_cast<std::uint32_t>(texts.size() + 1)).Block(s.block);
    auto text = [&](JwFile& w, const std::u16string& str) {
      TEntJwwMoji t = s.moji;
      t.str = str;
      w.Moji(t);
    };
    for (const auto& t : texts) text(f, t);
    TEntJwwBlockDef d0, d1;
    d1.nNumber = 1;
    f.Count(saved ? 1 : 2).BlockDef(d0, static_cast<std::uint32_t>(memberTexts.size()));
    for (const auto& t : memberTexts) text(f, t);
    if (saved) return f;
    f.BlockDef(d1, static_cast<std::uint32_t>(unusedTexts.size()));
    for (const auto& t : unusedTexts) text(f, t);
    return f;
  }
  ByteVec With(const std::vector<Image>& images, bool saved = false) const {
    JwFile f = Body(saved);
    f.Images(images);
    return f.bytes();
  }
  ByteVec Saved(const std::vector<Image>& images) const { return With(images, true); }
};

struct Folder {
  testsupport::TempDir root;
  fs::path work = root / "work";
  Folder() { fs::create_directory(work); }
  std::u16string u16() const { return testsupport::U16(work) + u"/"; }
  std::set<std::string> Names() const {
    std::set<std::string> n;
    for (const auto& e : fs::directory_iterator(work)) n.insert(e.path().filename().string());
    return n;
  }
};

void Prepare(TJwwData& doc, const Folder& folder, bool exp = true, bool exr = true) {
  doc.BindImageFolder = folder.u16();
  doc.BindImageExp = exp;
  doc.BindImageExr = exr;
}

TEST(JwwImages, ExtractedAndWrittenBackByteForByte) {
  const Image pic{u"pic.png", Pattern(5000, 1)};      // two whole chunks and a rest
  const Image exact{u"exact.bmp", Pattern(2048, 2)};  // one whole chunk
  const Image tiny{u"写真.jpg", Pattern(3, 3)};
  ImageDrawing d;
  d.texts = {Ref(u"pic.png"), Ref(u"写真.jpg"), Ref(u"exact.bmp")};
  JwFile f = d.Body();
  f.b.i32(6);
  for (const Image& i : {pic, exact}) f.Str(i.first).b.i32(static_cast<std::int32_t>(i.second.size())).raw(i.second);
  f.Str(u"").b.i32(0);               // empty: no data
  f.Str(u"zero.gif").b.i32(0);       // size 0: no data, no file
  f.Str(u"negative.gif").b.i32(-5);  // no data either
  f.Str(tiny.first).b.i32(3).raw(tiny.second);

  Folder folder;
  TJwwData doc;
  Prepare(doc, folder);
  ByteReader r{std::span<const std::uint8_t>(f.bytes())};
  ASSERT_TRUE(doc.LoadFrom(r));
  EXPECT_EQ(r.Remaining(), 0u);
  ASSERT_EQ(doc.BindImage.size(), 6u);
  EXPECT_EQ(doc.BindImage[3].Fname, u"zero.gif");
  EXPECT_EQ(doc.BindImage[4].Fsize, -5);
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"pic.png", "exact.bmp", "写真.jpg"}));
  EXPECT_EQ(testsupport::ReadFileBytes(folder.work / "pic.png"), pic.second);
  EXPECT_EQ(testsupport::ReadFileBytes(folder.work / "写真.jpg"), tiny.second);

  doc.SetFileOutOption(0x20);
  const auto saved = Save(doc, 700);
  ASSERT_TRUE(saved);
  EXPECT_TRUE(*saved == d.Saved({pic, exact, tiny})) << "list order, only referenced images";
  for (const TBindImageType& e : doc.BindImage)
    EXPECT_EQ(e.exf, e.Fname != u"zero.gif" && !e.Fname.empty() && e.Fsize > 0);

  JwwDataFree(doc);
  EXPECT_TRUE(folder.Names().empty());
  EXPECT_TRUE(doc.BindImage.empty());
  EXPECT_EQ(doc.BindImageFolder, folder.u16()) << "the owner's settings stay";
  EXPECT_TRUE(doc.BindImageExp && doc.BindImageExr);
}

TEST(JwwImages, WhichImagesASaveWrites) {
  const Image a{u"a.png", Pattern(10, 1)}, b{u"b.png", Pattern(11, 2)}, c{u"c.png", Pattern(12, 3)};
  const Image gz{u"PHOTO.JPG.gz", Pattern(13, 4)}, photo{u"photo.jpg", Pattern(14, 5)};
  const Image longer{u"plan.png.gz", Pattern(15, 6)}, plan{u"plan.png", Pattern(16, 7)};
  struct Case {
    const char* what;
    ImageDrawing drawing;
    std::vector<Image> stored, written;
  };
  auto drawing = [](std::vector<std::u16string> texts, std::vector<std::u16string> members = {},
                    std::vector<std::u16string> unused = {}) {
    ImageDrawing d;
    d.texts = std::move(texts);
    d.memberTexts = std::move(members);
    d.unusedTexts = std::move(unused);
    return d;
  };
  const Case cases[] = {
      {"no reference", drawing({u"plain text"}), {a, b}, {}},
      {"two texts, one image", drawing({Ref(u"b.png"), Ref(u"b.png")}), {a, b}, {b}},
      {"list order, not reference order", drawing({Ref(u"c.png"), Ref(u"a.png")}), {a, b, c}, {a, c}},
      {"only inside a used definition", drawing({}, {Ref(u"a.png")}), {a, b}, {a}},
      {"only inside an unused definition", drawing({}, {}, {Ref(u"b.png")}), {a, b}, {b}},
      {"a prefix of two names: the first", drawing({Ref(u"plan.png")}), {longer, plan}, {longer}},
      {"letter case does not matter", drawing({Ref(u"photo.jpg")}), {gz, photo}, {gz}},
      {"a prefix of the name", drawing({Ref(u"a.p")}), {b, a}, {a}},
      {"no comma", drawing({u"^@BM%temp%a.png"}), {a}, {}},
      {"empty name", drawing({u"^@BM%temp%,1"}), {a}, {}},
      {"not at the start", drawing({u" ^@BM%temp%a.png,1"}), {a}, {}},
      {"without %temp%", drawing({u"^@BMa.png,1"}), {a}, {}},
  };
  for (const Case& c : cases) {
    Folder folder;
    TJwwData doc;
    Prepare(doc, folder);
    ASSERT_TRUE(Load(doc, c.drawing.With(c.stored))) << c.what;
    doc.SetFileOutOption(0x20);
    EXPECT_TRUE(*Save(doc, 700) == c.drawing.Saved(c.written)) << c.what;
    JwwDataFree(doc);
    EXPECT_TRUE(folder.Names().empty()) << c.what;
  }
}

// Many names sharing beginnings, in mixed case: each reference selects the
// first image in list order whose name begins with it.
TEST(JwwImages, FirstInListOrderAmongManyNames) {
  std::uint32_t seed = 12345;
  auto next = [&](std::uint32_t n) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % n;
  };
  const std::u16string parts[] = {u"a", u"A", u"b", u"ab", u"B", u".c"};
  auto name = [&] {
    std::u16string s;
    for (std::uint32_t k = 1 + next(4); k > 0; --k) s += parts[next(6)];
    return s;
  };
  std::vector<Image> stored;
  std::set<std::u16string> seen;
  while (stored.size() < 150) {
    const std::u16string n = name();
    if (seen.insert(n).second) stored.push_back({n, ByteVec{static_cast<std::uint8_t>(stored.size())}});
  }
  ImageDrawing d;
  std::vector<bool> expected(stored.size());
  for (int i = 0; i < 120; ++i) {
    const std::u16string ref = name();
    d.texts.push_back(Ref(ref));
    const std::u16string upper = TextUpper(ref);
    for (std::size_t k = 0; k < stored.size(); ++k) {
      if (TextUpper(stored[k].first).starts_with(upper)) {
        expected[k] = true;
        break;
      }
    }
  }
  std::vector<Image> written;
  for (std::size_t k = 0; k < stored.size(); ++k)
    if (expected[k]) written.push_back(stored[k]);
  ASSERT_GT(written.size(), 10u);
  ASSERT_LT(written.size(), stored.size());

  Folder folder;
  TJwwData doc;
  Prepare(doc, folder);
  ASSERT_TRUE(Load(doc, d.With(stored)));
  doc.SetFileOutOption(0x20);
  EXPECT_TRUE(*Save(doc, 700) == d.Saved(written));
  JwwDataFree(doc);
}

TEST(JwwImages, MissingFilesAreLeftOutBeforeTheCount) {
  const Image a{u"a.png", Pattern(10, 1)}, b{u"b.png", Pattern(11, 2)};
  ImageDrawing d;
  d.texts = {Ref(u"a.png"), Ref(u"b.png")};
  Folder folder;
  TJwwData doc;
  Prepare(doc, folder);
  ASSERT_TRUE(Load(doc, d.With({a, b})));
  fs::remove(folder.work / "a.png");
  doc.SetFileOutOption(0x20);
  EXPECT_TRUE(*Save(doc, 700) == d.Saved({b}));
  EXPECT_FALSE(doc.BindImage[0].exf);
  // The size written is that of the file at the time of the save.
  testsupport::WriteFileBytes(folder.work / "b.png", Pattern(4100, 9));
  EXPECT_TRUE(*Save(doc, 700) == d.Saved({{u"b.png", Pattern(4100, 9)}}));
  JwwDataFree(doc);
}

TEST(JwwImages, CleanUpRemovesWhatTheLoadWrote) {
  const Image gz{u"x.png.GZ", Pattern(10, 1)}, jpg{u"y.jpg", Pattern(11, 2)};
  ImageDrawing d;
  Folder folder;
  TJwwData doc;
  Prepare(doc, folder);
  ASSERT_TRUE(Load(doc, d.With({gz, jpg})));
  testsupport::WriteFileBytes(folder.work / "x.png", {1});  // a copy without ".gz"
  testsupport::WriteFileBytes(folder.work / "other", {2});  // not the document's
  doc.BindImageDeleteGzFile();
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"x.png", "y.jpg", "other"}));
  doc.BindImageDeleteNonGzFile();
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"other"}));
  JwwDataFree(doc);  // nothing left to delete: no failure
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"other"}));
}

// Names with a folder part are never joined to the working folder: their
// bytes are skipped, nothing is written, saved or deleted outside it.
TEST(JwwImages, HostileNamesStayInsideTheWorkingFolder) {
  Folder folder;
  testsupport::WriteFileBytes(folder.root / "victim", {7, 7});
  fs::create_directory(folder.work / "sub");
  const std::vector<std::u16string> hostile = {
      u"../victim", u"../escape.png", u"sub/inner.png", u"c:d.png", u"..\\win.png", u"..", u".", u"/abs.png"};
  std::vector<Image> images;
  ImageDrawing d;
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    images.push_back({hostile[i], Pattern(100 + i, static_cast<std::uint8_t>(i))});
    d.texts.push_back(Ref(hostile[i]));
  }
  const Image good{u"good.png", Pattern(3000, 42)};
  images.push_back(good);
  d.texts.push_back(Ref(u"good.png"));

  TJwwData doc;
  Prepare(doc, folder);
  ByteVec bytes = d.With(images);
  ASSERT_TRUE(Load(doc, bytes));
  EXPECT_EQ(doc.BindImage.size(), images.size());
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"sub", "good.png"}));
  EXPECT_TRUE(fs::is_empty(folder.work / "sub"));
  EXPECT_EQ(testsupport::ReadFileBytes(folder.work / "good.png"), good.second) << "the next entry is read in place";
  EXPECT_EQ(testsupport::ReadFileBytes(folder.root / "victim"), (ByteVec{7, 7}));
  EXPECT_FALSE(fs::exists(folder.root / "escape.png"));

  // Files that happen to exist under those names are neither saved nor deleted.
  testsupport::WriteFileBytes(folder.work / "sub" / "inner.png", {1});
  testsupport::WriteFileBytes(folder.root / "escape.png", {1});
  doc.SetFileOutOption(0x20);
  EXPECT_TRUE(*Save(doc, 700) == d.Saved({good}));
  JwwDataFree(doc);
  EXPECT_TRUE(fs::exists(folder.root / "victim"));
  EXPECT_TRUE(fs::exists(folder.root / "escape.png"));
  EXPECT_TRUE(fs::exists(folder.work / "sub" / "inner.png"));
  EXPECT_FALSE(fs::exists(folder.work / "good.png"));
}

TEST(JwwImages, SectionReadOnlyFrom700AndWithAFlag) {
  const Image a{u"a.png", Pattern(50, 1)};
  struct Case {
    const char* what;
    std::int32_t ver;
    bool exp, exr;
    std::size_t listed;
    bool file;
  };
  const Case cases[] = {
      {"7.00, both flags", 700, true, true, 1, true},    {"6.99: no section", 699, true, true, 0, false},
      {"list only", 700, false, true, 1, false},         {"extract only", 700, true, false, 1, true},
      {"both flags clear", 700, false, false, 0, false},
  };
  for (const Case& c : cases) {
    ImageDrawing d;
    d.ver = c.ver;
    d.texts = {Ref(u"a.png")};
    Folder folder;
    TJwwData doc;
    Prepare(doc, folder, c.exp, c.exr);
    ASSERT_TRUE(Load(doc, d.With({a}))) << c.what;
    EXPECT_EQ(doc.BindImage.size(), c.listed) << c.what;
    EXPECT_EQ(fs::exists(folder.work / "a.png"), c.file) << c.what;
    // Saved as 7.00: the image comes back only when its file is there and a
    // flag is set; otherwise the section is a single count of 0.
    doc.SetFileOutOption(0x20);
    ImageDrawing out = d;
    out.ver = 700;
    const bool written = c.file && (c.exp || c.exr);
    EXPECT_TRUE(*Save(doc, 700) == out.Saved(written ? std::vector<Image>{a} : std::vector<Image>{})) << c.what;
    // Below 7.00 no section is written at all.
    ImageDrawing older = d;
    older.ver = 600;
    EXPECT_TRUE(*Save(doc, 600) == older.Body(true).bytes()) << c.what;
    JwwDataFree(doc);
    EXPECT_TRUE(folder.Names().empty()) << c.what;
  }
}

}  // namespace
