// The census of a drawing's pens and the dry run of a conversion: a fixture
// of known records gives exactly its table; the dry run names the changes a
// conversion makes, including the writer's and the version raise's, and
// agrees with what a real conversion writes.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/TestSupport.h"
#include "conversion/Conversion.h"
#include "conversion/DrawingLoad.h"
#include "conversion/DryRun.h"
#include "conversion/PenCensus.h"
#include "conversion/PenNames.h"
#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"
#include "tests/conversion/CensusFixtures.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

using censusfix::AppliedTo;
using censusfix::CensusDrawing;
using testsupport::TempDir;
using testsupport::U16;
using W = TPenWhere;
using K = TPenKind;

TPenCensus CensusOfBytes(const jwfix::ByteVec& Bytes) {
  TJwwData D;
  EXPECT_TRUE(jwfix::Load(D, Bytes));
  return CensusOf(D);
}

TDryRun DryRunOfBytes(const jwfix::ByteVec& Bytes, const TConvSettings& S) {
  TJwwData D;
  EXPECT_TRUE(jwfix::Load(D, Bytes));
  TDryRun Out;
  EXPECT_EQ(DryRunOf(D, S, Out), TDryRunStatus::Done);
  return Out;
}

class CensusFixture : public testing::TestWithParam<std::int32_t> {};

