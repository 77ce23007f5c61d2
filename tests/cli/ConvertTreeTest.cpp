// lintorra-cli convert --recursive and --jobs as a process: a project tree
// converted into a tree of the same shape, never through a link and never
// into itself, and the same output with one worker or several.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/SettingsFile.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

using namespace convfixtures;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

std::vector<std::string> Tree(const fs::path& Root) {
  std::vector<std::string> Names;
  for (const fs::directory_entry& E : fs::recursive_directory_iterator(Root))
    Names.push_back(fs::relative(E.path(), Root).string() + (E.is_directory() ? "/" : ""));
  std::sort(Names.begin(), Names.end());
  return Names;
}

void ReplaceAll(std::string& S, const std::string& From, const std::string& To) {
  for (std::size_t At; (At = S.find(From)) != std::string::npos;) S.replace(At, From.size(), To);
}

// "src" holding drawings at three depths, a folder without drawings and a
// link to a folder outside the tree.
class ConvertTreeTest : public ::testing::Test {
 protected:
  ConvertTreeTest() {
    for (const char* Folder : {"src/plans/parts", "src/empty", "outside"}) fs::create_directories(Dir_ / Folder);
    WriteJww(Src() / "top.jww", 600, Pen(2, 1));
    WriteJww(Src() / "plans/1F.jww", 600, Pen(2, 1));
    WriteJws(Src() / "plans/parts/door.jws", 600, Pen(2, 1));
    WriteFileBytes(Src() / "plans/parts/readme.txt", {'x'});
    WriteJww(Dir_ / "outside/far.jww", 600, Pen(2, 1));
    fs::create_directory_symlink(Dir_ / "outside", Src() / "plans/linked");
    TConvSettings S;
    S.ColorMap[2] = 3;
    EXPECT_TRUE(WriteSettingsFile(U16(SetFile()), S));
  }
  fs::path Src() const { return Dir_ / "src"; }
  fs::path SetFile() const { return Dir_ / "conv.set"; }
  testsupport::ProcessResult Convert(const fs::path& Dest, std::vector<std::string> Options) {
    std::vector<std::string> Args = {LINTORRA_CLI_PATH, "convert", "--settings", SetFile().string()};
    Args.insert(Args.end(), Options.begin(), Options.end());
    Args.push_back(Src().string());
    Args.push_back(Dest.string());
    return testsupport::RunProcess(Args, Scratch_);
  }

  TempDir Dir_, Scratch_;
};

TEST_F(ConvertTreeTest, ConvertsEveryFolderIntoTheSameFolderBelowTheDestination) {
  fs::create_directories(Dir_ / "dst/plans");
  WriteFileBytes(Dir_ / "dst/plans/1F.jww", {'o', 'l', 'd'});
  const auto R = Convert(Dir_ / "dst", {"--recursive", "--jobs", "1"});
  EXPECT_EQ(R.Exit, 3) << R.Err;  // readme.txt is not a drawing
  EXPECT_EQ(Tree(Dir_ / "dst"), (std::vector<std::string>{"plans/", "plans/1F.BAK", "plans/1F.jww", "plans/parts/",
                                                          "plans/parts/door.jws", "top.jww"}));
  EXPECT_EQ(ReadFileBytes(Dir_ / "dst/plans/1F.BAK"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_NE(R.Out.find("in all: 3 converted, 1 not converted"), std::string::npos) << R.Out;
  EXPECT_NE(R.Err.find("readme.txt"), std::string::npos) << R.Err;
}

TEST_F(ConvertTreeTest, SeveralWorkersGiveWhatOneGives) {
  fs::create_directories(Dir_ / "one");
  fs::create_directories(Dir_ / "many");
  const auto One = Convert(Dir_ / "one", {"--recursive", "--jobs", "1", "--json"});
  const auto Many = Convert(Dir_ / "many", {"--recursive", "--jobs", "4", "--json"});
  std::string Out = Many.Out, Err = Many.Err;
  ReplaceAll(Out, (Dir_ / "many").string(), (Dir_ / "one").string());
  ReplaceAll(Err, (Dir_ / "many").string(), (Dir_ / "one").string());
  EXPECT_EQ(Many.Exit, One.Exit);
  EXPECT_EQ(Out, One.Out);
  EXPECT_EQ(Err, One.Err);
  EXPECT_EQ(Tree(Dir_ / "many"), Tree(Dir_ / "one"));
  for (const std::string& Name : Tree(Dir_ / "one"))
    if (Name.back() != '/') EXPECT_EQ(ReadFileBytes(Dir_ / "many" / Name), ReadFileBytes(Dir_ / "one" / Name)) << Name;
}

TEST_F(ConvertTreeTest, NeverWritesThroughALinkOrIntoItsOwnTree) {
  // A destination subfolder that is a link to somewhere else is not used.
  fs::create_directories(Dir_ / "dst");
  fs::create_directories(Dir_ / "elsewhere");
  fs::create_directory_symlink(Dir_ / "elsewhere", Dir_ / "dst/plans");
  const auto R = Convert(Dir_ / "dst", {"--recursive"});
  EXPECT_EQ(R.Exit, 3);
  EXPECT_NE(R.Err.find("cannot make the folder"), std::string::npos) << R.Err;
  EXPECT_TRUE(fs::is_empty(Dir_ / "elsewhere"));
  EXPECT_TRUE(fs::exists(Dir_ / "dst/top.jww"));

  // A destination inside the source, or holding it, is refused before anything is written.
  fs::create_directories(Src() / "out");
  for (const fs::path& Dest : {Src() / "out", Dir_.path()}) {
    const auto Before = Tree(Dir_.path());
    const auto Refused = Convert(Dest, {"--recursive"});
    EXPECT_EQ(Refused.Exit, 1) << Dest;
    EXPECT_NE(Refused.Err.find("must neither lie inside SOURCE_DIR nor hold it"), std::string::npos);
    EXPECT_EQ(Tree(Dir_.path()), Before);
  }
}

}  // namespace
