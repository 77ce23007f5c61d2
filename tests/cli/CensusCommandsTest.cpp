// lintorra-cli pens and convert --dry-run run as processes: their JSON, CSV
// and text forms, files that do not load, and a dry run that leaves every
// folder as it was, the temporary folder included.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/BatchDryRun.h"
#include "conversion/SettingsFile.h"
#include "support/Func_2.h"
#include "tests/conversion/CensusFixtures.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

namespace fs = std::filesystem;
using censusfix::CensusDrawing;
using censusfix::Listing;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;
using Json = nlohmann::json;

testsupport::ProcessResult RunCli(const std::vector<std::string>& Args, const TempDir& Scratch) {
  std::vector<std::string> All = {LINTORRA_CLI_PATH};
  All.insert(All.end(), Args.begin(), Args.end());
  return testsupport::RunProcess(All, Scratch);
}

// TMPDIR of the programs started meanwhile.
class TempDirOfChildren {
 public:
  explicit TempDirOfChildren(const fs::path& Dir) {
    if (const char* Old = getenv("TMPDIR")) Old_ = Old;
    setenv("TMPDIR", Dir.c_str(), 1);
  }
  ~TempDirOfChildren() {
    if (Old_) setenv("TMPDIR", Old_->c_str(), 1);
    else unsetenv("TMPDIR");
  }

 private:
  std::optional<std::string> Old_;
};

// A folder "in" with the census fixture, a figure, a file cut short, a text
// file and a subfolder with another drawing.
class CensusCommands : public testing::Test {
 protected:
  CensusCommands() {
    fs::create_directories(In() / "sub");
    WriteFileBytes(In() / "fixture.jww", CensusDrawing(420));
    convfixtures::WriteJws(In() / "figure.jws", 600, convfixtures::Pen(2, 1));
    jwfix::ByteVec Cut = CensusDrawing(420);
    Cut.resize(Cut.size() / 2);
    WriteFileBytes(In() / "cut.jww", Cut);
    WriteFileBytes(In() / "notes.txt", {'x'});
    convfixtures::WriteJww(In() / "sub" / "deep.jww", 600, convfixtures::Pen(3, 1));
  }
  fs::path In() const { return Dir_ / "in"; }
  Json Pens(const std::vector<std::string>& Args) {
    std::vector<std::string> All = {"pens", "--json"};
    All.insert(All.end(), Args.begin(), Args.end());
    const auto R = RunCli(All, Scratch_);
    Exit_ = R.Exit;
    return Json::parse(R.Out);
  }

  TempDir Dir_, Scratch_;
  int Exit_ = -1;
};

std::int64_t CountOf(const Json& Pens, const std::string& Where, const std::string& Kind, int Color) {
  std::int64_t N = 0;
  for (const Json& R : Pens)
    if (R["where"] == Where && R["kind"] == Kind && R["color"] == Color) N += R["count"].get<std::int64_t>();
  return N;
}

TEST_F(CensusCommands, JsonListsEveryFileWithItsPensOrItsReason) {
  const Json J = Pens({In().string()});
  EXPECT_EQ(Exit_, 1) << "a file did not load";
  ASSERT_EQ(J["files"].size(), 3u);  // the folder's .jww and .jws files, in name order
  EXPECT_EQ(J["files"][0]["path"], (In() / "cut.jww").string());
  EXPECT_EQ(J["files"][0]["ok"], false);
  EXPECT_EQ(J["files"][0]["problem"], "incomplete");
  EXPECT_EQ(J["files"][0]["reason"], "could not be read whole");
  const Json& Fig = J["files"][1];
  EXPECT_EQ(Fig["type"], "jws");
  EXPECT_EQ(Fig["version"], 600);
  const Json& Fix = J["files"][2];
  EXPECT_EQ(Fix["type"], "jww");
  // The fixture's table, row for row.
  const auto Want = censusfix::ExpectedCensus(420);
  ASSERT_EQ(Fix["pens"].size(), Want.size());
  const Json& First = Fix["pens"][0];
  EXPECT_EQ(First["where"], "drawing");
  EXPECT_EQ(First["kind"], "line");
  EXPECT_EQ(First["color"], 2);
  EXPECT_EQ(First["color_name"], "線色 2");
  EXPECT_EQ(First["ltype_name"], "線種1:実線");
  EXPECT_EQ(First["width_name"], "基本幅");
  EXPECT_EQ(First["count"], 3);
  EXPECT_EQ(CountOf(Fix["pens"], "unused-block", "dimension-extension-line", 120), 1);
  const Json& Setting = Fix["pens"].back();
  EXPECT_EQ(Setting["kind"], "dimension-setting");
  EXPECT_EQ(Setting["item"], 3);
  EXPECT_FALSE(Setting.contains("ltype"));
  // The total adds the two files that loaded.
  EXPECT_EQ(J["total"]["files"], 3);
  EXPECT_EQ(J["total"]["failed"], 1);
  EXPECT_EQ(CountOf(J["total"]["pens"], "drawing", "line", 2),
            CountOf(Fix["pens"], "drawing", "line", 2) + CountOf(Fig["pens"], "drawing", "line", 2));
}

