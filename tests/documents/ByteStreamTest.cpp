// The file side of the byte streams: reads and skips across the reader's
// window, files that are not regular, and whole loads from files larger than
// the window.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "documents/ByteStream.h"
#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"

using namespace jwfix;

namespace {

ByteVec Pattern(std::size_t n) {
  ByteVec b(n);
  for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>((i * 2654435761u) >> 13);
  return b;
}

TEST(ByteStream, FileReaderMatchesTheMemoryReaderAcrossItsWindow) {
  testsupport::TempDir dir;
  const ByteVec data = Pattern(900000);
  testsupport::WriteFileBytes(dir / "data", data);
  auto file = ByteReader::OpenFile(testsupport::U16(dir / "data"));
  ASSERT_TRUE(file);
  ByteReader mem{std::span<const std::uint8_t>(data)};
  // Reads and skips of many sizes, some of them beyond the window.
  const std::size_t steps[] = {1, 7, 300000, 13, 262144, 5, 100000, 262143, 2, 500000};
  ByteVec a(600000), b(600000);
  for (int round = 0; round < 3; ++round) {
    for (std::size_t i = 0; i < std::size(steps); ++i) {
      const std::size_t n = steps[i];
      if ((i + round) % 3 == 0) {
        EXPECT_EQ(file->Skip(n), mem.Skip(n));
      } else {
        const std::size_t want = std::min<std::size_t>(n, a.size());
        const std::size_t got = file->Read(a.data(), want);
        ASSERT_EQ(got, mem.Read(b.data(), want));
        ASSERT_TRUE(std::equal(a.begin(), a.begin() + got, b.begin()));
      }
      ASSERT_EQ(file->Position(), mem.Position());
      ASSERT_EQ(file->Remaining(), mem.Remaining());
    }
  }
  EXPECT_EQ(file->Remaining(), 0u);
  std::uint32_t v = 0xAABBCCDD;
  EXPECT_EQ(file->Get(v), 0u);
  EXPECT_EQ(v, 0xAABBCCDDu) << "a read at the end leaves the destination alone";
}

TEST(ByteStream, OnlyRegularFilesAreOpened) {
  testsupport::TempDir dir;
  const auto fifo = dir / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ByteReader::OpenFile(testsupport::U16(fifo))) << "no waiting for a writer";
  EXPECT_FALSE(ByteReader::OpenFile(dir.u16()));
  EXPECT_FALSE(ByteReader::OpenFile(testsupport::U16(dir / "missing")));
  TJwwData doc;
  EXPECT_FALSE(doc.FileCheck(testsupport::U16(fifo)));
  EXPECT_FALSE(doc.FileIn(testsupport::U16(fifo)));
}

// A drawing whose images are larger than the reader's window, loaded from
// the file: extracted whole, or skipped so that the next entry is found.
TEST(ByteStream, LargeImagesThroughTheFileReader) {
  testsupport::TempDir dir;
  std::filesystem::create_directory(dir / "work");
  const ByteVec big = Pattern(700001), small = Pattern(3000);
  JwFile f(700, Form::Utf16);
  WriteJwwHeader(f, CanonicalHeader(700));
  TEntJwwMoji a = Samples(700).moji, b = a;
  a.str = u"^@BM%temp%big.png,1";
  b.str = u"^@BM%temp%small.png,1";
  f.Count(2).Moji(a).Moji(b).Count(0);
  f.Images({{u"big.png", big}, {u"small.png", small}});
  testsupport::WriteFileBytes(dir / "in.jww", f.bytes());

  for (bool extract : {true, false}) {
    TJwwData doc;
    doc.BindImageFolder = testsupport::U16(dir / "work") + u"/";
    doc.BindImageExp = extract;
    doc.BindImageExr = true;
    ASSERT_TRUE(doc.FileIn(testsupport::U16(dir / "in.jww")));
    ASSERT_EQ(doc.BindImage.size(), 2u);
    EXPECT_EQ(doc.BindImage[1].Fname, u"small.png");
    EXPECT_EQ(doc.BindImage[1].Fsize, 3000);
    if (!extract) continue;
    EXPECT_TRUE(testsupport::ReadFileBytes(dir / "work" / "big.png") == big);
    EXPECT_TRUE(testsupport::ReadFileBytes(dir / "work" / "small.png") == small);
    doc.SetFileOutOption(0x20);
    ASSERT_TRUE(doc.FileOut(testsupport::U16(dir / "out.jww"), 700));
    EXPECT_TRUE(testsupport::ReadFileBytes(dir / "out.jww") == f.bytes());
    JwwDataFree(doc);
  }
}

TEST(ByteStream, RealDrawingsLoadAlikeFromFilesAndFromMemory) {
  const auto files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(files);
  for (const auto& path : files) {
    TJwwData fromFile, fromMemory;
    ASSERT_TRUE(fromFile.FileIn(testsupport::U16(path)));
    ASSERT_TRUE(Load(fromMemory, testsupport::ReadFileBytes(path)));
    const Form form = fromFile.MojiEncode ? Form::Utf16 : Form::CodePage;
    const std::int32_t ver = fromFile.Enthd.jwVer;
    EXPECT_TRUE(BodyOf(ver, form, fromFile) == BodyOf(ver, form, fromMemory)) << path;
    JwFile a(ver, form), b(ver, form);
    WriteJwwHeader(a, HeaderOf(fromFile));
    WriteJwwHeader(b, HeaderOf(fromMemory));
    EXPECT_TRUE(a.bytes() == b.bytes()) << path;
  }
}

}  // namespace

// A save replaces the destination through a temporary file: the result is
// complete, or the old file stays or is gone as the caller asks; the
// replaced file's permissions stay, and nothing else is left in the folder.
TEST(ByteStream, ReplacingAFileKeepsItsPermissionsAndLeavesNothingElse) {
  testsupport::TempDir dir;
  const auto target = dir / "a.jww";
  testsupport::WriteFileBytes(target, {1, 2, 3});
  std::filesystem::permissions(target, std::filesystem::perms(0640));
  auto write = [](ByteWriter& w, bool ok) {
    w.Write("new", 3);
    return ok;
  };
  ASSERT_TRUE(WriteFileReplacing(testsupport::U16(target), [&](ByteWriter& w) { return write(w, true); }));
  EXPECT_EQ(testsupport::ReadFileBytes(target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all, std::filesystem::perms(0640));

  EXPECT_FALSE(WriteFileReplacing(
      testsupport::U16(target), [&](ByteWriter& w) { return write(w, false); }, OnFailure::KeepDestination));
  EXPECT_EQ(testsupport::ReadFileBytes(target), (std::vector<std::uint8_t>{'n', 'e', 'w'})) << "the old file stays";
  EXPECT_EQ(std::filesystem::directory_iterator(dir.path())->path(), target) << "no temporary file is left";

  EXPECT_FALSE(WriteFileReplacing(testsupport::U16(target), [&](ByteWriter& w) { return write(w, false); }));
  EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "a failed document save leaves no file at all";
}
