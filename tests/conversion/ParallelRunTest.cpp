// A run with several workers against a run with one, over the same folder:
// real drawings and figures, entries that share a destination or a backup
// name, files that fail and files that are skipped. Everything written and
// everything the host is told must be the same, in the same order.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/BatchRun.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

using namespace convfixtures;
using testsupport::ReadFileBytes;
using testsupport::TempDir;
using testsupport::U16;
using testsupport::WriteFileBytes;
namespace fs = std::filesystem;

// What the host is told, with the destination folder's path as "DEST".
// The periodic work is paused once for a whole run with workers, so the
// timer calls are left out.
class TranscriptHost : public TBatchRunHost {
 public:
  explicit TranscriptHost(std::u16string Dest) : Dest_(std::move(Dest)) {}
  std::vector<std::u16string> Lines;

  void ShowMessage(std::u16string_view Text) override { Add(u"message ", Text); }
  void ShowConfirmation(std::u16string_view Text) override { Add(u"confirm ", Text); }
  void Beep() override { Add(u"beep", u""); }
  void FocusDestinationButton() override { Add(u"focus", u""); }
  void SetStatusText(std::u16string_view Text) override { Add(u"status ", Text); }
  void StopTimer() override {}
  void StartTimer() override {}
  void FileDone(const TFileOutcome& O) override {
    Add(u"done ", O.Caption + u" " + FromUtf8(ResultWord(O.Result()) + " " + EnglishReason(O)) + u" " + O.Destination +
                      u" " + O.Backup);
  }
  void Progress(int Done, int Total) override { Add(u"progress ", IntToText(Done) + u"/" + IntToText(Total)); }

 private:
  void Add(std::u16string_view Kind, std::u16string_view Text) {
    std::u16string Line = std::u16string(Kind) + std::u16string(Text);
    for (std::size_t At; (At = Line.find(Dest_)) != std::u16string::npos;) Line.replace(At, Dest_.size(), u"DEST");
    Lines.push_back(Line);
  }
  std::u16string Dest_;
};

// Every file below Folder, by its relative name, with its bytes.
std::map<std::string, std::vector<std::uint8_t>> Contents(const fs::path& Folder) {
  std::map<std::string, std::vector<std::uint8_t>> Files;
  for (const fs::directory_entry& E : fs::recursive_directory_iterator(Folder))
    if (E.is_regular_file()) Files[fs::relative(E.path(), Folder).string()] = ReadFileBytes(E.path());
  return Files;
}

struct TRunRecord {
  std::vector<std::u16string> Transcript;
  std::map<std::string, std::vector<std::uint8_t>> Written;
};

class ParallelRunTest : public ::testing::Test {
 protected:
  ParallelRunTest() {
    fs::create_directory(Src());
    WriteJww(Src() / "a.jww", 600, Pen(2, 1));
    WriteJws(Src() / "a.jws", 600, Pen(2, 1));
    WriteFileBytes(Src() / "cut.jww", {'J', 'w', 'w', 'D', 'a', 't', 'a', '.'});
    WriteFileBytes(Src() / "notes.txt", {'x'});
    Captions_ = {u"a.jww", u"a.jws", u"cut.jww", u"notes.txt", u"a.jws"};
    for (const char* Sub : {"jww", "jws"})
      for (const fs::path& P : testsupport::CorpusFiles(Sub, std::string(".") + Sub)) {
        fs::copy_file(P, Src() / P.filename());
        Captions_.push_back(U16(P.filename()));
      }
    Settings_.ColorMap[2] = 3;
    Settings_.ColorMap[1] = 5;
    Settings_.WidthMap[1] = 35;
  }

  fs::path Src() const { return Base_ / "src"; }

  // A run into a fresh folder "Name" that already holds a.jww, a.jws and an
  // earlier run's a.BAK, with Jobs workers.
  TRunRecord RunWith(int Jobs, const std::string& Name) {
    const fs::path Dest = Base_ / Name;
    fs::create_directory(Dest);
    WriteFileBytes(Dest / "a.jww", {'w'});
    WriteFileBytes(Dest / "a.jws", {'s'});
    WriteFileBytes(Dest / "a.BAK", {'e'});
    std::vector<std::unique_ptr<TJwwData>> Jww;
    std::vector<std::unique_ptr<TJwsData>> Jws;
    std::vector<TWorkerDocuments> Workers;
    for (int I = 0; I < Jobs; ++I) {
      const fs::path Work = Base_ / (Name + "-work" + std::to_string(I));
      fs::create_directory(Work);
      Jww.push_back(std::make_unique<TJwwData>());
      Jws.push_back(std::make_unique<TJwsData>());
      Jww.back()->BindImageFolder = Jws.back()->BindImageFolder = U16(Work) + u"/";
      Jww.back()->BindImageExp = Jww.back()->BindImageExr = true;
      Workers.push_back({*Jww.back(), *Jws.back()});
    }
    TranscriptHost Host(U16(Dest));
    std::vector<TBatchEntry> Entries;
    for (const std::u16string& C : Captions_) Entries.push_back({C, true});
    TBatchRun Run(Settings_, *Jww[0], *Jws[0], Host);
    if (Jobs > 1) Run.UseWorkers(Workers);
    EXPECT_TRUE(Run.Run(U16(Src()), U16(Dest), Entries).Started);
    return {Host.Lines, Contents(Dest)};
  }

  TempDir Base_;
  TConvSettings Settings_;
  std::vector<std::u16string> Captions_;
};

TEST_F(ParallelRunTest, WritesAndReportsExactlyWhatOneWorkerDoes) {
  const auto Sources = Contents(Src());
  const TRunRecord One = RunWith(1, "one");
  for (int Jobs : {2, 3, 8}) {
    SCOPED_TRACE(Jobs);
    const TRunRecord Many = RunWith(Jobs, "many" + std::to_string(Jobs));
    EXPECT_EQ(Many.Transcript, One.Transcript);
    EXPECT_TRUE(Many.Written == One.Written) << "the converted files and the backups differ";
  }
  EXPECT_EQ(Contents(Src()), Sources) << "the sources are untouched";
  // The run itself did what it should: both earlier files backed up, the
  // repeated entry backing up the first one's result.
  EXPECT_EQ(One.Written.at("a.BAK"), std::vector<std::uint8_t>{'w'});
  EXPECT_EQ(One.Written.at("a.jws.BAK"), std::vector<std::uint8_t>{'s'});
  EXPECT_TRUE(One.Written.contains("a.jws(2).BAK"));
  EXPECT_FALSE(One.Written.contains("cut.jww"));
}

}  // namespace
