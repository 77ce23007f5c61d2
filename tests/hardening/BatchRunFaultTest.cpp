// A conversion run whose saves fail at the file system: each step failing in
// turn, the destination folder vanishing between files or in the middle of
// a save, a full disk and a read-only destination, and a disk that stores
// other bytes than it was given. Every failure is reported as one with the
// system's reason (the file is not counted, no message box stops the run),
// no partial or temporary file is left, and the source folder stays as it
// was.
#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/BatchRun.h"
#include "conversion/RunResults.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "tests/conversion/ConversionFixtures.h"
#include "tests/hardening/FaultFixtures.h"

namespace {

namespace fs = std::filesystem;
using namespace faultfixtures;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;

using Files = std::map<std::string, std::vector<std::uint8_t>>;

Files Contents(const fs::path& Folder) {
  Files Files;
  for (const std::string& N : Names(Folder)) Files[N] = ReadFileBytes(Folder / N);
  return Files;
}

// The run shows no message box for a failed file; the outcomes are kept.
class SilentHost : public TBatchRunHost {
 public:
  void ShowMessage(std::u16string_view) override { ++messages; }
  void ShowConfirmation(std::u16string_view) override { ++messages; }
  void Beep() override {}
  void FocusDestinationButton() override {}
  void SetStatusText(std::u16string_view) override {}
  void StopTimer() override {}
  void StartTimer() override {}
  void FileDone(const TFileOutcome& O) override {
    outcomes.push_back(O.Conversion.Outcome);
    reasons.push_back(EnglishReason(O));
    if (afterFile) afterFile();
  }

  int messages = 0;
  std::vector<TConvOutcome> outcomes;
  std::vector<std::string> reasons;  // English, empty for a converted file
  std::function<void()> afterFile;
};

const std::vector<std::string> kNames = {"a.jww", "b.jws", "c.jww"};

class RunFault : public testing::Test {
 protected:
  RunFault() {
    fs::create_directories(Src());
    convfixtures::WriteJww(Src() / "a.jww", 700, convfixtures::Pen(2, 1));
    convfixtures::WriteJws(Src() / "b.jws", 420, convfixtures::Pen(2, 1));
    convfixtures::WriteJww(Src() / "c.jww", 351, convfixtures::Pen(2, 1));
    Sources_ = Contents(Src());
    Jww_.BindImageFolder = Work_.u16();
    Jww_.BindImageExp = Jww_.BindImageExr = true;
    Settings_.ColorMap[2] = 3;
  }

  fs::path Src() const { return Base_ / "src"; }
  fs::path Dst() const { return Base_ / "dst"; }

  TBatchOutcome Run(const fs::path& Dest, TSaveCheck Check = TSaveCheck::ReadBack) {
    std::vector<TBatchEntry> Entries;
    for (const std::string& N : kNames) Entries.push_back({U16(N), true});
    return TBatchRun(Settings_, Jww_, Jws_, Host_, Check).Run(U16(Src()), U16(Dest), Entries);
  }

  // The files a run without faults writes.
  Files Reference() {
    const fs::path Ref = Base_ / "ref";
    fs::create_directories(Ref);
    SilentHost Host;
    std::vector<TBatchEntry> Entries;
    for (const std::string& N : kNames) Entries.push_back({U16(N), true});
    TBatchRun(Settings_, Jww_, Jws_, Host).Run(U16(Src()), U16(Ref), Entries);
    return Contents(Ref);
  }

  // The failed files were not counted and no message box was shown; the
  // source folder is as it was.
  void ExpectRun(const TBatchOutcome& Outcome, int Failed) {
    EXPECT_TRUE(Outcome.Started);
    EXPECT_EQ(Outcome.Converted(), 3 - Failed);
    EXPECT_EQ(Outcome.Count(TFileResult::Failed), Failed);
    EXPECT_EQ(Host_.messages, 0);
    EXPECT_EQ(Contents(Src()), Sources_);
  }

