// File-system helpers on real temporary folders.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "support/Func_2.h"

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::U16;

namespace {

void Touch(const fs::path& P, std::size_t Size = 0) { testsupport::WriteFileBytes(P, Bytes(Size, 'x')); }

std::vector<std::u16string> ListedNames() {
  std::vector<std::u16string> Names;
  for (int I = 0; I < FileListN; ++I) Names.push_back(FileList[I].name);
  std::sort(Names.begin(), Names.end());
  return Names;
}

void SetWriteTime(const fs::path& P, std::time_t T, long Nsec = 0) {
  const timespec Times[2] = {{T - 3600, 0}, {T, Nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, P.c_str(), Times, 0), 0);
}

TEST(FileChecks, FilesAndFolders) {
  TempDir Dir;
  Touch(Dir / "a.jww");
  fs::create_directory(Dir / "sub");
  fs::create_symlink(Dir / "a.jww", Dir / "link.jww");
  fs::create_symlink(Dir / "missing", Dir / "dangling.jww");
  ASSERT_EQ(::mkfifo((Dir / "pipe.jww").c_str(), 0600), 0);

  EXPECT_TRUE(IsFile(U16(Dir / "a.jww")));
  EXPECT_TRUE(IsFile(U16(Dir / "link.jww")));
  EXPECT_FALSE(IsFile(U16(Dir / "dangling.jww")));
  EXPECT_FALSE(IsFile(U16(Dir / "pipe.jww")));
  EXPECT_FALSE(IsFile(U16(Dir / "sub")));
  EXPECT_FALSE(IsFile(u""));
  EXPECT_TRUE(IsFolder(U16(Dir / "sub")));
  EXPECT_TRUE(IsFolder(Dir.u16()));
  EXPECT_FALSE(IsFolder(U16(Dir / "a.jww")));
  EXPECT_FALSE(IsFolder(u""));

  // Only a name that surely holds no file may be taken as missing.
  EXPECT_TRUE(FileMayExist(U16(Dir / "a.jww")));
  EXPECT_TRUE(FileMayExist(U16(Dir / "link.jww")));
  EXPECT_TRUE(FileMayExist(U16(Dir / std::string(300, 'x'))));
  EXPECT_TRUE(FileMayExist(U16(Dir / std::string(4100, 'x') / "a.jww")));
  EXPECT_FALSE(FileMayExist(U16(Dir / "missing.jww")));
  EXPECT_FALSE(FileMayExist(U16(Dir / "a.jww" / "b.jww")));
  EXPECT_FALSE(FileMayExist(U16(Dir / "dangling.jww")));
  EXPECT_FALSE(FileMayExist(U16(Dir / "sub")));
  EXPECT_FALSE(FileMayExist(U16(Dir / "pipe.jww")));
  EXPECT_FALSE(FileMayExist(u""));
}

TEST(FileChecks, CreateRemoveDelete) {
  TempDir Dir;
  const std::u16string Deep = U16(Dir / "平面" / "b" / "c");
  EXPECT_TRUE(FolderCreate(Deep));
  EXPECT_TRUE(IsFolder(Deep));
  EXPECT_TRUE(FolderCreate(Deep + u"/"));  // already there
  EXPECT_FALSE(FolderCreate(u""));
  Touch(Dir / "file");
  EXPECT_FALSE(FolderCreate(U16(Dir / "file" / "x")));

  Touch(Dir / "平面" / "b" / "c" / "keep");
  EXPECT_FALSE(FolderRemove(Deep));  // not empty
  EXPECT_TRUE(IsFolder(Deep));
  EXPECT_FALSE(FolderRemove(U16(Dir / "file")));
  EXPECT_FALSE(FolderRemove(U16(Dir / "none")));

  EXPECT_FALSE(FileDeleteQuiet(Deep));  // never a folder
  EXPECT_TRUE(FileDeleteQuiet(Deep + u"/keep"));
  EXPECT_FALSE(FileDeleteQuiet(Deep + u"/keep"));
  EXPECT_FALSE(FileDeleteQuiet(u""));
  EXPECT_TRUE(FolderRemove(Deep));
  EXPECT_FALSE(IsFolder(Deep));
}

TEST(FileChecks, FolderCreateMakesRelativePathsAbsolute) {
  TempDir Dir;
  const fs::path Saved = fs::current_path();
  fs::current_path(Dir.path());
  EXPECT_TRUE(FolderCreate(u"rel/sub"));
  fs::current_path(Saved);
  EXPECT_TRUE(fs::is_directory(Dir / "rel" / "sub"));
}

TEST(FileListSearch, MatchesPatternsWithoutRegardToCase) {
  TempDir Dir;
  for (const char* Name : {"a.jww", "b.JWW", "c.bak", "d.bk3", "e.txt", "f.jws", "g.jw", "h.jwwx", ".hidden.jww"})
    Touch(Dir / Name);
  fs::create_directory(Dir / "folder.jww");
  fs::create_symlink(Dir / "a.jww", Dir / "link.jww");
  fs::create_symlink(Dir / "folder.jww", Dir / "dirlink.jww");
  fs::create_symlink(Dir / "missing", Dir / "dangling.jww");
  ASSERT_EQ(::mkfifo((Dir / "pipe.jww").c_str(), 0600), 0);

  struct Case {
    std::u16string pattern;
    std::vector<std::u16string> names;
  };
  const Case Cases[] = {
      {u"*",
       {u".hidden.jww", u"a.jww", u"b.JWW", u"c.bak", u"d.bk3", u"e.txt", u"f.jws", u"g.jw", u"h.jwwx", u"link.jww"}},
      {u"*.jww", {u".hidden.jww", u"a.jww", u"b.JWW", u"link.jww"}},
      {u"*.JW?", {u".hidden.jww", u"a.jww", u"b.JWW", u"f.jws", u"link.jww"}},
      {u"?.jw*", {u"a.jww", u"b.JWW", u"f.jws", u"g.jw", u"h.jwwx"}},
      {u"*.jwc", {}},
      {u"", {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(std::string(C.pattern.begin(), C.pattern.end()));
    FileListSearch(Dir.u16(), C.pattern);
    EXPECT_EQ(ListedNames(), C.names);
    EXPECT_EQ(FileListN, static_cast<std::int32_t>(FileList.size()));
  }
  FileListClear();
  EXPECT_EQ(FileListN, 0);
  EXPECT_TRUE(FileList.empty());
}

TEST(FileListSearch, FieldsOfAnEntry) {
  TempDir Dir;
  Touch(Dir / "平面図.jww", 1234);
  std::tm Local{};
  Local.tm_year = 2023 - 1900;
  Local.tm_mon = 6;
  Local.tm_mday = 9;
  Local.tm_hour = 8;
  Local.tm_min = 5;
  Local.tm_sec = 3;
  Local.tm_isdst = -1;
  SetWriteTime(Dir / "平面図.jww", std::mktime(&Local));

  FileListSearch(Dir.u16(), u"*");
  ASSERT_EQ(FileListN, 1);
  EXPECT_EQ(FileList[0].name, u"平面図.jww");
  EXPECT_EQ(FileList[0].size, 1234);
  EXPECT_EQ(FileList[0].date, u"2023/07/09");
  EXPECT_EQ(FileList[0].time, u"08:05:03");
  EXPECT_FALSE(FileList[0].dirf);
}

// Drawings copied from old archives may carry Shift_JIS names: a name that
// is not UTF-8 is listed, and the listed name leads back to its file.
TEST(FileListSearch, NamesThatAreNotUtf8OpenTheirFiles) {
  TempDir Dir;
  const std::string Sjis = "\x95\xBD\x96\xCA.jww";  // 平面.jww in code page 932
  Touch(Dir / Sjis, 10);
  FileListSearch(Dir.u16(), u"*.JWW");
  ASSERT_EQ(FileListN, 1);
  const std::u16string Listed = Dir.u16() + u"/" + FileList[0].name;
  EXPECT_TRUE(IsFile(Listed));
  Bytes Head;
  EXPECT_TRUE(ReadFileHead(Listed, 100, Head));
  EXPECT_EQ(Head.size(), 10u);
  EXPECT_TRUE(FileCopyKeepTime(Listed, FileExtChange(Listed, u".BAK")));
  EXPECT_TRUE(fs::is_regular_file(Dir / "\x95\xBD\x96\xCA.BAK"));
  FileListClear();
}

TEST(FileListSearch, ManyFilesAndMissingFolders) {
  TempDir Dir;
  for (int I = 0; I < 250; ++I) Touch(Dir / ("f" + std::to_string(I) + ".jww"));
  FileListSearch(Dir.u16(), u"*.jww");
  EXPECT_EQ(FileListN, 250);
  EXPECT_EQ(FileList.size(), 250u);

  FileListSearch(U16(Dir / "none") + u"/", u"*");
  EXPECT_EQ(FileListN, 0);
  EXPECT_TRUE(FileList.empty());
  FileListSearch(u"", u"*");
  EXPECT_EQ(FileListN, 0);
}

TEST(FileCopyKeepTime, CopiesBytesAndTimesReplacingAnExistingFile) {
  TempDir Dir;
  Bytes Content(200000);
  for (std::size_t I = 0; I < Content.size(); ++I) Content[I] = static_cast<std::uint8_t>(I * 7 + I / 300);
  testsupport::WriteFileBytes(Dir / "src.jww", Content);
  SetWriteTime(Dir / "src.jww", 1500000000, 123456789);
  Touch(Dir / "dst.jww", 999999);

  ASSERT_TRUE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "dst.jww")));
  EXPECT_EQ(testsupport::ReadFileBytes(Dir / "dst.jww"), Content);
  struct stat Src {
  }, Dst{};
  ASSERT_EQ(::stat((Dir / "src.jww").c_str(), &Src), 0);
  ASSERT_EQ(::stat((Dir / "dst.jww").c_str(), &Dst), 0);
  EXPECT_EQ(Dst.st_mtim.tv_sec, Src.st_mtim.tv_sec);
  EXPECT_EQ(Dst.st_mtim.tv_nsec, Src.st_mtim.tv_nsec);
  EXPECT_EQ(Dst.st_atim.tv_sec, Src.st_atim.tv_sec);

