// The low-level file layer on real temporary folders: what may be opened
// and created, the descriptor owner, the copy loop and the atomic
// replacement.
#include "support/FileIo.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "common/TestSupport.h"

namespace fs = std::filesystem;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;

namespace {

bool IsOpen(int Fd) { return ::fcntl(Fd, F_GETFD) != -1; }

TEST(OpenRegularFile, OpensOnlyRegularFilesAndReadsThemBlocking) {
  TempDir Dir;
  WriteFileBytes(Dir / "a", {1, 2, 3});
  fs::create_symlink(Dir / "a", Dir / "link");
  ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);

  for (const char* Name : {"a", "link"}) {
    SCOPED_TRACE(Name);
    struct stat Info {};
    const FileHandle F = OpenRegularFile(U16(Dir / Name), &Info);
    ASSERT_TRUE(F.Valid());
    EXPECT_EQ(Info.st_size, 3);
    EXPECT_EQ(::fcntl(F.Get(), F_GETFL) & O_NONBLOCK, 0) << "back in blocking mode once it is known to be a file";
    EXPECT_NE(::fcntl(F.Get(), F_GETFD) & FD_CLOEXEC, 0);
  }
  // A FIFO without a writer would block an ordinary open for ever.
  EXPECT_FALSE(OpenRegularFile(U16(Dir / "fifo")).Valid());
  EXPECT_FALSE(OpenRegularFile(Dir.u16()).Valid());
  EXPECT_FALSE(OpenRegularFile(U16(Dir / "missing")).Valid());
  EXPECT_FALSE(OpenRegularFile(u"").Valid());
}

TEST(CreateRegularFile, TruncatesAFileAndRefusesEverythingElse) {
  TempDir Dir;
  WriteFileBytes(Dir / "old", {1, 2, 3});
  WriteFileBytes(Dir / "target", {4});
  fs::create_symlink(Dir / "target", Dir / "link");
  ASSERT_EQ(::mkfifo((Dir / "fifo").c_str(), 0600), 0);
  fs::create_directory(Dir / "sub");

  {
    const FileHandle F = CreateRegularFile(U16(Dir / "old"));
    ASSERT_TRUE(F.Valid());
    EXPECT_TRUE(WriteFully(F.Get(), "xy", 2));
  }
  EXPECT_EQ(ReadFileBytes(Dir / "old"), (std::vector<std::uint8_t>{'x', 'y'}));
  EXPECT_TRUE(CreateRegularFile(U16(Dir / "new")).Valid());
  EXPECT_TRUE(fs::is_regular_file(Dir / "new"));

  EXPECT_FALSE(CreateRegularFile(U16(Dir / "link")).Valid()) << "a link is never followed";
  EXPECT_EQ(ReadFileBytes(Dir / "target"), std::vector<std::uint8_t>{4});
  EXPECT_FALSE(CreateRegularFile(U16(Dir / "fifo")).Valid());
  EXPECT_FALSE(CreateRegularFile(U16(Dir / "sub")).Valid());
  EXPECT_FALSE(CreateRegularFile(U16(Dir / "none" / "a")).Valid());
}

TEST(FileHandle, ClosesWhenItGoesAndWhenAnotherTakesItsPlace) {
  int Fd[2];
  ASSERT_EQ(::pipe(Fd), 0);
  {
    FileHandle A(Fd[0]);
    FileHandle B(std::move(A));
    EXPECT_FALSE(A.Valid());  // the moved-from handle owns nothing
    EXPECT_EQ(B.Get(), Fd[0]);
    B = FileHandle(Fd[1]);
    EXPECT_FALSE(IsOpen(Fd[0]));
    EXPECT_TRUE(IsOpen(Fd[1]));
  }
  EXPECT_FALSE(IsOpen(Fd[1]));

  FileHandle Empty;
  EXPECT_FALSE(Empty.Close()) << "nothing was open";
}

// A source of Size bytes that fails after FailReadAt bytes, and a sink that
// fails on the chunk that would pass FailWriteAt bytes.
struct CopyCase {
  const char* name;
  std::uint64_t limit;
  std::size_t size;
  std::size_t failReadAt, failWriteAt;
  std::uint64_t taken;
  bool failed;
  std::size_t written;
};

constexpr std::size_t kChunk = 1 << 16;
constexpr std::size_t kNever = ~std::size_t{0};
constexpr std::uint64_t kAll = ~std::uint64_t{0};