TEST_F(CensusCommands, RecursiveTakesSubfoldersAndNamedFilesAreTakenAsGiven) {
  EXPECT_EQ(Pens({In().string()})["files"].size(), 3u);
  const Json Deep = Pens({"--recursive", In().string()});
  ASSERT_EQ(Deep["files"].size(), 4u);
  EXPECT_EQ(Deep["files"][3]["path"], (In() / "sub" / "deep.jww").string());
  const Json Named = Pens({(In() / "notes.txt").string(), (In() / "figure.jws").string()});
  EXPECT_EQ(Named["files"][0]["problem"], "not-drawing");
  EXPECT_EQ(Named["files"][1]["ok"], true);
  EXPECT_EQ(Exit_, 1);
  Pens({(In() / "figure.jws").string()});
  EXPECT_EQ(Exit_, 0);
}

TEST_F(CensusCommands, CsvHasOneRowPerPenPerFileAndTheTotals) {
  const auto R = RunCli({"pens", "--csv", (In() / "cut.jww").string(), (In() / "fixture.jww").string()}, Scratch_);
  std::vector<std::string> Lines;
  for (std::size_t At = 0, End; (End = R.Out.find("\r\n", At)) != std::string::npos; At = End + 2)
    Lines.push_back(R.Out.substr(At, End - At));
  ASSERT_GT(Lines.size(), 3u);
  EXPECT_EQ(Lines[0], "scope,file,where,kind,item,color,color_name,ltype,ltype_name,width,width_name,count,reason");
  const std::string Cut = (In() / "cut.jww").string(), Fix = (In() / "fixture.jww").string();
  EXPECT_EQ(Lines[1], "file," + Cut + ",,,,,,,,,,,could not be read whole");
  EXPECT_EQ(Lines[2], "file," + Fix + ",drawing,line,,2,線色 2,1,線種1:実線,0,基本幅,3,");
  EXPECT_EQ(Lines.back(), "total,,header,dimension-setting,3,2,線色 2,,,,,1,");
  const auto Rows = censusfix::ExpectedCensus(420).size();
  EXPECT_EQ(Lines.size(), 1 + 1 + 2 * Rows);
}

TEST_F(CensusCommands, TextShowsEachFileAndTheTotal) {
  const auto R = RunCli({"pens", In().string()}, Scratch_);
  EXPECT_NE(R.Out.find((In() / "cut.jww").string() + ": not read: could not be read whole"), std::string::npos);
  EXPECT_NE(R.Out.find((In() / "fixture.jww").string() + ": JWW version 420"), std::string::npos);
  EXPECT_NE(R.Out.find("Total over 3 file(s), 1 not read:"), std::string::npos);
  EXPECT_NE(R.Out.find("unused-block  dimension-extension-line  120 SXF USER定義線色 20"), std::string::npos) << R.Out;
}

// ---- convert --dry-run ----

class DryRunCommand : public CensusCommands {
 protected:
  DryRunCommand() {
    fs::create_directory(Out());
    fs::create_directory(Tmp());
    WriteFileBytes(Out() / "fixture.jww", {'o', 'l', 'd'});
    Settings_ = convfixtures::IndividualSettings();
    EXPECT_TRUE(WriteSettingsFile(U16(SetFile()), Settings_));
  }
  fs::path Out() const { return Dir_ / "out"; }
  fs::path Tmp() const { return Dir_ / "tmp"; }
  fs::path SetFile() const { return Dir_ / "conv.set"; }

  TConvSettings Settings_;
};

TEST_F(DryRunCommand, WritesNothingAnywhere) {
  const auto Before = std::pair{Listing(Dir_.path()), Listing(Scratch_.path())};
  {
    TempDirOfChildren Tmp(this->Tmp());
    for (const bool JsonForm : {false, true}) {
      std::vector<std::string> Args = {"convert", "--dry-run", "--settings", SetFile().string()};
      if (JsonForm) Args.push_back("--json");
      Args.insert(Args.end(), {In().string(), Out().string()});
      EXPECT_EQ(RunCli(Args, Scratch_).Exit, 0);
    }
  }
  EXPECT_EQ(Listing(Dir_.path()), Before.first);
  EXPECT_TRUE(fs::is_empty(Tmp())) << "the working folder was used";
}

