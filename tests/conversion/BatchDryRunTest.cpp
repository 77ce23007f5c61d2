// The dry run of a batch takes the run's checks and entries as a real run
// does, and writes nothing: no output, no backup, no image.
#include "conversion/BatchDryRun.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "common/TestSupport.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"
#include "tests/conversion/CensusFixtures.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

namespace fs = std::filesystem;
using censusfix::AppliedTo;
using censusfix::Listing;
using testsupport::TempDir;
using testsupport::U16;

// What a user is shown: messages, confirmations and beeps, in order.
class ShownHost : public TBatchRunHost {
 public:
  void ShowMessage(std::u16string_view Text) override { Shown.push_back(u"message:" + std::u16string(Text)); }
  void ShowConfirmation(std::u16string_view Text) override { Shown.push_back(u"confirm:" + std::u16string(Text)); }
  void Beep() override { Shown.push_back(u"beep"); }
  void FocusDestinationButton() override { Shown.push_back(u"focus"); }
  void SetStatusText(std::u16string_view) override {}
  void StopTimer() override {}
  void StartTimer() override {}
  void Progress(int Done, int Total) override { Reports.push_back(std::to_string(Done) + "/" + std::to_string(Total)); }
  bool StopRequested() override { return StopAfter >= 0 && static_cast<int>(Reports.size()) > StopAfter; }

  std::vector<std::u16string> Shown;
  std::vector<std::string> Reports;
  int StopAfter = -1;
};

std::vector<TBatchEntry> AllSelected(std::initializer_list<const char16_t*> Names) {
  std::vector<TBatchEntry> E;
  for (const char16_t* N : Names) E.push_back({N, true});
  return E;
}

struct RefusalCase {
  const char* Name;
  bool EmptyDest, MissingDest, SameFolder, CombinationWithoutRows;
};

class DryRunRefusal : public testing::TestWithParam<RefusalCase> {};