  std::vector<std::string> Reasons(std::initializer_list<const char*> R) const { return {R.begin(), R.end()}; }

  std::vector<TConvOutcome> AllFailed() const { return std::vector<TConvOutcome>(3, TConvOutcome::SaveFailed); }

  TempDir Base_, Work_;
  Files Sources_;
  TJwwData Jww_;
  TJwsData Jws_;
  TConvSettings Settings_;
  SilentHost Host_;
};

TEST_F(RunFault, EveryStepFailingInTurn) {
  const Files Expected = Reference();
  const std::vector<std::uint8_t> Older = {'o', 'l', 'd'};
  int N = 1;
  for (;; ++N) {
    fs::remove_all(Dst());
    fs::create_directories(Dst());
    testsupport::WriteFileBytes(Dst() / "a.jww", Older);
    Host_.outcomes.clear();
    Host_.reasons.clear();
    FailingStep Fault(N);
    const TBatchOutcome Outcome = Run(Dst());
    if (!Fault.hit()) break;
    ExpectRun(Outcome, 1);
    EXPECT_EQ(std::count(Host_.outcomes.begin(), Host_.outcomes.end(), TConvOutcome::SaveFailed), 1) << "step " << N;
    const bool Written = std::count(Host_.reasons.begin(), Host_.reasons.end(),
                                    "cannot write the destination: No space left on device") == 1;
    const bool Other =
        std::count(Host_.reasons.begin(), Host_.reasons.end(), "cannot write the destination: Input/output error") == 1;
    EXPECT_TRUE(Written != Other) << "step " << N;
    EXPECT_FALSE(HoldsTemporaryFile(Dst())) << "step " << N;
    EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), Older);
    for (const std::string& Name : kNames) {
      if (fs::exists(Dst() / Name)) {
        EXPECT_EQ(ReadFileBytes(Dst() / Name), Expected.at(Name)) << Name << " step " << N;
      }
    }
  }
  EXPECT_GE(N, 3 * 5) << "each save's create, write, sync, close and rename";
}

TEST_F(RunFault, DestinationFolderVanishesBetweenFiles) {
  fs::create_directories(Dst());
  Host_.afterFile = [&] { fs::remove_all(Dst()); };
  const TBatchOutcome Outcome = Run(Dst());
  ExpectRun(Outcome, 2);
  EXPECT_EQ(Host_.outcomes,
            (std::vector<TConvOutcome>{TConvOutcome::Converted, TConvOutcome::SaveFailed, TConvOutcome::SaveFailed}));
  EXPECT_EQ(Host_.reasons, Reasons({"", "cannot write the destination: No such file or directory",
                                    "cannot write the destination: No such file or directory"}));
  EXPECT_FALSE(fs::exists(Dst()));
  // The window's list holds the two that failed.
  std::vector<std::u16string> Listed;
  for (const TResultRow& Row : ResultRows(Outcome.Files))
    Listed.push_back(Row.Name + u"|" + Row.Result + u"|" + Row.Reason);
  EXPECT_EQ(Listed, (std::vector<std::u16string>{
                        u"b.jws|変換できませんでした|保存先に書き込めません（No such file or directory）",
                        u"c.jww|変換できませんでした|保存先に書き込めません（No such file or directory）"}));
}

TEST_F(RunFault, DestinationFolderVanishesDuringASave) {
  fs::create_directories(Dst());
  int Syncs = 0;
  SetFileStepFaultHook([&](FileStep Step) {
    if (Step == FileStep::Sync && ++Syncs == 2) fs::remove_all(Dst());
    return 0;
  });
  const TBatchOutcome Outcome = Run(Dst());
  SetFileStepFaultHook({});
  ExpectRun(Outcome, 2);
  EXPECT_EQ(Host_.outcomes,
            (std::vector<TConvOutcome>{TConvOutcome::Converted, TConvOutcome::SaveFailed, TConvOutcome::SaveFailed}));
  EXPECT_FALSE(fs::exists(Dst()));
}