TEST_F(DryRunCommand, JsonGivesEachFileAsTheRunTakesItAndTheTransitions) {
  const auto R = RunCli(
      {"convert", "--dry-run", "--json", "--settings", SetFile().string(), In().string(), Out().string()}, Scratch_);
  ASSERT_EQ(R.Exit, 0) << R.Err;
  // The run's own message for the file it skips goes to standard error.
  EXPECT_NE(R.Err.find("ファイル名：notes.txt"), std::string::npos);
  const Json J = Json::parse(R.Out);
  EXPECT_EQ(J["started"], true);
  EXPECT_EQ(J["mode"], "individual");
  EXPECT_EQ(J["ver_raise"], 2);
  ASSERT_EQ(J["files"].size(), 4u);  // every file of the folder, in name order
  EXPECT_EQ(J["files"][0]["name"], "cut.jww");
  EXPECT_EQ(J["files"][0]["outcome"], "incomplete");
  EXPECT_EQ(J["files"][0]["reason"], "could not be read whole");
  EXPECT_EQ(J["files"][1]["outcome"], "convert");
  EXPECT_EQ(J["files"][1]["version"]["saved"], 600);  // a figure of 6.00 stays 6.00
  const Json& Fix = J["files"][2];
  EXPECT_EQ(Fix["outcome"], "convert");
  EXPECT_EQ(Fix["replaces_existing"], true);
  EXPECT_EQ(Fix["backup"], (Out() / "fixture.BAK").string());
  ASSERT_EQ(Fix["dropped_block_definitions"].size(), 1u);
  EXPECT_EQ(Fix["dropped_block_definitions"][0]["name"], "未使用");
  EXPECT_EQ(J["files"][3]["outcome"], "skipped");
  EXPECT_EQ(J["total"]["counted"], 3);
  EXPECT_EQ(J["total"]["convert"], 2);
  EXPECT_EQ(J["total"]["failed"], 1);
  EXPECT_EQ(J["total"]["skipped"], 1);

  // The transitions are those of the dry run in the library.
  struct NoHost : TBatchRunHost {
    void ShowMessage(std::u16string_view) override {}
    void ShowConfirmation(std::u16string_view) override {}
    void Beep() override {}
    void FocusDestinationButton() override {}
    void SetStatusText(std::u16string_view) override {}
    void StopTimer() override {}
    void StartTimer() override {}
  } Host;
  const std::vector<TBatchEntry> Entries = {{u"fixture.jww", true}, {u"figure.jws", true}};
  const TDryRunBatch B = TBatchDryRun(Settings_, Host).Run(U16(In()), U16(Out()), Entries);
  const auto Rows = B.Entries[0].Run.Transitions.Rows();
  ASSERT_EQ(Fix["transitions"].size(), Rows.size());
  for (std::size_t I = 0; I < Rows.size(); ++I) {
    const Json& T = Fix["transitions"][I];
    const TPenChange& C = Rows[I].Change;
    EXPECT_EQ(T["added"], C.Added);
    // A header pen has a colour only (its line type and width read 0).
    auto PenOf = [](const Json& P) { return TPen{P["color"], P.value("ltype", 0), P.value("width", 0)}; };
    EXPECT_EQ(PenOf(T["before"]), C.Before);
    EXPECT_EQ(PenOf(T["after"]), C.After);
    EXPECT_EQ(T["count"], Rows[I].Count);
  }
  EXPECT_EQ(J["total"]["records_changed"], B.Total.Records());
  EXPECT_EQ(J["total"]["transitions"].size(), B.Total.Rows().size());
}

TEST_F(DryRunCommand, IsRefusedAsTheRunWouldBe) {
  const auto R = RunCli(
      {"convert", "--dry-run", "--settings", SetFile().string(), In().string(), (Dir_ / "missing").string()}, Scratch_);
  EXPECT_EQ(R.Exit, 1);
  EXPECT_NE(R.Err.find("保存先フォルダが存在しません。\n"), std::string::npos) << R.Err;
  EXPECT_EQ(R.Out, "");
  EXPECT_NE(
      RunCli({"convert", "--json", "--settings", SetFile().string(), In().string(), Out().string()}, Scratch_).Exit, 0)
      << "--json belongs to --dry-run";
}

}  // namespace
