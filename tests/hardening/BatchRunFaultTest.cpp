// A conversion run whose saves fail at the file system: each step failing in
// turn, the destination folder vanishing between files or in the middle of
// a save, a full disk and a read-only destination. Every failure is the
// run's silent one (the file is counted, nothing is shown), no partial or
// temporary file is left, and the source folder stays as it was.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/BatchRun.h"
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

Files Contents(const fs::path& folder) {
  Files files;
  for (const std::string& n : Names(folder)) files[n] = ReadFileBytes(folder / n);
  return files;
}

// The run shows nothing for a failed file; only the outcomes are kept.
class SilentHost : public TBatchRunHost {
 public:
  void ShowMessage(std::u16string_view) override { ++messages; }
  void ShowConfirmation(std::u16string_view) override { ++messages; }
  void Beep() override {}
  void FocusDestinationButton() override {}
  void SetStatusText(std::u16string_view) override {}
  void StopTimer() override {}
  void StartTimer() override {}
  void FileDone(std::u16string_view, std::u16string_view, TConvOutcome o) override {
    outcomes.push_back(o);
    if (afterFile) afterFile();
  }

  int messages = 0;
  std::vector<TConvOutcome> outcomes;
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
    sources_ = Contents(Src());
    jww_.BindImageFolder = work_.u16();
    jww_.BindImageExp = jww_.BindImageExr = true;
    settings_.ColorMap[2] = 3;
  }

  fs::path Src() const { return base_ / "src"; }
  fs::path Dst() const { return base_ / "dst"; }

  TBatchOutcome Run(const fs::path& dest) {
    std::vector<TBatchEntry> entries;
    for (const std::string& n : kNames) entries.push_back({U16(n), true});
    return TBatchRun(settings_, jww_, jws_, host_).Run(U16(Src()), U16(dest), entries);
  }

  // The files a run without faults writes.
  Files Reference() {
    const fs::path ref = base_ / "ref";
    fs::create_directories(ref);
    SilentHost host;
    std::vector<TBatchEntry> entries;
    for (const std::string& n : kNames) entries.push_back({U16(n), true});
    TBatchRun(settings_, jww_, jws_, host).Run(U16(Src()), U16(ref), entries);
    return Contents(ref);
  }

  // Every file was counted and nothing was shown; the source folder is as it was.
  void ExpectSilentRun(const TBatchOutcome& outcome) {
    EXPECT_TRUE(outcome.Started);
    EXPECT_EQ(outcome.Count, 3);
    EXPECT_EQ(host_.messages, 0);
    EXPECT_EQ(Contents(Src()), sources_);
  }

  std::vector<TConvOutcome> AllFailed() const { return std::vector<TConvOutcome>(3, TConvOutcome::SaveFailed); }

  TempDir base_, work_;
  Files sources_;
  TJwwData jww_;
  TJwsData jws_;
  TConvSettings settings_;
  SilentHost host_;
};

TEST_F(RunFault, EveryStepFailingInTurn) {
  const Files reference = Reference();
  const std::vector<std::uint8_t> older = {'o', 'l', 'd'};
  int n = 1;
  for (;; ++n) {
    fs::remove_all(Dst());
    fs::create_directories(Dst());
    testsupport::WriteFileBytes(Dst() / "a.jww", older);
    host_.outcomes.clear();
    FailingStep fault(n);
    const TBatchOutcome outcome = Run(Dst());
    if (!fault.hit()) break;
    ExpectSilentRun(outcome);
    EXPECT_EQ(std::count(host_.outcomes.begin(), host_.outcomes.end(), TConvOutcome::SaveFailed), 1) << "step " << n;
    EXPECT_FALSE(HoldsTemporaryFile(Dst())) << "step " << n;
    EXPECT_EQ(ReadFileBytes(Dst() / "a.BAK"), older);
    for (const std::string& name : kNames) {
      if (fs::exists(Dst() / name)) {
        EXPECT_EQ(ReadFileBytes(Dst() / name), reference.at(name)) << name << " step " << n;
      }
    }
  }
  EXPECT_GE(n, 3 * 5) << "each save's create, write, sync, close and rename";
}

TEST_F(RunFault, DestinationFolderVanishesBetweenFiles) {
  fs::create_directories(Dst());
  host_.afterFile = [&] { fs::remove_all(Dst()); };
  const TBatchOutcome outcome = Run(Dst());
  ExpectSilentRun(outcome);
  EXPECT_EQ(host_.outcomes,
            (std::vector<TConvOutcome>{TConvOutcome::Converted, TConvOutcome::SaveFailed, TConvOutcome::SaveFailed}));
  EXPECT_FALSE(fs::exists(Dst()));
}

TEST_F(RunFault, DestinationFolderVanishesDuringASave) {
  fs::create_directories(Dst());
  int syncs = 0;
  SetFileStepFaultHook([&](FileStep step) {
    if (step == FileStep::Sync && ++syncs == 2) fs::remove_all(Dst());
    return 0;
  });
  const TBatchOutcome outcome = Run(Dst());
  SetFileStepFaultHook({});
  ExpectSilentRun(outcome);
  EXPECT_EQ(host_.outcomes,
            (std::vector<TConvOutcome>{TConvOutcome::Converted, TConvOutcome::SaveFailed, TConvOutcome::SaveFailed}));
  EXPECT_FALSE(fs::exists(Dst()));
}

TEST_F(RunFault, FullDisk) {
  Tmpfs disk(Dst(), 0, "size=16k");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  testsupport::WriteFileBytes(Dst() / "filler", std::vector<std::uint8_t>(15 * 1024, 'x'));
  const TBatchOutcome outcome = Run(Dst());
  ExpectSilentRun(outcome);
  EXPECT_EQ(host_.outcomes, AllFailed());
  EXPECT_EQ(Names(Dst()), std::vector<std::string>{"filler"});
}

TEST_F(RunFault, ReadOnlyDestination) {
  Tmpfs disk(Dst(), MS_RDONLY, "size=64k");
  if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  const TBatchOutcome outcome = Run(Dst());
  ExpectSilentRun(outcome);
  EXPECT_EQ(host_.outcomes, AllFailed());
  EXPECT_TRUE(Names(Dst()).empty());
}

}  // namespace