// Whatever the real run refuses, the dry run refuses with the same words.
TEST_P(DryRunRefusal, IsTheRealRunsRefusal) {
  const RefusalCase& C = GetParam();
  TempDir Src, Dst;
  convfixtures::WriteJww(Src / "a.jww", 600, convfixtures::Pen(2, 1));
  TConvSettings S;
  if (C.CombinationWithoutRows) S.ConvMode = kModeCombination;
  const std::u16string Dest = C.EmptyDest     ? u""
                              : C.MissingDest ? U16(Dst / "missing")
                              : C.SameFolder  ? U16(Src.path())
                                              : U16(Dst.path());
  const auto Entries = AllSelected({u"a.jww"});
  ShownHost Real, Dry;
  TJwwData JWW;
  TJwsData JWS;
  TConvSettings RealSettings = S;
  const TBatchOutcome R = TBatchRun(RealSettings, JWW, JWS, Real).Run(U16(Src.path()), Dest, Entries);
  const TDryRunBatch D = TBatchDryRun(S, Dry).Run(U16(Src.path()), Dest, Entries);
  EXPECT_FALSE(R.Started);
  EXPECT_FALSE(D.Started);
  EXPECT_EQ(Dry.Shown, Real.Shown);
  EXPECT_TRUE(D.Entries.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, DryRunRefusal,
                         testing::Values(RefusalCase{"NoDestination", true, false, false, false},
                                         RefusalCase{"MissingDestination", false, true, false, false},
                                         RefusalCase{"SameFolder", false, false, true, false},
                                         RefusalCase{"CombinationWithoutRows", false, false, false, true}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST(BatchDryRun, TakesTheEntriesAsTheRunDoesAndWritesNothing) {
  TempDir Src, Dst;
  convfixtures::WriteJww(Src / "a.jww", 600, convfixtures::Pen(2, 1));
  convfixtures::WriteJws(Src / "C.JWS", 351, convfixtures::Pen(2, 1));
  testsupport::WriteFileBytes(Src / "b.txt", {'x'});
  testsupport::WriteFileBytes(Src / "bad.jww", {'n', 'o'});
  testsupport::WriteFileBytes(Dst / "a.jww", {'o', 'l', 'd'});
  const auto Before = std::pair{Listing(Src.path()), Listing(Dst.path())};
  TConvSettings S;
  S.ColorMap[2] = 5;
  ShownHost Host;
  const auto Entries = AllSelected({u"a.jww", u"b.txt", u"C.JWS", u"bad.jww"});
  const TDryRunBatch D = TBatchDryRun(S, Host).Run(U16(Src.path()), U16(Dst.path()), Entries);
  EXPECT_EQ(std::pair(Listing(Src.path()), Listing(Dst.path())), Before);

  ASSERT_TRUE(D.Started);
  EXPECT_EQ(D.Count, 3);  // as the real run's final count
  ASSERT_EQ(D.Entries.size(), 4u);
  const TDryRunEntry& A = D.Entries[0];
  EXPECT_TRUE(A.WouldConvert());
  EXPECT_TRUE(A.ReplacesExisting);
  EXPECT_EQ(A.Backup, U16(Dst / "a.BAK"));
  EXPECT_EQ(A.Destination, U16(Dst / "a.jww"));
  const TDryRunEntry& B = D.Entries[1];
  EXPECT_TRUE(B.Skipped);
  EXPECT_EQ(B.Message, UnsupportedExtensionMessage(u"b.txt", u".txt"));
  EXPECT_EQ(Host.Shown, std::vector<std::u16string>{u"message:" + B.Message});
  const TDryRunEntry& C = D.Entries[2];
  EXPECT_TRUE(C.WouldConvert());
  EXPECT_FALSE(C.ReplacesExisting);
  EXPECT_EQ(C.Run.SavedVersion, 351);
  EXPECT_EQ(D.Entries[3].Problem, TFileProblem::NotRecognised);
  // In each file the line, arc, point and text of the drawing take colour 5;
  // without their switches the other kinds and the block members stay.
  EXPECT_EQ(A.Run.Transitions.Records(), 4);
  EXPECT_EQ(C.Run.Transitions.Records(), 4);
  EXPECT_EQ(D.Total.Records(), 8);
  EXPECT_EQ(Host.Reports, (std::vector<std::string>{"0/4", "1/4", "2/4", "3/4", "4/4"}));
}

// The dry run names the backups the run would make, a later one of the same
// name never over an earlier one, and the document's reason for a file that
// would not load.
TEST(BatchDryRun, NamesTheRunsBackupsAndTheReasonsOfFilesThatWouldNotLoad) {
  TempDir Src, Dst;
  convfixtures::WriteJww(Src / "a.jww", 600, convfixtures::Pen(2, 1));
  convfixtures::WriteJws(Src / "a.jws", 600, convfixtures::Pen(2, 1));
  auto Cut = testsupport::ReadFileBytes(Src / "a.jww");
  Cut.resize(1000);
  testsupport::WriteFileBytes(Src / "cut.jww", Cut);
  testsupport::WriteFileBytes(Src / "text.jws", {'n', 'o'});
  for (const char* N : {"a.jww", "a.jws"}) testsupport::WriteFileBytes(Dst / N, {'o'});
  ShownHost Host;
  const TDryRunBatch D =
      TBatchDryRun(TConvSettings{}, Host)
          .Run(U16(Src.path()), U16(Dst.path()), AllSelected({u"a.jww", u"a.jws", u"cut.jww", u"text.jws"}));
  ASSERT_EQ(D.Entries.size(), 4u);
  EXPECT_EQ(D.Entries[0].Backup, U16(Dst / "a.BAK"));
  EXPECT_EQ(D.Entries[1].Backup, U16(Dst / "a.jws.BAK"));
  EXPECT_FALSE(D.Entries[0].Reason);
  EXPECT_EQ(D.Entries[2].Problem, TFileProblem::Incomplete);
  EXPECT_EQ(Describe(D.Entries[2].Reason), "the header ends early at offset 1000");
  EXPECT_EQ(D.Entries[3].Problem, TFileProblem::NotRecognised);
  EXPECT_EQ(Describe(D.Entries[3].Reason), "not a JWS file");
}

TEST(BatchDryRun, StopsWhenAsked) {
  TempDir Src, Dst;
  for (const char* N : {"a.jww", "b.jww", "c.jww"}) convfixtures::WriteJww(Src / N, 600, convfixtures::Pen(2, 1));
  ShownHost Host;
  Host.StopAfter = 1;
  const TDryRunBatch D = TBatchDryRun(TConvSettings{}, Host)
                             .Run(U16(Src.path()), U16(Dst.path()), AllSelected({u"a.jww", u"b.jww", u"c.jww"}));
  EXPECT_EQ(D.Entries.size(), 1u);
}

// ---- Every real drawing and figure ----

struct CorpusKind {
  std::string Sub, Ext;
  friend void PrintTo(const CorpusKind& K, std::ostream* Os) { *Os << K.Sub; }
};

class CorpusDryRun : public testing::TestWithParam<CorpusKind> {};

// In both modes, for every file: the dry run's transitions take the census
// of the source to the census of the file the real run writes, at the
// version it writes, and the dry run leaves every folder as it was.
TEST_P(CorpusDryRun, ForeseesWhatTheRealRunWrites) {
  const auto Files = testsupport::CorpusFiles(GetParam().Sub, GetParam().Ext);
  SKIP_WITHOUT_CORPUS(Files);
  std::map<fs::path, std::vector<TBatchEntry>> ByFolder;
  for (const fs::path& F : Files) ByFolder[F.parent_path()].push_back({U16(F.filename()), true});
  int Checked = 0;
  std::int64_t Changed = 0;
  for (const TConvSettings& S : {convfixtures::IndividualSettings(), convfixtures::CombinationSettings()}) {
    for (const auto& [Folder, Entries] : ByFolder) {
      SCOPED_TRACE(testing::Message() << Folder << ", mode " << S.ConvMode);
      TempDir DryDest, RealDest, Work;
      testsupport::WriteFileBytes(DryDest.path() / ToPath(Entries.front().Caption), {'o', 'l', 'd'});
      const auto Before = std::pair{Listing(Folder), Listing(DryDest.path())};
      ShownHost DryHost, RealHost;
      const TDryRunBatch D = TBatchDryRun(S, DryHost).Run(U16(Folder), U16(DryDest.path()), Entries);
      ASSERT_EQ(std::pair(Listing(Folder), Listing(DryDest.path())), Before);
      ASSERT_TRUE(D.Started);

      TJwwData JWW;
      JWW.BindImageFolder = Work.u16();
      JWW.BindImageExp = JWW.BindImageExr = true;
      TJwsData JWS;
      TConvSettings RealSettings = S;
      ASSERT_TRUE(TBatchRun(RealSettings, JWW, JWS, RealHost).Run(U16(Folder), U16(RealDest.path()), Entries).Started);
      EXPECT_EQ(DryHost.Shown, RealHost.Shown);

      ASSERT_EQ(D.Entries.size(), Entries.size());
      TDrawingLoader L;
      for (const TDryRunEntry& E : D.Entries) {
        SCOPED_TRACE(ToUtf8(E.Caption));
        ASSERT_TRUE(E.WouldConvert()) << FileProblemText(E.Problem);
        ASSERT_EQ(L.Load(E.Source), TFileProblem::None);
        const TPenCensus Source = L.Visit([](const auto& Doc) { return CensusOf(Doc); });
        ASSERT_EQ(L.Load(PathJoin(U16(RealDest.path()), E.Caption)), TFileProblem::None);
        const TPenCensus Written = L.Visit([](const auto& Doc) { return CensusOf(Doc); });
        EXPECT_EQ(AppliedTo(Source, E.Run.Transitions).Rows(), Written.Rows());
        EXPECT_EQ(E.Run.SavedVersion, L.Visit([](const auto& Doc) { return Doc.Enthd.jwVer; }));
        ++Checked;
        Changed += E.Run.Transitions.Records();
      }
    }
  }
  EXPECT_EQ(Checked, 2 * static_cast<int>(Files.size()));
  EXPECT_GT(Changed, 0);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, CorpusDryRun, testing::Values(CorpusKind{"jww", ".jww"}, CorpusKind{"jws", ".jws"}),
                         [](const auto& Info) { return Info.param.Sub; });

}  // namespace
