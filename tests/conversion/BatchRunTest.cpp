#include "conversion/BatchRun.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "support/Func_2.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

using namespace convfixtures;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

// Everything the run shows, in order, as "kind:text".
class RecordingHost : public TBatchRunHost {
 public:
  std::vector<std::u16string> Events;
  std::vector<TFileOutcome> Outcomes;

  void ShowMessage(std::u16string_view Text) override { Add(u"message:", Text); }
  void ShowConfirmation(std::u16string_view Text) override { Add(u"confirm:", Text); }
  void Beep() override { Add(u"beep", u""); }
  void FocusDestinationButton() override { Add(u"focus", u""); }
  void SetStatusText(std::u16string_view Text) override { Add(u"status:", Text); }
  void StopTimer() override { Add(u"stop", u""); }
  void StartTimer() override { Add(u"start", u""); }
  void FileDone(const TFileOutcome& O) override { Outcomes.push_back(O); }
  void Progress(int Done, int Total) override { Reports.push_back(IntToText(Done) + u"/" + IntToText(Total)); }
  bool StopRequested() override {
    ++StopQuestions;
    return StopAfter >= 0 && static_cast<int>(Reports.size()) > StopAfter;
  }

  std::vector<std::u16string> Reports;  // "done/total" in order
  int StopAfter = -1;                   // asking for a stop once this many entries are done
  int StopQuestions = 0;

  std::vector<std::u16string> Messages() const {
    std::vector<std::u16string> R;
    for (const std::u16string& E : Events)
      if (E.starts_with(u"message:")) R.push_back(E.substr(8));
    return R;
  }

  // Each entry's result and reason (English), "result: reason".
  std::vector<std::string> Results() const {
    std::vector<std::string> R;
    for (const TFileOutcome& O : Outcomes) R.push_back(ResultWord(O.Result()) + ": " + EnglishReason(O));
    return R;
  }

 private:
  void Add(std::u16string_view Kind, std::u16string_view Text) {
    Events.push_back(std::u16string(Kind) + std::u16string(Text));
  }
};

std::u16string Msg(std::u16string_view Text) { return u"message:" + std::u16string(Text); }
std::u16string Status(std::u16string_view Text) { return u"status:" + std::u16string(Text); }

const TEntJwwAttr kPen = Pen(2, 1);
const std::vector<std::uint8_t> kOldBytes = {'o', 'l', 'd'};
const fs::file_time_type kOldTime = fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 3);

// A source folder "src" and a destination folder "dst" side by side, the
// documents and settings of the main window (colour 2 becomes 3).
class BatchRunTest : public ::testing::Test {
 protected:
  BatchRunTest() {
    fs::create_directory(Src());
    fs::create_directory(Dst());
    Jww_.BindImageFolder = Work_.u16();
    Jww_.BindImageExp = Jww_.BindImageExr = true;
    Jws_.BindImageFolder = Work_.u16();
    Settings_.ColorMap[2] = 3;
  }

  fs::path Src() const { return Base_ / "src"; }
  fs::path Dst() const { return Base_ / "dst"; }

  TBatchOutcome Run(const std::vector<TBatchEntry>& Entries) { return Run(U16(Dst()), Entries); }
  TBatchOutcome Run(const std::u16string& Dest, const std::vector<TBatchEntry>& Entries) {
    return TBatchRun(Settings_, Jww_, Jws_, Host_).Run(U16(Src()), Dest, Entries);
  }

  // The colour of the first line of a converted drawing or figure; 0 when it
  // does not load.
  static int FirstLineColor(const fs::path& P, bool Figure = false) {
    TJwwData W;
    TJwsData S;
    TJwBody& Body = Figure ? static_cast<TJwBody&>(S) : static_cast<TJwBody&>(W);
    const bool Ok = Figure ? S.FileIn(U16(P)) : W.FileIn(U16(P));
    return Ok && !Body.EntLine.empty() ? Body.EntLine[0].att.nPenColor : 0;
  }

  static void WriteOld(const fs::path& P) {
    WriteFileBytes(P, kOldBytes);
    fs::last_write_time(P, kOldTime);
  }