  Touch(Dir / "zero");
  EXPECT_TRUE(FileCopyKeepTime(U16(Dir / "zero"), U16(Dir / "zero.BAK")));
  EXPECT_TRUE(fs::exists(Dir / "zero.BAK"));
  EXPECT_EQ(fs::file_size(Dir / "zero.BAK"), 0u);
}

TEST(FileCopyKeepTime, RefusesWhatItCannotCopySafely) {
  TempDir Dir;
  const Bytes Content = {1, 2, 3};
  testsupport::WriteFileBytes(Dir / "src.jww", Content);
  testsupport::WriteFileBytes(Dir / "outside", {9, 9});
  fs::create_directory(Dir / "sub");
  fs::create_symlink(Dir / "outside", Dir / "planted.BAK");
  fs::create_hard_link(Dir / "src.jww", Dir / "hard.jww");
  ASSERT_EQ(::mkfifo((Dir / "pipe.jww").c_str(), 0600), 0);

  // Missing source, folder as source, FIFO as source: no copy, no hang.
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "none"), U16(Dir / "out1")));
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "sub"), U16(Dir / "out2")));
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "pipe.jww"), U16(Dir / "out3")));
  EXPECT_FALSE(FileCopyKeepTime(u"", U16(Dir / "out4")));
  for (const char* Name : {"out1", "out2", "out3", "out4"}) EXPECT_FALSE(fs::exists(Dir / Name)) << Name;

  // Destinations that are no regular file, or the source itself.
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "sub")));
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "pipe.jww")));
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "planted.BAK")));
  EXPECT_EQ(testsupport::ReadFileBytes(Dir / "outside"), (Bytes{9, 9}));
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "src.jww")));
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "hard.jww")));
  EXPECT_EQ(testsupport::ReadFileBytes(Dir / "src.jww"), Content);
  EXPECT_FALSE(FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "nofolder" / "x")));
}

