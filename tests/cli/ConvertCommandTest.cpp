// lintorra-cli convert run as a process: exit codes, progress on standard
// output, the system's messages and the reasons of files not converted on
// standard error, the JSON lines, files and backups.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/IniFile.h"
#include "conversion/SettingsFile.h"
#include "tests/conversion/ConversionFixtures.h"
#include "tests/hardening/FaultFixtures.h"

namespace {

using namespace convfixtures;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

using Result = testsupport::ProcessResult;

Result RunCli(const std::vector<std::string>& Args, const TempDir& Scratch) {
  std::vector<std::string> All = {LINTORRA_CLI_PATH, "convert"};
  All.insert(All.end(), Args.begin(), Args.end());
  return testsupport::RunProcess(All, Scratch);
}

int FirstLineColor(const fs::path& P) {
  TJwwData D;
  return D.FileIn(U16(P)) && !D.EntLine.empty() ? D.EntLine[0].att.nPenColor : 0;
}

std::vector<nlohmann::json> JsonLines(const std::string& Out) {
  std::vector<nlohmann::json> Lines;
  std::istringstream In(Out);
  for (std::string Line; std::getline(In, Line);) Lines.push_back(nlohmann::json::parse(Line));
  return Lines;
}

nlohmann::json FileLine(const fs::path& Source, const nlohmann::json& Destination, const char* Result,
                        const nlohmann::json& Reason, const nlohmann::json& Backup) {
  return {{"source", Source.string()},
          {"destination", Destination},
          {"result", Result},
          {"reason", Reason},
          {"backup", Backup}};
}

// Source "src" with a.jww and b.jww (colour 2) and notes.txt, destination
// "dst", settings turning colour 2 into 3 and a combination row turning it
// into 7.
class ConvertCommandTest : public ::testing::Test {
 protected:
  ConvertCommandTest() {
    fs::create_directory(Src());
    fs::create_directory(Dst());
    WriteJww(Src() / "b.jww", 600, Pen(2, 1));
    WriteJww(Src() / "a.jww", 600, Pen(2, 1));
    WriteFileBytes(Src() / "notes.txt", {'x'});
    Settings_.ColorMap[2] = 3;
    Settings_.CombRows[3] = {.Enabled = true, .SrcColorIdx = 1, .SrcLtypeIdx = 0, .DstColor = 7};
  }

  fs::path Src() const { return Dir_ / "src"; }
  fs::path Dst() const { return Dir_ / "dst"; }
  std::string SetFile(const std::string& Name = "conv.set") {
    const fs::path P = Dir_ / Name;
    EXPECT_TRUE(WriteSettingsFile(U16(P), Settings_));
    return P.string();
  }
  std::string IniFile() {
    const fs::path P = Dir_ / "lintorra.ini";
    TIniState State;
    State.Settings = Settings_;
    EXPECT_TRUE(SaveIni(U16(P), State));
    return P.string();
  }
  std::string Progress(const std::string& Name) const {
    return "ファイル「" + (Src() / Name).string() + "」→「" + (Dst() / Name).string() + "」変換中です。\n";
  }

