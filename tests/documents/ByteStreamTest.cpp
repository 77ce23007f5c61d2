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

ByteVec Pattern(std::size_t N) {
  ByteVec B(N);
  for (std::size_t I = 0; I < N; ++I) B[I] = static_cast<std::uint8_t>((I * 2654435761u) >> 13);
  return B;
}

TEST(ByteStream, FileReaderMatchesTheMemoryReaderAcrossItsWindow) {
  testsupport::TempDir Dir;
  const ByteVec Data = Pattern(900000);
  testsupport::WriteFileBytes(Dir / "data", Data);
  auto File = ByteReader::OpenFile(testsupport::U16(Dir / "data"));
  ASSERT_TRUE(File);
  ByteReader Mem{std::span<const std::uint8_t>(Data)};
  // Reads and skips of many sizes, some of them beyond the window.
  const std::size_t Steps[] = {1, 7, 300000, 13, 262144, 5, 100000, 262143, 2, 500000};
  ByteVec A(600000), B(600000);
  for (int Round = 0; Round < 3; ++Round) {
    for (std::size_t I = 0; I < std::size(Steps); ++I) {
      const std::size_t N = Steps[I];
      if ((I + Round) % 3 == 0) {
        EXPECT_EQ(File->Skip(N), Mem.Skip(N));
      } else {
        const std::size_t Want = std::min<std::size_t>(N, A.size());
        const std::size_t Got = File->Read(A.data(), Want);
        ASSERT_EQ(Got, Mem.Read(B.data(), Want));
        ASSERT_TRUE(std::equal(A.begin(), A.begin() + Got, B.begin()));
      }
      ASSERT_EQ(File->Position(), Mem.Position());
      ASSERT_EQ(File->Remaining(), Mem.Remaining());
    }
  }
  EXPECT_EQ(File->Remaining(), 0u);
  std::uint32_t V = 0xAABBCCDD;
  EXPECT_EQ(File->Get(V), 0u);
  EXPECT_EQ(V, 0xAABBCCDDu) << "a read at the end leaves the destination alone";
}

TEST(ByteStream, OnlyRegularFilesAreOpened) {
  testsupport::TempDir Dir;
  const auto Fifo = Dir / "fifo";
  ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ByteReader::OpenFile(testsupport::U16(Fifo))) << "no waiting for a writer";
  EXPECT_FALSE(ByteReader::OpenFile(Dir.u16()));
  EXPECT_FALSE(ByteReader::OpenFile(testsupport::U16(Dir / "missing")));
  TJwwData Doc;
  EXPECT_FALSE(Doc.FileCheck(testsupport::U16(Fifo)));
  EXPECT_FALSE(Doc.FileIn(testsupport::U16(Fifo)));
}

// A drawing whose images are larger than the reader's window, loaded from
// the file: extracted whole, or skipped so that the next entry is found.
TEST(ByteStream, LargeImagesThroughTheFileReader) {
  testsupport::TempDir Dir;
  std::filesystem::create_directory(Dir / "work");
  const ByteVec Big = Pattern(700001), Small = Pattern(3000);
  JwFile F(700, Form::Utf16);
  WriteJwwHeader(F, CanonicalHeader(700));
  TEntJwwMoji A = Samples(700).moji, B = A;
  A.str = u"^@BM%temp%big.png,1";
  B.str = u"^@BM%temp%small.png,1";
  F.Count(2).Moji(A).Moji(B).Count(0);
  F.Images({{u"big.png", Big}, {u"small.png", Small}});
  testsupport::WriteFileBytes(Dir / "in.jww", F.bytes());

  for (bool Extract : {true, false}) {
    TJwwData Doc;
    Doc.BindImageFolder = testsupport::U16(Dir / "work") + u"/";
    Doc.BindImageExp = Extract;
    Doc.BindImageExr = true;
    ASSERT_TRUE(Doc.FileIn(testsupport::U16(Dir / "in.jww")));
    ASSERT_EQ(Doc.BindImage.size(), 2u);
    EXPECT_EQ(Doc.BindImage[1].Fname, u"small.png");
    EXPECT_EQ(Doc.BindImage[1].Fsize, 3000);
    if (!Extract) continue;
    EXPECT_TRUE(testsupport::ReadFileBytes(Dir / "work" / "big.png") == Big);
    EXPECT_TRUE(testsupport::ReadFileBytes(Dir / "work" / "small.png") == Small);
    Doc.SetFileOutOption(0x20);
    ASSERT_TRUE(Doc.FileOut(testsupport::U16(Dir / "out.jww"), 700));
    EXPECT_TRUE(testsupport::ReadFileBytes(Dir / "out.jww") == F.bytes());
    JwwDataFree(Doc);
  }
}

TEST(ByteStream, RealDrawingsLoadAlikeFromFilesAndFromMemory) {
  const auto Files = testsupport::CorpusFiles("jww", ".jww");
  SKIP_WITHOUT_CORPUS(Files);
  for (const auto& Path : Files) {
    TJwwData FromFile, FromMemory;
    ASSERT_TRUE(FromFile.FileIn(testsupport::U16(Path)));
    ASSERT_TRUE(Load(FromMemory, testsupport::ReadFileBytes(Path)));
    const Form Form = FromFile.MojiEncode ? Form::Utf16 : Form::CodePage;
    const std::int32_t Ver = FromFile.Enthd.jwVer;
    EXPECT_TRUE(BodyOf(Ver, Form, FromFile) == BodyOf(Ver, Form, FromMemory)) << Path;
    JwFile A(Ver, Form), B(Ver, Form);
    WriteJwwHeader(A, HeaderOf(FromFile));
    WriteJwwHeader(B, HeaderOf(FromMemory));
    EXPECT_TRUE(A.bytes() == B.bytes()) << Path;
  }
}

}  // namespace
