// Project trees on real temporary folders: the walk's order, links that are
// not followed, and folders made only below their root.
#include "support/FolderTree.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "support/Func_2.h"

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::U16;

namespace {

TEST(SubfolderPaths, EachFolderThenItsOwnInNameOrderWithoutLinksOrTheExcluded) {
  TempDir Dir;
  const fs::path Root = Dir / "root";
  for (const char* Sub : {"b/x", "a/z", "a/y", "B", "out/deep"}) fs::create_directories(Root / Sub);
  fs::create_directories(Dir / "elsewhere/inside");
  fs::create_directory_symlink(Dir / "elsewhere", Root / "a/link");
  testsupport::WriteFileBytes(Root / "a/file.jww", {1});

  const std::vector<std::u16string> Expected{u"B", u"a", u"a/y", u"a/z", u"b", u"b/x"};
  EXPECT_EQ(SubfolderPaths(U16(Root), U16(Root / "out")), Expected);
  EXPECT_EQ(SubfolderPaths(U16(Root)).back(), u"out/deep");
  EXPECT_TRUE(SubfolderPaths(U16(Dir / "missing")).empty());
}

TEST(MakeFolderBelow, MakesMissingPartsButNeverThroughALinkOrAFile) {
  TempDir Dir;
  const fs::path Root = Dir / "dest";
  fs::create_directories(Root / "kept");
  fs::create_directories(Dir / "outside");
  fs::create_directory_symlink(Dir / "outside", Root / "link");
  testsupport::WriteFileBytes(Root / "file", {1});

  EXPECT_TRUE(MakeFolderBelow(U16(Root), u"kept/new/deeper"));
  EXPECT_TRUE(fs::is_directory(Root / "kept/new/deeper"));
  for (const char16_t* Bad : {u"link/sub", u"file/sub", u"../escape", u"kept/../../escape"}) {
    SCOPED_TRACE(ToUtf8(Bad));
    EXPECT_FALSE(MakeFolderBelow(U16(Root), Bad));
  }
  EXPECT_TRUE(fs::is_empty(Dir / "outside"));
  EXPECT_FALSE(fs::exists(Dir / "escape"));
}

TEST(FolderWithin, TheSameFolderOrOneBelowItThroughAnySpelling) {
  TempDir Dir;
  fs::create_directories(Dir / "a/b");
  fs::create_directory_symlink(Dir / "a", Dir / "alias");
  EXPECT_TRUE(FolderWithin(U16(Dir / "a/b"), U16(Dir / "a")));
  EXPECT_TRUE(FolderWithin(U16(Dir / "alias/b"), U16(Dir / "a")));
  EXPECT_TRUE(FolderWithin(U16(Dir / "a"), U16(Dir / "a/b/..")));
  EXPECT_FALSE(FolderWithin(U16(Dir / "a"), U16(Dir / "a/b")));
  EXPECT_FALSE(FolderWithin(U16(Dir / "missing"), U16(Dir / "a")));
}

}  // namespace
