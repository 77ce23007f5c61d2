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

void Touch(const fs::path& p, std::size_t size = 0) { testsupport::WriteFileBytes(p, Bytes(size, 'x')); }

std::vector<std::u16string> ListedNames() {
  std::vector<std::u16string> names;
  for (int i = 0; i < FileListN; ++i) names.push_back(FileList[i].name);
  std::sort(names.begin(), names.end());
  return names;
}

void SetWriteTime(const fs::path& p, std::time_t t, long nsec = 0) {
  const timespec times[2] = {{t - 3600, 0}, {t, nsec}};
  ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, 0), 0);
}

TEST(FileChecks, FilesAndFolders) {
  TempDir dir;
  Touch(dir / "a.jww");
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "a.jww", dir / "link.jww");
  fs::create_symlink(dir / "missing", dir / "dangling.jww");
  ASSERT_EQ(::mkfifo((dir / "pipe.jww").c_str(), 0600), 0);

  EXPECT_TRUE(IsFile(U16(dir / "a.jww")));
  EXPECT_TRUE(IsFile(U16(dir / "link.jww")));
  EXPECT_FALSE(IsFile(U16(dir / "dangling.jww")));
  EXPECT_FALSE(IsFile(U16(dir / "pipe.jww")));
  EXPECT_FALSE(IsFile(U16(dir / "sub")));
  EXPECT_FALSE(IsFile(u""));
  EXPECT_TRUE(IsFolder(U16(dir / "sub")));
  EXPECT_TRUE(IsFolder(dir.u16()));
  EXPECT_FALSE(IsFolder(U16(dir / "a.jww")));
  EXPECT_FALSE(IsFolder(u""));

  // Only a name that surely holds no file may be taken as missing.
  EXPECT_TRUE(FileMayExist(U16(dir / "a.jww")));
  EXPECT_TRUE(FileMayExist(U16(dir / "link.jww")));
  EXPECT_TRUE(FileMayExist(U16(dir / std::string(300, 'x'))));
  EXPECT_TRUE(FileMayExist(U16(dir / std::string(4100, 'x') / "a.jww")));
  EXPECT_FALSE(FileMayExist(U16(dir / "missing.jww")));
  EXPECT_FALSE(FileMayExist(U16(dir / "a.jww" / "b.jww")));
  EXPECT_FALSE(FileMayExist(U16(dir / "dangling.jww")));
  EXPECT_FALSE(FileMayExist(U16(dir / "sub")));
  EXPECT_FALSE(FileMayExist(U16(dir / "pipe.jww")));
  EXPECT_FALSE(FileMayExist(u""));
}

TEST(FileChecks, CreateRemoveDelete) {
  TempDir dir;
  const std::u16string deep = U16(dir / "平面" / "b" / "c");
  EXPECT_TRUE(FolderCreate(deep));
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_TRUE(FolderCreate(deep + u"/"));  // already there
  EXPECT_FALSE(FolderCreate(u""));
  Touch(dir / "file");
  EXPECT_FALSE(FolderCreate(U16(dir / "file" / "x")));

  Touch(dir / "平面" / "b" / "c" / "keep");
  EXPECT_FALSE(FolderRemove(deep));  // not empty
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_FALSE(FolderRemove(U16(dir / "file")));
  EXPECT_FALSE(FolderRemove(U16(dir / "none")));

  EXPECT_FALSE(FileDeleteQuiet(deep));  // never a folder
  EXPECT_TRUE(FileDeleteQuiet(deep + u"/keep"));
  EXPECT_FALSE(FileDeleteQuiet(deep + u"/keep"));
  EXPECT_FALSE(FileDeleteQuiet(u""));
  EXPECT_TRUE(FolderRemove(deep));
  EXPECT_FALSE(IsFolder(deep));
}

TEST(FileChecks, FolderCreateMakesRelativePathsAbsolute) {
  TempDir dir;
  const fs::path saved = fs::current_path();
  fs::current_path(dir.path());
  EXPECT_TRUE(FolderCreate(u"rel/sub"));
  fs::current_path(saved);
  EXPECT_TRUE(fs::is_directory(dir / "rel" / "sub"));
}