TEST_P(CensusFixture, EqualsTheTableOfItsRecords) {
  EXPECT_EQ(CensusOfBytes(CensusDrawing(GetParam())).Rows(), censusfix::ExpectedCensus(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Versions, CensusFixture, testing::Values(351, 420, 700));

// Every record the conversion changes shows in the census as moved, and
// nothing else does: a census of the converted document differs from the
// source's census by exactly the records the mode changes.
TEST(Census, ReadsThePensTheConversionChanges) {
  TJwwData D;
  ASSERT_TRUE(jwfix::Load(D, CensusDrawing(420)));
  TConvSettings S;
  S.ColorMap[2] = 6;  // lines, dimension lines, dimension points and text-type 2 have colour 2
  S.OptFlags[OptSunpoColorWidth] = 1;
  S.OptFlags[OptMojiTypeColor] = 1;
  S.RecomputeVerRaise();
  ASSERT_TRUE(ConvertInMemory(D, S));
  const TPenCensus After = CensusOf(D);
  const TPenCensus Before = CensusOfBytes(CensusDrawing(420));
  using Moves = std::pair<std::int64_t, std::int64_t>;  // records gone from From, come to To
  auto Moved = [&](W Where, K Kind, std::int32_t Item, TPen From, TPen To) {
    return Moves{Before.Count({Where, Kind, Item, From}) - After.Count({Where, Kind, Item, From}),
                 After.Count({Where, Kind, Item, To}) - Before.Count({Where, Kind, Item, To})};
  };
  EXPECT_EQ(Moved(W::Drawing, K::Line, 0, {2, 1, 0}, {6, 1, 0}), Moves(3, 3));
  EXPECT_EQ(Moved(W::Drawing, K::DimensionLine, 0, {2, 1, 0}, {6, 1, 0}), Moves(1, 1));
  EXPECT_EQ(Moved(W::Drawing, K::DimensionPoint, 0, {2, 1, 0}, {6, 1, 0}), Moves(1, 1));
  EXPECT_EQ(Moved(W::Header, K::TextTypeColor, 2, {2, 0, 0}, {6, 0, 0}), Moves(1, 1));
  // Block members change only with the block switches; the dimension's own
  // attribute never.
  EXPECT_EQ(After.Count({W::KeptBlock, K::Line, 0, {2, 1, 0}}), 1);
  EXPECT_EQ(After.Count({W::Drawing, K::Dimension, 0, {7, 1, 0}}), 1);
}

TEST(PenNames, AsTheSettingsDialogNamesThem) {
  EXPECT_EQ(PenColorName(K::Line, 2), u"線色 2");
  EXPECT_EQ(PenColorName(K::Line, 9), u"補助線色");
  EXPECT_EQ(PenColorName(K::Line, 102), u"SXF 2:red");
  EXPECT_EQ(PenColorName(K::Line, 117), u"SXF USER定義線色 17");
  EXPECT_EQ(PenColorName(K::Solid, 10), u"任意色");
  EXPECT_EQ(PenColorName(K::Line, 10), u"線色番号 10");
  EXPECT_EQ(PenLtypeName(K::Line, 5), u"線種5:一点鎖線１");
  EXPECT_EQ(PenLtypeName(K::Arc, 46), u"線種番号 46");
  EXPECT_EQ(PenLtypeName(K::Point, 100), u"100");
  EXPECT_EQ(PenWidthName(0), u"基本幅");
  EXPECT_EQ(PenWidthName(35), u"35");
  EXPECT_EQ(PenKindName(K::TextTypeColor, 3), u"文字種 3");
  EXPECT_EQ(PenKindName(K::DimensionSetting, 2), u"寸法設定（十の位）");
}

// ---- The dry run ----

TEST(DryRun, NamesEachChangeWithItsCount) {
  TConvSettings S;
  S.ColorMap[2] = 3;
  S.WidthMap[2] = 40;  // raises to 3.51: nothing to raise here
  S.RecomputeVerRaise();
  const TDryRun R = DryRunOfBytes(CensusDrawing(420), S);
  // Lines of colour 2 take colour 3 and, having no width, width 40; the
  // members of block definitions and the dimension's parts stay without
  // their switches; the writer keeps every valid pen.
  const std::vector<TPenTransition> Want = {{{W::Drawing, K::Line, 0, false, {2, 1, 0}, {3, 1, 40}}, 3}};
  EXPECT_EQ(R.Transitions.Rows(), Want);
  EXPECT_EQ(R.SourceVersion, 420);
  EXPECT_EQ(R.SavedVersion, 420);
  ASSERT_EQ(R.Dropped.size(), 1u);
  EXPECT_EQ(R.Dropped[0].Number, 7u);
  EXPECT_EQ(R.Dropped[0].Name, u"未使用");
  EXPECT_EQ(R.Dropped[0].Members, 3);
  EXPECT_TRUE(R.Renamed.empty());
}

// A line of SXF colour 105 and SXF line type 35 in a file of version 3.51 is
// kept by the tables but written as colour 4 and line type 8.
TEST(DryRun, IncludesWhatTheWriterChanges) {
  TConvSettings S;
  const TDryRun R = DryRunOfBytes(CensusDrawing(351), S);
  const std::vector<TPenTransition> Want = {{{W::Drawing, K::Line, 0, false, {105, 35, 25}, {4, 8, 25}}, 1}};
  EXPECT_EQ(R.Transitions.Rows(), Want);
  EXPECT_EQ(R.SavedVersion, 351);
}

// Raised to 4.20, a file gains the SXF parts of its dimensions (from the
// dimension's attribute, converted) and its SXF tables get their names.
TEST(DryRun, RaisedToSxfAddsDimensionPartsAndTableNames) {
  TConvSettings S;
  S.ColorMap[7] = 101;
  S.OptFlags[OptSunpoColorWidth] = 1;
  S.RecomputeVerRaise();
  ASSERT_EQ(S.VerRaise, 2);
  const TDryRun R = DryRunOfBytes(CensusDrawing(351), S);
  EXPECT_EQ(R.SavedVersion, 420);
  // The dimension's own colour 7 stays; its extension lines come from it,
  // as 101; its points too (the load gives them style 0, the writer 1).
  const TPenTransition Ext{{W::Drawing, K::DimensionExtension, 0, true, {7, 1, 0}, {101, 1, 0}}, 2};
  const TPenTransition Pts{{W::Drawing, K::DimensionPoint, 0, true, {7, 0, 0}, {101, 1, 0}}, 4};
  const auto Rows = R.Transitions.Rows();
  EXPECT_NE(std::find(Rows.begin(), Rows.end(), Ext), Rows.end());
  EXPECT_NE(std::find(Rows.begin(), Rows.end(), Pts), Rows.end());
  ASSERT_EQ(R.Renamed.size(), 257u + 33u);
  EXPECT_EQ(R.Renamed.front().Table, TSxfTable::Color);
  EXPECT_EQ(R.Renamed.front().After, u"Color_0");
  EXPECT_EQ(R.Renamed.back().Table, TSxfTable::Ltype);
  EXPECT_EQ(R.Renamed.back().After, u"LType_32");
}

TEST(DryRun, RefusesACombinationWithoutRows) {
  TJwwData D;
  ASSERT_TRUE(jwfix::Load(D, CensusDrawing(420)));
  TConvSettings S;
  S.ConvMode = kModeCombination;
  TDryRun Out;
  EXPECT_EQ(DryRunOf(D, S, Out), TDryRunStatus::Refused);
}

// The dry run against a real conversion of the fixture, in both modes: the
// census of the written file is the source's census with the transitions
// applied.
TEST(DryRun, AgreesWithTheFileARealConversionWrites) {
  TempDir Dir;
  for (const std::int32_t Ver : {351, 420}) {
    testsupport::WriteFileBytes(Dir / "in.jww", CensusDrawing(Ver));
    for (const TConvSettings& S : {convfixtures::IndividualSettings(), convfixtures::CombinationSettings()}) {
      SCOPED_TRACE(testing::Message() << "version " << Ver << ", mode " << S.ConvMode);
      TDrawingLoader L;
      ASSERT_EQ(L.Load(U16(Dir / "in.jww")), TFileProblem::None);
      const TPenCensus Source = CensusOf(L.Jww());
      TDryRun R;
      ASSERT_EQ(DryRunOf(L.Jww(), S, R), TDryRunStatus::Done);
      TJwwData Conv;
      const TConvOutcome O =
          (S.IsCombinationMode() ? ConvJwwCombination(Conv, S, U16(Dir / "in.jww"), U16(Dir / "out.jww"))
                                 : ConvJwwIndividual(Conv, S, U16(Dir / "in.jww"), U16(Dir / "out.jww")))
              .Outcome;
      ASSERT_EQ(O, TConvOutcome::Converted);
      ASSERT_EQ(L.Load(U16(Dir / "out.jww")), TFileProblem::None);
      EXPECT_EQ(AppliedTo(Source, R.Transitions).Rows(), CensusOf(L.Jww()).Rows());
      EXPECT_EQ(R.SavedVersion, L.Jww().Enthd.jwVer);
      EXPECT_GT(R.Transitions.Records(), 0);
    }
  }
}

// ---- Loading for a look ----

TEST(DrawingLoader, GivesTheReasonAFileDoesNotLoad) {
  TempDir Dir;
  testsupport::WriteFileBytes(Dir / "good.jww", CensusDrawing(420));
  jwfix::ByteVec Cut = CensusDrawing(420);
  Cut.resize(Cut.size() - 200);
  testsupport::WriteFileBytes(Dir / "cut.jww", Cut);
  // An entity list declaring four billion objects in a few bytes: the load
  // stops at the end of the data, reserving only what the bytes can hold.
  jwfix::JwFile Hostile(420);
  jwfix::WriteJwwHeader(Hostile, jwfix::CanonicalHeader(420));
  Hostile.Count(0xFFFFFFFFu);
  testsupport::WriteFileBytes(Dir / "hostile.jww", Hostile.bytes());
  testsupport::WriteFileBytes(Dir / "text.jws", {'J', 'W', 'S'});
  testsupport::WriteFileBytes(Dir / "notes.txt", {'x'});
  TDrawingLoader L;
  EXPECT_EQ(L.Load(U16(Dir / "cut.jww")), TFileProblem::Incomplete);
  EXPECT_TRUE(L.Jww().EntLine.empty()) << "a partial load is not looked at";
  EXPECT_EQ(L.Load(U16(Dir / "hostile.jww")), TFileProblem::Incomplete);
  EXPECT_EQ(L.Load(U16(Dir / "text.jws")), TFileProblem::NotRecognised);
  EXPECT_EQ(L.Load(U16(Dir / "notes.txt")), TFileProblem::NotDrawing);
  EXPECT_EQ(L.Load(U16(Dir / "missing.jww")), TFileProblem::Unreadable);
  EXPECT_EQ(L.Load(U16(Dir / "good.jww")), TFileProblem::None);
  EXPECT_TRUE(L.IsJww());
  EXPECT_EQ(CensusOf(L.Jww()).Rows(), censusfix::ExpectedCensus(420));
}

}  // namespace