  static void ExpectOld(const fs::path& P) {
    EXPECT_EQ(ReadFileBytes(P), kOldBytes) << P;
    EXPECT_EQ(fs::last_write_time(P), kOldTime) << P;
  }

  // The names in a folder, sorted.
  static std::vector<std::string> Names(const fs::path& Folder) {
    std::vector<std::string> R;
    for (const auto& E : fs::directory_iterator(Folder)) R.push_back(E.path().filename().string());
    std::sort(R.begin(), R.end());
    return R;
  }

  TempDir Base_, Work_;
  TJwwData Jww_;
  TJwsData Jws_;
  TConvSettings Settings_;
  RecordingHost Host_;
};

TEST_F(BatchRunTest, FolderChecksRefuseTheRunAndFocusTheDestinationButton) {
  WriteJww(Src() / "a.jww", 600, kPen);
  fs::create_directory(Base_ / "SRC");
  fs::create_directory_symlink(Src(), Base_ / "link");
  const std::u16string Source = U16(Src());
  struct Case {
    const char* Name;
    std::u16string Dest;
    std::u16string_view Message;
  };
  const Case Cases[] = {
      {"empty", u"", kMsgNoDestination},
      {"missing", U16(Base_ / "none"), kMsgDestinationMissing},
      {"a file", U16(Src() / "a.jww"), kMsgDestinationMissing},
      {"same", Source, kMsgSameFolder},
      {"same but for letter case", U16(Base_ / "SRC"), kMsgSameFolder},
      // The same directory spelled otherwise: converting there would replace
      // the source drawings.
      {"trailing separator", Source + u"/", kMsgSameFolder},
      {"dot component", U16(Base_ / "." / "src"), kMsgSameFolder},
      {"link to it", U16(Base_ / "link"), kMsgSameFolder},
  };
  const auto Before = ReadFileBytes(Src() / "a.jww");
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Host_.Events.clear();
    const TBatchOutcome O = Run(C.Dest, {{u"a.jww", true}});
    EXPECT_FALSE(O.Started);
    EXPECT_EQ(Host_.Events, (std::vector<std::u16string>{Msg(C.Message), u"focus"}));
    EXPECT_EQ(ReadFileBytes(Src() / "a.jww"), Before);
  }
  EXPECT_EQ(Names(Src()), (std::vector<std::string>{"a.jww"}));
  EXPECT_TRUE(fs::is_empty(Base_ / "SRC"));
}

TEST_F(BatchRunTest, CombinationModeNeedsAnEnabledRow) {
  WriteJww(Src() / "a.jww", 600, kPen);
  struct Case {
    std::int32_t Mode;
    bool RowEnabled;
    bool Runs;
    int Color;  // of the converted line
  };
  const Case Cases[] = {
      {kModeCombination, false, false, 0},
      {kModeIndividual, false, true, 3},
      {kModeCombination, true, true, 7},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(::testing::Message() << C.Mode << " " << C.RowEnabled);
    Host_.Events.clear();
    fs::remove(Dst() / "a.jww");
    Settings_.ConvMode = C.Mode;
    // Row 1: colour 2 (list position 1), line type 1 (position 0) -> colour 7.
    Settings_.CombRows[1] = {.Enabled = C.RowEnabled, .SrcColorIdx = 1, .SrcLtypeIdx = 0, .DstColor = 7};
    const TBatchOutcome O = Run({{u"a.jww", true}});
    EXPECT_EQ(O.Started, C.Runs);
    if (!C.Runs) {
      EXPECT_EQ(Host_.Events, (std::vector<std::u16string>{u"beep", u"confirm:" + std::u16string(kMsgNoCombination)}));
      EXPECT_FALSE(fs::exists(Dst() / "a.jww"));
      continue;
    }
    EXPECT_EQ(O.Converted(), 1);
    EXPECT_EQ(Settings_.CombRows[1].SrcColor, 2);  // derived by the run
    EXPECT_EQ(FirstLineColor(Dst() / "a.jww"), C.Color);
  }
}