TEST(FileListSearch, MatchesPatternsWithoutRegardToCase) {
  TempDir dir;
  for (const char* name : {"a.jww", "b.JWW", "c.bak", "d.bk3", "e.txt", "f.jws", "g.jw", "h.jwwx", ".hidden.jww"})
    Touch(dir / name);
  fs::create_directory(dir / "folder.jww");
  fs::create_symlink(dir / "a.jww", dir / "link.jww");
  fs::create_symlink(dir / "folder.jww", dir / "dirlink.jww");
  fs::create_symlink(dir / "missing", dir / "dangling.jww");
  ASSERT_EQ(::mkfifo((dir / "pipe.jww").c_str(), 0600), 0);

  struct Case {
    std::u16string pattern;
    std::vector<std::u16string> names;
  };
  const Case cases[] = {
      {u"*",
       {u".hidden.jww", u"a.jww", u"b.JWW", u"c.bak", u"d.bk3", u"e.txt", u"f.jws", u"g.jw", u"h.jwwx", u"link.jww"}},
      {u"*.jww", {u".hidden.jww", u"a.jww", u"b.JWW", u"link.jww"}},
      {u"*.JW?", {u".hidden.jww", u"a.jww", u"b.JWW", u"f.jws", u"link.jww"}},
      {u"?.jw*", {u"a.jww", u"b.JWW", u"f.jws", u"g.jw", u"h.jwwx"}},
      {u"*.jwc", {}},
      {u"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
    FileListSearch(dir.u16(), c.pattern);
    EXPECT_EQ(ListedNames(), c.names);
    EXPECT_EQ(FileListN, static_cast<std::int32_t>(FileList.size()));
  }
  FileListClear();
  EXPECT_EQ(FileListN, 0);
  EXPECT_TRUE(FileList.empty());
}

TEST(FileListSearch, FieldsOfAnEntry) {
  TempDir dir;
  Touch(dir / "平面図.jww", 1234);
  std::tm local{};
  local.tm_year = 2023 - 1900;
  local.tm_mon = 6;
  local.tm_mday = 9;
  local.tm_hour = 8;
  local.tm_min = 5;
  local.tm_sec = 3;
  local.tm_isdst = -1;
  SetWriteTime(dir / "平面図.jww", std::mktime(&local));

  FileListSearch(dir.u16(), u"*");
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
  TempDir dir;
  const std::string sjis = "\x95\xBD\x96\xCA.jww";  // 平面.jww in code page 932
  Touch(dir / sjis, 10);
  FileListSearch(dir.u16(), u"*.JWW");
  ASSERT_EQ(FileListN, 1);
  const std::u16string listed = dir.u16() + u"/" + FileList[0].name;
  EXPECT_TRUE(IsFile(listed));
  Bytes head;
  EXPECT_TRUE(ReadFileHead(listed, 100, head));
  EXPECT_EQ(head.size(), 10u);
  EXPECT_TRUE(FileCopyKeepTime(listed, FileExtChange(listed, u".BAK")));
  EXPECT_TRUE(fs::is_regular_file(dir / "\x95\xBD\x96\xCA.BAK"));
  FileListClear();
}

TEST(FileListSearch, ManyFilesAndMissingFolders) {
  TempDir dir;
  for (int i = 0; i < 250; ++i) Touch(dir / ("f" + std::to_string(i) + ".jww"));
  FileListSearch(dir.u16(), u"*.jww");
  EXPECT_EQ(FileListN, 250);
  EXPECT_EQ(FileList.size(), 250u);

  FileListSearch(U16(dir / "none") + u"/", u"*");
  EXPECT_EQ(FileListN, 0);
  EXPECT_TRUE(FileList.empty());
  FileListSearch(u"", u"*");
  EXPECT_EQ(FileListN, 0);
}

TEST(FileCopyKeepTime, CopiesBytesAndTimesReplacingAnExistingFile) {
  TempDir dir;
  Bytes content(200000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7 + i / 300);
  testsupport::WriteFileBytes(dir / "src.jww", content);
  SetWriteTime(dir / "src.jww", 1500000000, 123456789);
  Touch(dir / "dst.jww", 999999);

  ASSERT_TRUE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "dst.jww")));
  EXPECT_EQ(testsupport::ReadFileBytes(dir / "dst.jww"), content);
  struct stat src {
  }, dst{};
  ASSERT_EQ(::stat((dir / "src.jww").c_str(), &src), 0);
  ASSERT_EQ(::stat((dir / "dst.jww").c_str(), &dst), 0);
  EXPECT_EQ(dst.st_mtim.tv_sec, src.st_mtim.tv_sec);
  EXPECT_EQ(dst.st_mtim.tv_nsec, src.st_mtim.tv_nsec);
  EXPECT_EQ(dst.st_atim.tv_sec, src.st_atim.tv_sec);

  Touch(dir / "zero");
  EXPECT_TRUE(FileCopyKeepTime(U16(dir / "zero"), U16(dir / "zero.BAK")));
  EXPECT_TRUE(fs::exists(dir / "zero.BAK"));
  EXPECT_EQ(fs::file_size(dir / "zero.BAK"), 0u);
}