  TempDir Dir_, Scratch_;
  TConvSettings Settings_;
};

// notes.txt is selected too and not converted: the run exits with 3.
TEST_F(ConvertCommandTest, ConvertsEveryFileOfTheFolderInNameOrder) {
  WriteFileBytes(Dst() / "a.jww", {'o', 'l', 'd'});
  const Result R = RunCli({"--settings", SetFile(), Src().string(), Dst().string()}, Scratch_);
  EXPECT_EQ(R.Exit, 3) << R.Err;
  EXPECT_EQ(R.Out, Progress("a.jww") + Progress("b.jww") +
                       "2個のファイルを変換しました。（1個のファイルは変換できませんでした）\n");
  EXPECT_EQ(R.Err, "このファイル拡張子（種類）の変換には対応していません。\nファイル名：notes.txt\n　　拡張子：.txt\n");
  EXPECT_EQ(FirstLineColor(Dst() / "a.jww"), 3);
  EXPECT_EQ(FirstLineColor(Dst() / "b.jww"), 3);
  EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
}

// The mode comes from the file unless --mode names it; an INI file is read
// as at start-up.
TEST_F(ConvertCommandTest, ModeFromTheFileOrTheOption) {
  struct Case {
    const char* Name;
    bool Ini;
    std::int32_t Stored;
    std::vector<std::string> Mode;
    int Color;
  };
  const Case Cases[] = {
      {"settings file, individual", false, kModeIndividual, {}, 3},
      {"settings file, combination", false, kModeCombination, {}, 7},
      {"settings file, option", false, kModeIndividual, {"--mode", "combination"}, 7},
      {"INI file, combination", true, kModeCombination, {}, 7},
      {"INI file, option", true, kModeCombination, {"--mode", "individual"}, 3},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Settings_.ConvMode = C.Stored;
    std::vector<std::string> Args = {"--settings", C.Ini ? IniFile() : SetFile()};
    Args.insert(Args.end(), C.Mode.begin(), C.Mode.end());
    Args.insert(Args.end(), {Src().string(), Dst().string(), "b.jww"});
    const Result R = RunCli(Args, Scratch_);
    EXPECT_EQ(R.Exit, 0) << R.Err;
    EXPECT_EQ(R.Out, Progress("b.jww") + "1個のファイルを変換しました。\n");
    EXPECT_EQ(FirstLineColor(Dst() / "b.jww"), C.Color);
  }
}

TEST_F(ConvertCommandTest, RefusedRunsExitWithOne) {
  const std::string Set = SetFile();
  Settings_.CombRows[3].Enabled = false;
  const std::string NoRows = SetFile("norows.set");
  struct Case {
    const char* Name;
    std::vector<std::string> Args;
    std::string Err;
  };
  const Case Cases[] = {
      {"empty destination", {"--settings", Set, Src().string(), ""}, "保存先フォルダを指示して下さい。\n"},
      {"missing destination",
       {"--settings", Set, Src().string(), (Dir_ / "none").string()},
       "保存先フォルダが存在しません。\n"},
      {"same folder",
       {"--settings", Set, Src().string(), Src().string() + "/"},
       "保存先フォルダは参照フォルダと同じにしないで下さい。\n"},
      {"missing source",
       {"--settings", Set, (Dir_ / "none").string(), Dst().string()},
       "参照フォルダが存在しません。\n"},
      {"no combination row",
       {"--settings", NoRows, "--mode", "combination", Src().string(), Dst().string()},
       "[線色線種・組合せ変換] 変換指定が行われていません。\n"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const Result R = RunCli(C.Args, Scratch_);
    EXPECT_EQ(R.Exit, 1);
    EXPECT_EQ(R.Err, C.Err);
    EXPECT_EQ(R.Out, "");
    EXPECT_TRUE(fs::is_empty(Dst()));
  }
}

TEST_F(ConvertCommandTest, SettingsThatCannotBeUsedExitWithTwo) {
  WriteFileBytes(Dir_ / "bad.set",
                 {'[', 'J', 'W', 'W', ']', '\r', '\n', 'C', '5', '=', '1', '2', '3', '4', '5', '\r', '\n'});
  WriteFileBytes(Dir_ / "notes.txt", {'C', '5', '=', '2', '\r', '\n'});
  struct Case {
    const char* Name;
    std::string File;
    std::string Err;
  };
  const Case Cases[] = {
      {"missing settings file", (Dir_ / "none.set").string(), "cannot read"},
      {"missing INI file", (Dir_ / "none.ini").string(), "cannot read"},
      {"faulty value", (Dir_ / "bad.set").string(), "invalid value in colour row 5 (線色 5), colour \"12345\""},
      {"no settings in it", (Dir_ / "notes.txt").string(), "holds no settings section"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const Result R = RunCli({"--settings", C.File, Src().string(), Dst().string()}, Scratch_);
    EXPECT_EQ(R.Exit, 2);
    EXPECT_NE(R.Err.find(C.Err), std::string::npos) << R.Err;
    EXPECT_TRUE(fs::is_empty(Dst()));
  }
}

// A file that does not convert is not counted and is reported with its
// reason on standard error; the run went through, with exit code 3.
TEST_F(ConvertCommandTest, ReportsFilesThatDidNotConvert) {
  WriteFileBytes(Src() / "c.jww", {'n', 'o'});
  Settings_.WidthMap[1] = 25;
  const Result R = RunCli({"--settings", SetFile(), Src().string(), Dst().string(), "c.jww", "a.jww"}, Scratch_);
  EXPECT_EQ(R.Exit, 3);
  EXPECT_EQ(R.Out, Progress("c.jww") + Progress("a.jww") +
                       "1個のファイルを変換しました。（1個のファイルは変換できませんでした）\n");
  EXPECT_EQ(R.Err,
            "線幅指定を行いましたので、\nVer.3.51未満のデータはVer.3.51形式として保存されます。\n"
            "lintorra-cli: " +
                (Src() / "c.jww").string() + ": not a JWW file\n");
  EXPECT_FALSE(fs::exists(Dst() / "c.jww"));
  EXPECT_EQ(FirstLineColor(Dst() / "a.jww"), 3);
}

// --json: one object per file and line, then the counts, and nothing else on
// standard output. Good drawings, a cut one, a text file named as a drawing
// and one of another extension; an older result in the destination is
// backed up first. The sources stay as they were.
TEST_F(ConvertCommandTest, JsonLinesForEveryOutcome) {
  auto Cut = ReadFileBytes(Src() / "b.jww");
  Cut.resize(Cut.size() / 2);
  WriteFileBytes(Src() / "cut.jww", Cut);
  WriteFileBytes(Src() / "c.jww", {'n', 'o'});
  WriteFileBytes(Dst() / "a.jww", {'o', 'l', 'd'});
  const auto SourceA = ReadFileBytes(Src() / "a.jww");
  const Result R = RunCli({"--json", "--settings", SetFile(), Src().string(), Dst().string()}, Scratch_);
  EXPECT_EQ(R.Exit, 3) << R.Err;
  const nlohmann::json Null;
  const std::vector<nlohmann::json> Expected = {
      FileLine(Src() / "a.jww", (Dst() / "a.jww").string(), "converted", Null, (Dst() / "a.BAK").string()),
      FileLine(Src() / "b.jww", (Dst() / "b.jww").string(), "converted", Null, Null),
      FileLine(Src() / "c.jww", (Dst() / "c.jww").string(), "failed", "not a JWW file", Null),
      FileLine(Src() / "cut.jww", (Dst() / "cut.jww").string(), "failed",
               "the header ends early at offset " + std::to_string(Cut.size()), Null),
      FileLine(Src() / "notes.txt", Null, "skipped", "the extension .txt is not converted", Null),
      {{"files", 5}, {"converted", 2}, {"failed", 2}, {"skipped", 1}},
  };
  EXPECT_EQ(JsonLines(R.Out), Expected) << R.Out;
  EXPECT_EQ(ReadFileBytes(Src() / "a.jww"), SourceA);
  EXPECT_EQ(ReadFileBytes(Src() / "cut.jww"), Cut);
  EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
  EXPECT_FALSE(fs::exists(Dst() / "c.jww"));
  EXPECT_FALSE(fs::exists(Dst() / "cut.jww"));

  // Every selected file converted: 0; the backup of the earlier run is
  // replaced. --no-verify leaves out the read-back.
  const auto Converted = ReadFileBytes(Dst() / "a.jww");
  const Result Again =
      RunCli({"--json", "--no-verify", "--settings", SetFile(), Src().string(), Dst().string(), "a.jww"}, Scratch_);
  EXPECT_EQ(Again.Exit, 0) << Again.Err;
  EXPECT_EQ(JsonLines(Again.Out),
            (std::vector<nlohmann::json>{
                FileLine(Src() / "a.jww", (Dst() / "a.jww").string(), "converted", Null, (Dst() / "a.BAK").string()),
                {{"files", 1}, {"converted", 1}, {"failed", 0}, {"skipped", 0}}}));
  EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), Converted);
}

// a.jws and a.jww both in the destination: each earlier content is kept in a
// backup of its own, and the JSON names both.
TEST_F(ConvertCommandTest, JsonNamesTheBackupsOfOneRun) {
  WriteJws(Src() / "a.jws", 600, Pen(2, 1));
  WriteFileBytes(Dst() / "a.jww", {'w'});
  WriteFileBytes(Dst() / "a.jws", {'s'});
  const Result R =
      RunCli({"--json", "--settings", SetFile(), Src().string(), Dst().string(), "a.jws", "a.jww"}, Scratch_);
  EXPECT_EQ(R.Exit, 0) << R.Err;
  const std::vector<nlohmann::json> Lines = JsonLines(R.Out);
  ASSERT_EQ(Lines.size(), 3u) << R.Out;
  EXPECT_EQ(Lines[0]["backup"], (Dst() / "a.BAK").string());
  EXPECT_EQ(Lines[1]["backup"], (Dst() / "a.jww.BAK").string());
  EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), std::vector<std::uint8_t>{'s'});
  EXPECT_EQ(ReadFileBytes(Dst() / "a.jww.BAK"), std::vector<std::uint8_t>{'w'});
}

TEST_F(ConvertCommandTest, ReadOnlyDestination) {
  const fs::path ReadOnly = Dir_ / "ro";
  faultfixtures::Tmpfs Disk(ReadOnly, MS_RDONLY, "size=64k");
  if (!Disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  const Result R = RunCli({"--json", "--settings", SetFile(), Src().string(), ReadOnly.string(), "a.jww"}, Scratch_);
  EXPECT_EQ(R.Exit, 3);
  const auto Lines = JsonLines(R.Out);
  ASSERT_EQ(Lines.size(), 2u) << R.Out;
  EXPECT_EQ(Lines[0]["result"], "failed");
  EXPECT_EQ(Lines[0]["reason"], "cannot write the destination: Read-only file system");
  EXPECT_EQ(Lines[1]["failed"], 1);
  EXPECT_EQ(R.Err,
            "lintorra-cli: " + (Src() / "a.jww").string() + ": cannot write the destination: Read-only file system\n");
}

}  // namespace