// Entries in list order; other extensions are skipped without a message box
// each (the window lists them at the end) and counted as not converted, the
// upper-case ".JWS" is converted as a figure under its own name.
TEST_F(BatchRunTest, ConvertsSelectedEntriesInListOrderAndSkipsOtherExtensions) {
  WriteJww(Src() / "a.jww", 600, kPen);
  WriteJws(Src() / "C.JWS", 600, kPen);
  WriteJww(Src() / "d.jww", 600, kPen);
  WriteFileBytes(Src() / "b.txt", kOldBytes);
  WriteFileBytes(Src() / "noext", kOldBytes);
  const TBatchOutcome O =
      Run({{u"a.jww", true}, {u"b.txt", true}, {u"C.JWS", true}, {u"d.jww", false}, {u"noext", true}});
  EXPECT_TRUE(O.Started);
  EXPECT_EQ(O.Converted(), 2);
  const std::u16string S = U16(Src()) + u"/", D = U16(Dst()) + u"/";
  EXPECT_EQ(Host_.Events,
            (std::vector<std::u16string>{
                Status(u"ファイル「" + S + u"a.jww」→「" + D + u"a.jww」変換中です。"), u"stop", u"start", Status(u""),
                Status(u"ファイル「" + S + u"C.JWS」→「" + D + u"C.JWS」変換中です。"), u"stop", u"start", Status(u""),
                Status(u"2個のファイルを変換しました。（2個のファイルは変換できませんでした）")}));
  EXPECT_EQ(Host_.Results(),
            (std::vector<std::string>{"converted: ", "skipped: the extension .txt is not converted",
                                      "converted: ", "skipped: a name without extension is not converted"}));
  EXPECT_EQ(EntryMessage(Host_.Outcomes[1]),
            u"このファイル拡張子（種類）の変換には対応していません。\r\nファイル名：b.txt\r\n　　拡張子：.txt");
  EXPECT_EQ(EntryMessage(Host_.Outcomes[3]),
            u"このファイル拡張子（種類）の変換には対応していません。\r\nファイル名：noext\r\n　　拡張子：");
  EXPECT_EQ(Names(Dst()), (std::vector<std::string>{"C.JWS", "a.jww"}));
  EXPECT_EQ(FirstLineColor(Dst() / "a.jww"), 3);
  EXPECT_EQ(FirstLineColor(Dst() / "C.JWS", true), 3);
}