TEST_F(RunFault, FullDisk) {
  Tmpfs Disk(Dst(), 0, "size=16k");
  if (!Disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  testsupport::WriteFileBytes(Dst() / "filler", std::vector<std::uint8_t>(15 * 1024, 'x'));
  const TBatchOutcome Outcome = Run(Dst());
  ExpectRun(Outcome, 3);
  EXPECT_EQ(Host_.outcomes, AllFailed());
  EXPECT_EQ(Host_.reasons, std::vector<std::string>(3, "cannot write the destination: No space left on device"));
  EXPECT_EQ(Names(Dst()), std::vector<std::string>{"filler"});
}

TEST_F(RunFault, ReadOnlyDestination) {
  Tmpfs Disk(Dst(), MS_RDONLY, "size=64k");
  if (!Disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  const TBatchOutcome Outcome = Run(Dst());
  ExpectRun(Outcome, 3);
  EXPECT_EQ(Host_.outcomes, AllFailed());
  EXPECT_EQ(Host_.reasons, std::vector<std::string>(3, "cannot write the destination: Read-only file system"));
  EXPECT_TRUE(Names(Dst()).empty());
}

// The read-back only reads: the files a checked run leaves are those of an
// unchecked one, byte for byte.
TEST_F(RunFault, TheReadBackChangesNoByte) {
  const Files Checked = Reference();
  fs::create_directories(Dst());
  ExpectRun(Run(Dst(), TSaveCheck::None), 0);
  EXPECT_EQ(Contents(Dst()), Checked);
}

// A disk that stores other bytes than it was given: the read-back finds it,
// removes the output and reports the file with the reason; without the
// read-back the damaged files would stay as converted ones.
TEST_F(RunFault, SavesThatDoNotReadBackTheSame) {
  constexpr double kFrom = 100.0, kTo = 101.0;  // the x of the line's end
  const std::uint8_t* From = reinterpret_cast<const std::uint8_t*>(&kFrom);
  const std::uint8_t* To = reinterpret_cast<const std::uint8_t*>(&kTo);
  struct Case {
    const char* Name;
    std::function<void(std::uint64_t, std::span<std::uint8_t>)> Tamper;
    std::vector<std::string> Reasons;
  };
  const Case Cases[] = {
      {"signature changed: the file no longer loads",
       [](std::uint64_t Offset, std::span<std::uint8_t> Data) {
         if (Offset == 0) Data[0] = 'K';
       },
       Reasons({"the saved file does not read back the same (from offset 8)",
                "the saved file does not read back the same (from offset 7)",
                "the saved file does not read back the same (from offset 8)"})},
      {"a coordinate changed: the file loads and saves the same, but is not what was written",
       [&](std::uint64_t, std::span<std::uint8_t> Data) {
         const auto It = std::search(Data.begin(), Data.end(), From, From + sizeof kFrom);
         if (It != Data.end()) std::copy(To, To + sizeof kTo, It);
       },
       Reasons({"the saved file does not hold the bytes that were written",
                "the saved file does not hold the bytes that were written",
                "the saved file does not hold the bytes that were written"})},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    fs::remove_all(Dst());
    fs::create_directories(Dst());
    Host_.outcomes.clear();
    Host_.reasons.clear();
    SetFileWriteTamperHook(C.Tamper);
    const TBatchOutcome Outcome = Run(Dst());
    ExpectRun(Outcome, 3);
    EXPECT_EQ(Host_.outcomes, std::vector<TConvOutcome>(3, TConvOutcome::ReadBackFailed));
    EXPECT_EQ(Host_.reasons, C.Reasons);
    EXPECT_TRUE(Names(Dst()).empty());

    fs::remove_all(Dst());
    fs::create_directories(Dst());
    Host_.outcomes.clear();
    const TBatchOutcome Unchecked = Run(Dst(), TSaveCheck::None);
    SetFileWriteTamperHook({});
    EXPECT_EQ(Unchecked.Converted(), 3);
    EXPECT_EQ(Names(Dst()), kNames);
  }
}

}  // namespace