TEST(FileCopyKeepTime, RemovesAPartialCopy) {
  // A file size limit makes the writes fail half-way, as a full disk would.
  TempDir Dir;
  testsupport::WriteFileBytes(Dir / "src.jww", Bytes(100000, 5));
  rlimit Saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &Saved), 0);
  if (Saved.rlim_max != RLIM_INFINITY && Saved.rlim_max < 50000) GTEST_SKIP() << "file size already limited";
  const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit Limited = Saved;
  Limited.rlim_cur = 50000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &Limited), 0);
  const bool Copied = FileCopyKeepTime(U16(Dir / "src.jww"), U16(Dir / "dst.jww"));
  ::setrlimit(RLIMIT_FSIZE, &Saved);
  std::signal(SIGXFSZ, OldHandler);

  EXPECT_FALSE(Copied);
  EXPECT_FALSE(fs::exists(Dir / "dst.jww"));
}

TEST(ReadFileHead, ReadsOnlyRegularFiles) {
  TempDir Dir;
  testsupport::WriteFileBytes(Dir / "a", {1, 2, 3, 4, 5});
  ASSERT_EQ(::mkfifo((Dir / "pipe").c_str(), 0600), 0);
  Bytes Data;
  EXPECT_TRUE(ReadFileHead(U16(Dir / "a"), 3, Data));
  EXPECT_EQ(Data, (Bytes{1, 2, 3}));
  EXPECT_TRUE(ReadFileHead(U16(Dir / "a"), 100, Data));
  EXPECT_EQ(Data, (Bytes{1, 2, 3, 4, 5}));
  EXPECT_FALSE(ReadFileHead(U16(Dir / "pipe"), 10, Data));
  EXPECT_TRUE(Data.empty());
  EXPECT_FALSE(ReadFileHead(Dir.u16(), 10, Data));
  EXPECT_FALSE(ReadFileHead(U16(Dir / "none"), 10, Data));
}

}  // namespace