// Progress counts the selected entries looked at, a refused extension
// among them; a stop ends the run before the next entry.
TEST_F(BatchRunTest, ReportsProgressAndStopsBeforeTheNextEntry) {
  for (const char* Name : {"a.jww", "b.jww", "d.jww", "e.jww"}) WriteJww(Src() / Name, 600, kPen);
  const std::vector<TBatchEntry> Entries = {
      {u"a.jww", true}, {u"x.txt", true}, {u"b.jww", false}, {u"d.jww", true}, {u"e.jww", true}};
  struct Case {
    int StopAfter;
    std::vector<std::u16string> Reports;
    int Count;
    std::vector<std::string> Written;
  };
  const Case Cases[] = {
      {-1, {u"0/4", u"1/4", u"2/4", u"3/4", u"4/4"}, 3, {"a.jww", "d.jww", "e.jww"}},
      {0, {u"0/4"}, 0, {}},
      {2, {u"0/4", u"1/4", u"2/4"}, 1, {"a.jww"}},
      {3, {u"0/4", u"1/4", u"2/4", u"3/4"}, 2, {"a.jww", "d.jww"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.StopAfter);
    fs::remove_all(Dst());
    fs::create_directory(Dst());
    Host_ = RecordingHost{};
    Host_.StopAfter = C.StopAfter;
    const TBatchOutcome O = Run(Entries);
    EXPECT_EQ(Host_.Reports, C.Reports);
    EXPECT_EQ(O.Converted(), C.Count);
    EXPECT_EQ(Names(Dst()), C.Written);
    EXPECT_TRUE(Host_.Messages().empty());
    const int Skipped = C.Reports.size() > 2 ? 1 : 0;  // x.txt
    EXPECT_EQ(O.Count(TFileResult::Skipped), Skipped);
    EXPECT_EQ(O.Files.size(), C.Reports.size() - 1);
    EXPECT_EQ(Host_.Events.back(), Status(ConvertedCountStatus(C.Count, Skipped)));
  }
}

// A refused run reports no progress and is not asked to stop.
TEST_F(BatchRunTest, ARefusedRunReportsNoProgress) {
  Run(u"", {{u"a.jww", true}});
  EXPECT_TRUE(Host_.Reports.empty());
  EXPECT_EQ(Host_.StopQuestions, 0);
}

TEST_F(BatchRunTest, NoSelectedEntryCountsZero) {
  const TBatchOutcome O = Run({{u"a.jww", false}});
  EXPECT_TRUE(O.Started);
  EXPECT_EQ(Host_.Events, (std::vector<std::u16string>{Status(u"0個のファイルを変換しました。")}));
  EXPECT_EQ(Host_.Reports, (std::vector<std::u16string>{u"0/0"}));
}

TEST_F(BatchRunTest, BacksUpAnExistingDestinationFileWithItsTimes) {
  WriteJww(Src() / "a.jww", 600, kPen);
  WriteOld(Dst() / "a.jww");
  ASSERT_EQ(Run({{u"a.jww", true}}).Converted(), 1);
  ExpectOld(Dst() / "a.BAK");
  EXPECT_EQ(FirstLineColor(Dst() / "a.jww"), 3);

  // The next run replaces the backup with the file it replaces.
  const auto Converted = ReadFileBytes(Dst() / "a.jww");
  const auto ConvertedTime = fs::last_write_time(Dst() / "a.jww");
  ASSERT_EQ(Run({{u"a.jww", true}}).Converted(), 1);
  EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), Converted);
  EXPECT_EQ(fs::last_write_time(Dst() / "a.BAK"), ConvertedTime);
  EXPECT_TRUE(Host_.Messages().empty());
}