const CopyCase kCopyCases[] = {
    {"whole source over several chunks", kAll, 3 * kChunk + 5, kNever, kNever, 3 * kChunk + 5, false, 3 * kChunk + 5},
    {"stops at the limit", kChunk + 7, 3 * kChunk, kNever, kNever, kChunk + 7, false, kChunk + 7},
    {"source ends before the limit", 5 * kChunk, 100, kNever, kNever, 100, false, 100},
    {"nothing to copy", 0, 100, kNever, kNever, 0, false, 0},
    {"empty source", kAll, 0, kNever, kNever, 0, false, 0},
    {"read fails", kAll, 3 * kChunk, kChunk, kNever, kChunk, true, kChunk},
    {"write fails", kAll, 3 * kChunk, kNever, kChunk + 1, 2 * kChunk, true, kChunk},
};

TEST(CopyBytes, Table) {
  for (const CopyCase& C : kCopyCases) {
    SCOPED_TRACE(C.name);
    std::size_t Read = 0;
    std::vector<std::uint8_t> Out;
    const TCopyResult R = CopyBytes(
        C.limit,
        [&](std::uint8_t* P, std::size_t N) -> std::ptrdiff_t {
          EXPECT_LE(N, kChunk);
          if (Read >= C.failReadAt) return -1;
          const std::size_t K = std::min(N, C.size - Read);
          for (std::size_t I = 0; I < K; ++I) P[I] = static_cast<std::uint8_t>(Read + I);
          Read += K;
          return static_cast<std::ptrdiff_t>(K);
        },
        [&](const std::uint8_t* P, std::size_t N) {
          if (Out.size() + N >= C.failWriteAt) return false;
          Out.insert(Out.end(), P, P + N);
          return true;
        });
    EXPECT_EQ(R.Taken, C.taken);
    EXPECT_EQ(R.Failed, C.failed);
    ASSERT_EQ(Out.size(), C.written);
    for (std::size_t I = 0; I < Out.size(); ++I)
      if (Out[I] != static_cast<std::uint8_t>(I)) FAIL() << "byte " << I << " out of order";
  }
}

// A save replaces the destination through a temporary file: the result is
// complete, or the old file stays or is gone as the caller asks; the
// replaced file's permissions stay, and nothing else is left in the folder.
TEST(WriteFileReplacing, KeepsThePermissionsAndLeavesNothingElse) {
  TempDir Dir;
  const auto Target = Dir / "a.jww";
  WriteFileBytes(Target, {1, 2, 3});
  fs::permissions(Target, fs::perms(0640));
  auto Write = [](ByteSink& S, bool Ok) { return S.Put(reinterpret_cast<const std::uint8_t*>("new"), 3) && Ok; };
  ASSERT_TRUE(WriteFileReplacing(U16(Target), [&](ByteSink& S) { return Write(S, true); }));
  EXPECT_EQ(ReadFileBytes(Target), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
  EXPECT_EQ(fs::status(Target).permissions() & fs::perms::all, fs::perms(0640));

  EXPECT_FALSE(WriteFileReplacing(
      U16(Target), [&](ByteSink& S) { return Write(S, false); }, OnFailure::KeepDestination));
  EXPECT_EQ(ReadFileBytes(Target), (std::vector<std::uint8_t>{'n', 'e', 'w'})) << "the old file stays";
  EXPECT_EQ(fs::directory_iterator(Dir.path())->path(), Target) << "no temporary file is left";

  EXPECT_FALSE(WriteFileReplacing(U16(Target), [&](ByteSink& S) { return Write(S, false); }));
  EXPECT_TRUE(fs::is_empty(Dir.path())) << "a failed document save leaves no file at all";
}

TEST(WriteFileReplacing, ABodyThatThrowsFailsTheSave) {
  TempDir Dir;
  WriteFileBytes(Dir / "a.set", {'o', 'l', 'd'});
  EXPECT_FALSE(WriteFileReplacing(
      U16(Dir / "a.set"), [](ByteSink&) -> bool { throw std::bad_alloc(); }, OnFailure::KeepDestination));
  EXPECT_EQ(ReadFileBytes(Dir / "a.set"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_EQ(fs::directory_iterator(Dir.path())->path(), Dir / "a.set");
}

}  // namespace