TEST(FileCopyKeepTime, RefusesWhatItCannotCopySafely) {
  TempDir dir;
  const Bytes content = {1, 2, 3};
  testsupport::WriteFileBytes(dir / "src.jww", content);
  testsupport::WriteFileBytes(dir / "outside", {9, 9});
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "outside", dir / "planted.BAK");
  fs::create_hard_link(dir / "src.jww", dir / "hard.jww");
  ASSERT_EQ(::mkfifo((dir / "pipe.jww").c_str(), 0600), 0);

  // Missing source, folder as source, FIFO as source: no copy, no hang.
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "none"), U16(dir / "out1")));
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "sub"), U16(dir / "out2")));
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "pipe.jww"), U16(dir / "out3")));
  EXPECT_FALSE(FileCopyKeepTime(u"", U16(dir / "out4")));
  for (const char* name : {"out1", "out2", "out3", "out4"}) EXPECT_FALSE(fs::exists(dir / name)) << name;

  // Destinations that are no regular file, or the source itself.
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "sub")));
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "pipe.jww")));
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "planted.BAK")));
  EXPECT_EQ(testsupport::ReadFileBytes(dir / "outside"), (Bytes{9, 9}));
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "src.jww")));
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "hard.jww")));
  EXPECT_EQ(testsupport::ReadFileBytes(dir / "src.jww"), content);
  EXPECT_FALSE(FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "nofolder" / "x")));
}

TEST(FileCopyKeepTime, RemovesAPartialCopy) {
  // A file size limit makes the writes fail half-way, as a full disk would.
  TempDir dir;
  testsupport::WriteFileBytes(dir / "src.jww", Bytes(100000, 5));
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < 50000) GTEST_SKIP() << "file size already limited";
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit limited = saved;
  limited.rlim_cur = 50000;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
  const bool copied = FileCopyKeepTime(U16(dir / "src.jww"), U16(dir / "dst.jww"));
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(copied);
  EXPECT_FALSE(fs::exists(dir / "dst.jww"));
}

TEST(ReadFileHead, ReadsOnlyRegularFiles) {
  TempDir dir;
  testsupport::WriteFileBytes(dir / "a", {1, 2, 3, 4, 5});
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
  Bytes data;
  EXPECT_TRUE(ReadFileHead(U16(dir / "a"), 3, data));
  EXPECT_EQ(data, (Bytes{1, 2, 3}));
  EXPECT_TRUE(ReadFileHead(U16(dir / "a"), 100, data));
  EXPECT_EQ(data, (Bytes{1, 2, 3, 4, 5}));
  EXPECT_FALSE(ReadFileHead(U16(dir / "pipe"), 10, data));
  EXPECT_TRUE(data.empty());
  EXPECT_FALSE(ReadFileHead(dir.u16(), 10, data));
  EXPECT_FALSE(ReadFileHead(U16(dir / "none"), 10, data));
}

}  // namespace