// a.jww and a.jws would share the backup name a.BAK: a backup made earlier
// in the run is never replaced, the later file's backup takes its whole name
// (a.jws.BAK), then a number. A backup of an earlier run is replaced.
TEST_F(BatchRunTest, BackupsMadeEarlierInTheRunAreNeverReplaced) {
  WriteJww(Src() / "a.jww", 600, kPen);
  WriteJws(Src() / "a.jws", 600, kPen);
  struct Case {
    std::vector<std::u16string> Captions;
    std::vector<std::string> Backups;  // the backup of each entry, in order
  };
  const Case Cases[] = {
      {{u"a.jww", u"a.jws"}, {"a.BAK", "a.jws.BAK"}},
      {{u"a.jws", u"a.jww"}, {"a.BAK", "a.jww.BAK"}},
      // The same entry twice (names given on the command line): the second
      // backs up the first one's result.
      {{u"a.jww", u"a.jws", u"a.jws"}, {"a.BAK", "a.jws.BAK", "a.jws(2).BAK"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Backups.back());
    fs::remove_all(Dst());
    fs::create_directory(Dst());
    WriteFileBytes(Dst() / "a.jww", {'w'});
    WriteFileBytes(Dst() / "a.jws", {'s'});
    WriteFileBytes(Dst() / "a.BAK", {'e', 'a', 'r', 'l', 'i', 'e', 'r'});  // left by an earlier run
    Host_.Outcomes.clear();
    std::vector<TBatchEntry> Entries;
    for (const std::u16string& Caption : C.Captions) Entries.push_back({Caption, true});
    ASSERT_EQ(Run(Entries).Converted(), static_cast<int>(C.Captions.size()));
    ASSERT_EQ(Host_.Outcomes.size(), C.Backups.size());
    for (std::size_t I = 0; I < C.Backups.size(); ++I) {
      EXPECT_EQ(Host_.Outcomes[I].Backup, U16(Dst() / C.Backups[I]));
      EXPECT_EQ(Host_.Outcomes[I].BackupRenamed(), I > 0);
    }
    // Both earlier contents are kept; the earlier run's backup is gone.
    const auto First = C.Captions[0] == u"a.jww" ? std::vector<std::uint8_t>{'w'} : std::vector<std::uint8_t>{'s'};
    const auto Second = C.Captions[1] == u"a.jww" ? std::vector<std::uint8_t>{'w'} : std::vector<std::uint8_t>{'s'};
    EXPECT_EQ(ReadFileBytes(Dst() / C.Backups[0]), First);
    EXPECT_EQ(ReadFileBytes(Dst() / C.Backups[1]), Second);
    if (C.Backups.size() > 2) {
      EXPECT_EQ(FirstLineColor(Dst() / C.Backups[2], true), 3);
    }
  }
}

// Files that are not drawings, that do not load or that cannot be saved are
// not counted; each is reported with its reason and leaves no output; an
// existing destination file of a source that is not a drawing stays (its
// backup is made).
TEST_F(BatchRunTest, FailedFilesAreReportedWithTheirReasonAndLeaveNoOutput) {
  WriteFileBytes(Src() / "text.jww", {'J', 'w', 'w'});
  WriteJww(Src() / "full.jww", 600, kPen);
  auto Cut = ReadFileBytes(Src() / "full.jww");
  Cut.resize(Cut.size() / 2);
  WriteFileBytes(Src() / "cut.jww", Cut);
  WriteOld(Dst() / "text.jww");
  fs::create_directory(Dst() / "full.jww");  // the save cannot replace a folder
  const TBatchOutcome O = Run({{u"text.jww", true}, {u"cut.jww", true}, {u"full.jww", true}, {u"gone.jws", true}});
  EXPECT_EQ(O.Converted(), 0);
  EXPECT_TRUE(Host_.Messages().empty());
  EXPECT_EQ(Host_.Events.back(), Status(u"0個のファイルを変換しました。（4個のファイルは変換できませんでした）"));
  EXPECT_EQ(Host_.Results(), (std::vector<std::string>{
                                 "failed: not a JWW file",
                                 "failed: the header ends early at offset " + std::to_string(Cut.size()),
                                 "failed: cannot write the destination: Is a directory",
                                 "failed: cannot open the file: No such file or directory",
                             }));
  std::vector<TConvOutcome> Conversions;
  for (const TFileOutcome& F : Host_.Outcomes) Conversions.push_back(F.Conversion.Outcome);
  EXPECT_EQ(Conversions, (std::vector<TConvOutcome>{TConvOutcome::NotRecognised, TConvOutcome::LoadFailed,
                                                    TConvOutcome::SaveFailed, TConvOutcome::NotRecognised}));
  EXPECT_EQ(Host_.Outcomes[0].Backup, U16(Dst() / "text.BAK"));
  ExpectOld(Dst() / "text.jww");
  ExpectOld(Dst() / "text.BAK");
  EXPECT_TRUE(fs::is_empty(Dst() / "full.jww"));
  EXPECT_EQ(Names(Dst()), (std::vector<std::string>{"full.jww", "text.BAK", "text.jww"}));
  EXPECT_TRUE(fs::is_empty(Work_.path()));
}

// Without its backup an existing destination file is not replaced: the entry
// is not converted, for that reason, and the run goes on.
TEST_F(BatchRunTest, AFailedBackupSkipsTheFileAndKeepsIt) {
  TempDir Outside;
  WriteOld(Outside / "target");
  struct Case {
    const char* Name;
    void (*Block)(const fs::path& Backup, const fs::path& Outside);
  };
  const Case Cases[] = {
      {"backup name taken by a folder", [](const fs::path& B, const fs::path&) { fs::create_directory(B); }},
      {"backup name is a link", [](const fs::path& B, const fs::path& O) { fs::create_symlink(O / "target", B); }},
  };
  WriteJww(Src() / "a.jww", 600, kPen);
  WriteJww(Src() / "b.jww", 600, kPen);
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    Host_.Events.clear();
    fs::remove_all(Dst());
    fs::create_directory(Dst());
    WriteOld(Dst() / "a.jww");
    C.Block(Dst() / "a.BAK", Outside.path());
    Host_.Outcomes.clear();
    const TBatchOutcome O = Run({{u"a.jww", true}, {u"b.jww", true}});
    EXPECT_EQ(O.Converted(), 1);
    EXPECT_TRUE(Host_.Messages().empty());
    EXPECT_EQ(Host_.Results(), (std::vector<std::string>{
                                   "failed: the file already in the destination cannot be backed up", "converted: "}));
    EXPECT_EQ(EntryMessage(Host_.Outcomes[0]), u"バックアップファイルを作成できませんでした。\r\nファイル名：a.jww");
    ExpectOld(Dst() / "a.jww");
    EXPECT_EQ(FirstLineColor(Dst() / "b.jww"), 3);
    ExpectOld(Outside / "target");
  }
}

// A destination folder whose path leaves no room for the names in it: the
// old file there cannot be looked at, so it cannot be backed up, and it must
// not be replaced without its backup.
TEST_F(BatchRunTest, ADestinationTooLongForTheBackupKeepsTheOldFile) {
  fs::path Deep = Dst();
  while (Deep.native().size() < 4090)
    Deep /= std::string(std::min<std::size_t>(200, 4092 - Deep.native().size() - 1), 'd');
  ASSERT_LE(Deep.native().size(), 4092u);
  fs::create_directories(Deep);
  const int Folder = ::open(Deep.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  ASSERT_GE(Folder, 0);
  const int Old = ::openat(Folder, "a.jww", O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
  ASSERT_GE(Old, 0);
  ASSERT_EQ(::write(Old, kOldBytes.data(), kOldBytes.size()), static_cast<ssize_t>(kOldBytes.size()));
  ::close(Old);
  WriteJww(Src() / "a.jww", 600, kPen);

  EXPECT_EQ(Run(U16(Deep), {{u"a.jww", true}}).Converted(), 0);
  EXPECT_EQ(Host_.Results(),
            (std::vector<std::string>{"failed: the file already in the destination cannot be backed up"}));
  std::vector<std::string> Left;
  std::vector<std::uint8_t> Kept(16);
  if (DIR* D = ::fdopendir(::dup(Folder))) {
    while (const dirent* E = ::readdir(D))
      if (E->d_name[0] != '.') Left.push_back(E->d_name);
    ::closedir(D);
  }
  const int Back = ::openat(Folder, "a.jww", O_RDONLY | O_CLOEXEC);
  Kept.resize(static_cast<std::size_t>(std::max<ssize_t>(0, ::read(Back, Kept.data(), Kept.size()))));
  ::close(Back);
  EXPECT_EQ(Left, (std::vector<std::string>{"a.jww"}));
  EXPECT_EQ(Kept, kOldBytes);
  // The temporary folder is removed by paths, which cannot reach this file.
  ::unlinkat(Folder, "a.jww", 0);
  ::close(Folder);
}

// A caption that is not a plain file name would lead the paths out of the
// chosen folders.
TEST_F(BatchRunTest, CaptionsWithAFolderPartAreRefused) {
  WriteJww(Base_ / "x.jww", 600, kPen);
  fs::create_directory(Src() / "sub");
  WriteJww(Src() / "sub" / "y.jww", 600, kPen);
  const TBatchOutcome O = Run({{u"../x.jww", true}, {u"sub/y.jww", true}});
  EXPECT_EQ(O.Converted(), 0);
  EXPECT_EQ(Host_.Results(), (std::vector<std::string>{"skipped: the name holds a folder part",
                                                       "skipped: the name holds a folder part"}));
  EXPECT_EQ(EntryMessage(Host_.Outcomes[1]), BadFileNameMessage(u"sub/y.jww"));
  EXPECT_TRUE(fs::is_empty(Dst()));
  EXPECT_EQ(Names(Base_.path()), (std::vector<std::string>{"dst", "src", "x.jww"}));
}

}  // namespace
