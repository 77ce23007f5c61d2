#include "conversion/Conversion.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "conversion/PenMaps.h"
#include "support/FileIo.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

using namespace convfixtures;
using testsupport::TempDir;
using testsupport::U16;

// ---- Which records each mode changes ----

// The pen every fixture record starts with and the settings that change each
// of its three parts recognisably: colour 2 -> 3, line type 2 (1 for points)
// -> 4, width 0 -> 50 (looked up by colour 2; colour 3's width 70 must not be
// used).
const TEntJwwAttr kSourcePen = Pen(2, 2, 0);

TConvSettings IndividualTables() {
  TConvSettings S;
  S.ColorMap[2] = 3;
  S.LtypeMap[1] = S.LtypeMap[2] = 4;
  S.WidthMap[2] = 50;
  S.WidthMap[3] = 70;
  return S;
}

// "C", "L", "W" for the parts of the pen that changed, "-" for none.
std::string Changes(const TEntJwwAttr& A) {
  EXPECT_TRUE((A.nPenColor == 2 || A.nPenColor == 3) && (A.nPenStyle <= 2 || A.nPenStyle == 4) &&
              (A.nPenWidth == 0 || A.nPenWidth == 50))
      << "unexpected pen " << A.nPenColor << "/" << int{A.nPenStyle} << "/" << A.nPenWidth;
  std::string R =
      std::string(A.nPenColor == 3 ? "C" : "") + (A.nPenStyle == 4 ? "L" : "") + (A.nPenWidth == 50 ? "W" : "");
  return R.empty() ? "-" : R;
}

// The changes of one entity list in the order: line arc point text
// dimension(att Sen Moji Ho1 Ho2 Te1 Te2 Kt1 Kt2) solid.
std::string ListChanges(const ConstEntityLists& L) {
  const TEntJwwSunpo& D = L.sunpo[0];
  std::string R;
  for (const TEntJwwAttr* A :
       {&L.line[0].att, &L.enko[0].att, &L.ten[0].att, &L.moji[0].att, &D.att, &D.Sen.att, &D.Moji.att, &D.Ho1.att,
        &D.Ho2.att, &D.Te1.att, &D.Te2.att, &D.Kt1.att, &D.Kt2.att, &L.solid[0].att})
    R += (R.empty() ? "" : " ") + Changes(*A);
  return R;
}

template <class Doc>
void ExpectChanges(const Doc& D, const std::string& Drawing, const std::string& Block) {
  EXPECT_EQ(ListChanges(D.Entities()), Drawing) << "drawing";
  EXPECT_EQ(ListChanges(Members(D.EntBlockDef[0])), Block) << "block members";
  EXPECT_EQ(Changes(D.EntBlock[0].att), "-") << "block insert";
  EXPECT_EQ(Changes(D.EntBlockDef[0].att), "-") << "block definition";
}

struct SwitchCase {
  const char* Name;
  std::vector<TOptSwitch> On;
  std::int32_t Ver;
  // line arc point text | dim: att Sen Moji Ho1 Ho2 Te1 Te2 Kt1 Kt2 | solid
  std::string Drawing, Block;
};

const std::string kUnchanged = "- - - - - - - - - - - - - -";

const SwitchCase kIndividualCases[] = {
    {"no switch", {}, 420, "CLW CLW C C - - - - - - - - - -", kUnchanged},
    {"dimension colour and width", {OptSunpoColorWidth}, 420, "CLW CLW C C - CW C CW CW C C C C -", kUnchanged},
    {"dimension colour below 4.20", {OptSunpoColorWidth}, 351, "CLW CLW C C - CW C - - - - - - -", kUnchanged},
    {"dimension line type", {OptSunpoLtype}, 420, "CLW CLW C C - L - L L - - - - -", kUnchanged},
    {"dimension line type below 4.20", {OptSunpoLtype}, 300, "CLW CLW C C - L - - - - - - - -", kUnchanged},
    {"solid colour", {OptSolidColor}, 420, "CLW CLW C C - - - - - - - - - C", kUnchanged},
    {"block colour and width",
     {OptBlockColorWidth},
     420,
     "CLW CLW C C - - - - - - - - - -",
     "CW CW C C - - - - - - - - - -"},
    {"block line type", {OptBlockLtype}, 420, "CLW CLW C C - - - - - - - - - -", "L L - - - - - - - - - - - -"},
    {"block and dimension colour",
     {OptBlockColorWidth, OptSunpoColorWidth},
     420,
     "CLW CLW C C - CW C CW CW C C C C -",
     "CW CW C C - CW C CW CW C C C C -"},
    {"block and dimension line type",
     {OptBlockLtype, OptSunpoLtype},
     420,
     "CLW CLW C C - L - L L - - - - -",
     "L L - - - L - L L - - - - -"},
    {"block colour with dimension line type",
     {OptBlockColorWidth, OptSunpoLtype},
     420,
     "CLW CLW C C - L - L L - - - - -",
     "CW CW C C - - - - - - - - - -"},
    {"block colour and solid",
     {OptBlockColorWidth, OptSolidColor},
     420,
     "CLW CLW C C - - - - - - - - - C",
     "CW CW C C - - - - - - - - - C"},
    {"block line type and solid",
     {OptBlockLtype, OptSolidColor},
     420,
     "CLW CLW C C - - - - - - - - - C",
     "L L - - - - - - - - - - - -"},
    {"all switches",
     {OptMojiTypeColor, OptSunpoSetColor, OptSolidColor, OptSunpoColorWidth, OptBlockColorWidth, OptSunpoLtype,
      OptBlockLtype, OptWidthOverwrite},
     420,
     "CLW CLW C C - CLW C CLW CLW C C C C C",
     "CLW CLW C C - CLW C CLW CLW C C C C C"},
};

TEST(ApplyIndividual, ChangesTheRecordsItsSwitchesName) {
  for (const SwitchCase& C : kIndividualCases) {
    SCOPED_TRACE(C.Name);
    TConvSettings S = IndividualTables();
    for (TOptSwitch Sw : C.On) S.OptFlags[Sw] = 1;
    TJwwData JWW;
    InitJww(JWW, C.Ver);
    AddContent(JWW, kSourcePen);
    ApplyIndividual(JWW, S);
    ExpectChanges(JWW, C.Drawing, C.Block);
    TJwsData JWS;
    InitJws(JWS, C.Ver);
    AddContent(JWS, kSourcePen);
    ApplyIndividual(JWS, S);
    ExpectChanges(JWS, C.Drawing, C.Block);
  }
}

// Only the value 1 turns the first seven switches on.
TEST(ApplyIndividual, SwitchValuesOtherThanOneAreOff) {
  TConvSettings S = IndividualTables();
  S.OptFlags.fill(2);
  TJwwData JWW;
  InitJww(JWW, 420);
  AddContent(JWW, kSourcePen);
  JWW.Enthd.lnSunpou1 = 222;
  ApplyIndividual(JWW, S);
  ExpectChanges(JWW, kIndividualCases[0].Drawing, kUnchanged);
  EXPECT_EQ(JWW.Enthd.lnSunpou1, 222);
  EXPECT_EQ(JWW.EntMoj[1].anMojiCol, 2);
}

TEST(ApplyCombination, ChangesLinesAndArcsAndBlockMembersByTheBlockSwitches) {
  struct Case {
    std::vector<TOptSwitch> On;
    std::string Block;
  };
  const std::vector<TOptSwitch> Others = {OptMojiTypeColor,   OptSunpoSetColor, OptSolidColor,
                                          OptSunpoColorWidth, OptSunpoLtype,    OptWidthOverwrite};
  const Case Cases[] = {
      {{}, kUnchanged},
      {{OptBlockColorWidth}, "CW CW - - - - - - - - - - - -"},
      {{OptBlockLtype}, "L L - - - - - - - - - - - -"},
      {{OptBlockColorWidth, OptBlockLtype}, "CLW CLW - - - - - - - - - - - -"},
  };
  for (const Case& C : Cases) {
    for (const bool WithOthers : {false, true}) {
      SCOPED_TRACE(C.Block + (WithOthers ? " with the other switches" : ""));
      TConvSettings S;
      S.ConvMode = kModeCombination;
      S.CombRows[4] = {
          .Enabled = true, .SrcColorIdx = 1, .SrcLtypeIdx = 1, .DstColor = 3, .DstLtype = 4, .DstWidth = 50};
      S.DeriveCombSources();
      for (TOptSwitch Sw : C.On) S.OptFlags[Sw] = 1;
      if (WithOthers)
        for (TOptSwitch Sw : Others) S.OptFlags[Sw] = 1;
      TJwwData JWW;
      InitJww(JWW, 420);
      AddContent(JWW, kSourcePen);
      JWW.Enthd.lnSunpou1 = 222;
      ApplyCombination(JWW, S);
      ExpectChanges(JWW, "CLW CLW - - - - - - - - - - - -", C.Block);
      EXPECT_EQ(JWW.Enthd.lnSunpou1, 222);
      EXPECT_EQ(JWW.EntMoj[1].anMojiCol, 2);
    }
  }
}

// A record whose pair no row names keeps even pens outside the numbering.
TEST(ApplyCombination, RecordsNoRowMatchesKeepTheirPens) {
  TConvSettings S;
  S.CombRows[1] = {.Enabled = true, .SrcColorIdx = 0, .SrcLtypeIdx = 0, .DstColor = 5};
  S.DeriveCombSources();
  TJwwData JWW;
  InitJww(JWW, 420);
  AddRecord(JWW.EntNo, JWW.EntLine, kLine, Pen(1, 2, 0));
  AddRecord(JWW.EntNo, JWW.EntLine, kLine, Pen(0, 46, 40000));
  AddRecord(JWW.EntNo, JWW.EntLine, kLine, Pen(1, 1, 40000));
  ApplyCombination(JWW, S);
  EXPECT_EQ(JWW.EntLine[0].att, Pen(1, 2, 0));
  EXPECT_EQ(JWW.EntLine[1].att, Pen(0, 46, 40000));
  EXPECT_EQ(JWW.EntLine[2].att, Pen(5, 1, 0));
}

// Tables from a hand-edited file may hold anything; the pens a conversion
// stores are still valid numbers, which the writer keeps as they are.
TEST(ApplyBothModes, TableValuesOutsideTheirRangesNeverYieldAnInvalidPen) {
  TConvSettings S;
  const std::int32_t BadColors[] = {-1, 10, 99, 357, 70000};
  const std::int32_t BadLtypes[] = {-5, 10, 20, 63, 255};
  const std::int32_t BadWidths[] = {-2, 30001, 70000};
  for (int R = 1; R <= kColorRows; ++R) {
    S.ColorMap[R] = BadColors[R % 5];
    S.WidthMap[R] = BadWidths[R % 3];
  }
  for (int R = 1; R <= kLtypeRows; ++R) S.LtypeMap[R] = BadLtypes[R % 5];
  S.OptFlags.fill(1);
  S.CombRows[1] = {
      .Enabled = true, .SrcColorIdx = 0, .SrcLtypeIdx = 0, .DstColor = 500, .DstLtype = 20, .DstWidth = 40000};
  S.CombRows[2] = {.Enabled = true, .SrcColorIdx = -1, .SrcLtypeIdx = 300, .DstColor = 3};
  S.RecomputeVerRaise();
  S.DeriveCombSources();

  std::vector<TEntJwwAttr> Pens;
  for (int C : {0, 1, 5, 10, 101, 357, 1000})
    for (int L : {0, 1, 10, 20, 46, 62, 63, 200})
      for (int W : {0, 35, 40000}) Pens.push_back(Pen(C, L, W));
  auto Valid = [](const TEntJwwAttr& A) {
    return IsColorNumber(A.nPenColor) && (IsLtypeNumber(A.nPenStyle) || A.nPenStyle == 46) && A.nPenWidth <= 30000;
  };
  TempDir Dir;
  for (const bool Individual : {true, false}) {
    SCOPED_TRACE(Individual ? "individual" : "combination");
    TJwwData D;
    InitJww(D, 420);
    for (const TEntJwwAttr& A : Pens) AddRecord(D.EntNo, D.EntLine, kLine, A);
    if (Individual) ApplyIndividual(D, S);
    else ApplyCombination(D, S);
    for (std::size_t I = 0; I < Pens.size(); ++I) {
      const bool Matches = Pens[I].nPenColor == 1 && Pens[I].nPenStyle == 1;
      if (Individual || Matches) EXPECT_TRUE(Valid(D.EntLine[I].att)) << I;
      else EXPECT_EQ(D.EntLine[I].att, Pens[I]) << I;
    }
    ASSERT_TRUE(D.FileOut(U16(Dir / "out.jww"), 420));
    TJwwData Back;
    ASSERT_TRUE(Back.FileIn(U16(Dir / "out.jww")));
    for (std::size_t I = 0; I < Pens.size(); ++I) {
      if (Valid(D.EntLine[I].att)) {
        EXPECT_EQ(Back.EntLine[I].att, D.EntLine[I].att) << I;
      }
    }
  }
}

// ---- Header values of the individual conversion ----

TEST(MapMojiTypeColor, TakesOnlyStandardColours) {
  struct Case {
    std::int32_t Map4, Out;
  };
  for (const Case C : {Case{105, 4}, Case{6, 6}, Case{0, 4}, Case{9, 9}}) {
    TConvSettings S;
    S.ColorMap[4] = C.Map4;
    EXPECT_EQ(MapMojiTypeColor(S, 4), C.Out) << C.Map4;
  }
  const TConvSettings Keep;
  EXPECT_EQ(MapMojiTypeColor(Keep, 0), 1);      // a number outside the numbering maps to 1
  EXPECT_EQ(MapMojiTypeColor(Keep, 120), 120);  // an SXF colour stays
}

TEST(MapSunpouColorDigits, ReplacesUnitsTensAndHundreds) {
  TConvSettings S;
  S.ColorMap[2] = 5;
  S.ColorMap[3] = 103;  // an SXF colour: the digit stays
  struct Case {
    std::int32_t In, Out;
  };
  const Case Cases[] = {
      {112, 115},
      {5, 115},  // a digit 0 maps to colour 1
      {0, 111},
      {7212, 7515},  // digits above the hundreds stay
      {333, 333},
      // Signed digits, each taken from the value as changed so far: -2 maps
      // to 1 (-112 + 3 = -109), then the tens digit 0 (-99), then the
      // hundreds digit 0 (1).
      {-112, 1},
      {2147483000, 2147483111},
  };
  for (const Case& C : Cases) EXPECT_EQ(MapSunpouColorDigits(S, C.In), C.Out) << C.In;
}

// Replacing the low digits of a value near the top of the range would
// overflow; such a value is left as it was.
TEST(MapSunpouColorDigits, AResultBeyondTheRangeLeavesTheValue) {
  TConvSettings S;
  S.ColorMap[4] = S.ColorMap[6] = S.ColorMap[7] = 9;
  const std::int32_t Max = std::numeric_limits<std::int32_t>::max();  // digits ...647
  EXPECT_EQ(MapSunpouColorDigits(S, Max), Max);
  EXPECT_EQ(MapSunpouColorDigits(S, Max - 400), Max - 400 + 2 + 50);  // ...247 becomes ...299
}

TEST(ApplyIndividual, HeaderValuesChangeOnlyWithTheirSwitches) {
  TConvSettings S;
  S.ColorMap[2] = 5;
  S.ColorMap[4] = 105;
  S.ColorMap[6] = 7;
  for (const bool On : {false, true}) {
    SCOPED_TRACE(On);
    S.OptFlags[OptMojiTypeColor] = S.OptFlags[OptSunpoSetColor] = On ? 1 : 0;
    TJwwData JWW;
    InitJww(JWW, 600);
    JWW.Enthd.lnSunpou1 = 112;
    ApplyIndividual(JWW, S);
    EXPECT_EQ(JWW.Enthd.lnSunpou1, On ? 115 : 112);
    EXPECT_EQ(JWW.EntMoj[1].anMojiCol, On ? 5 : 2);
    EXPECT_EQ(JWW.EntMoj[3].anMojiCol, 4);  // SXF colour not taken over
    EXPECT_EQ(JWW.EntMoj[5].anMojiCol, On ? 7 : 6);
  }
}

// ---- Whole files: load, raise, change, save, clear ----

using ConvJwwFn = TConvResult (*)(TJwwData&, const TConvSettings&, std::u16string_view, std::u16string_view,
                                  TSaveCheck);
using ConvJwsFn = TConvResult (*)(TJwsData&, const TConvSettings&, std::u16string_view, std::u16string_view,
                                  TSaveCheck);

struct Mode {
  const char* Name;
  ConvJwwFn JwwFn;
  ConvJwsFn JwsFn;
  TConvOutcome Jww(TJwwData& D, const TConvSettings& S, std::u16string_view Src, std::u16string_view Dst) const {
    return JwwFn(D, S, Src, Dst, TSaveCheck::ReadBack).Outcome;
  }
  TConvOutcome Jws(TJwsData& D, const TConvSettings& S, std::u16string_view Src, std::u16string_view Dst) const {
    return JwsFn(D, S, Src, Dst, TSaveCheck::ReadBack).Outcome;
  }
};
const Mode kModes[] = {{"individual", ConvJwwIndividual, ConvJwsIndividual},
                       {"combination", ConvJwwCombination, ConvJwsCombination}};

std::int32_t JwwVersionAt(const std::filesystem::path& P) {
  TJwwData D;
  EXPECT_TRUE(D.FileHeaderIn(U16(P)));
  return D.Enthd.jwVer;
}

std::int32_t JwsVersionAt(const std::filesystem::path& P) {
  TJwsData D;
  EXPECT_TRUE(D.FileHeaderIn(U16(P)));
  return D.Enthd.jwVer;
}

TEST(ConvertFile, RaisesTheVersionTheSettingsNeedAndNeverLowersIt) {
  struct Case {
    std::int32_t Ver;
    std::function<void(TConvSettings&)> Set;
    std::int32_t Jww, Jws;  // saved versions (a figure of 3.00 is written as 3.51)
  };
  const Case Cases[] = {
      {300, [](TConvSettings&) {}, 300, 351},
      {300, [](TConvSettings& S) { S.WidthMap[1] = 0; }, 300, 351},
      {250, [](TConvSettings& S) { S.WidthMap[1] = 20; }, 351, 351},
      {300, [](TConvSettings& S) { S.ColorMap[5] = 103; }, 420, 420},
      {351, [](TConvSettings& S) { S.LtypeMap[1] = 31; }, 420, 420},
      {420, [](TConvSettings& S) { S.WidthMap[1] = 20; }, 420, 420},
      {600, [](TConvSettings& S) { S.ColorMap[5] = 103; }, 600, 600},
      {300, [](TConvSettings& S) { S.CombRows[2] = {.Enabled = true, .DstWidth = 30}; }, 351, 351},
      {300, [](TConvSettings& S) { S.CombRows[2] = {.Enabled = false, .DstColor = 120}; }, 300, 351},
  };
  TempDir Dir;
  for (const Mode& M : kModes) {
    for (const Case& C : Cases) {
      SCOPED_TRACE(std::string(M.Name) + " version " + std::to_string(C.Ver));
      TConvSettings S;
      C.Set(S);
      S.RecomputeVerRaise();
      S.DeriveCombSources();
      WriteJww(Dir / "in.jww", C.Ver, kSourcePen);
      WriteJws(Dir / "in.jws", C.Ver, kSourcePen);
      TJwwData JWW;
      TJwsData JWS;
      EXPECT_EQ(M.Jww(JWW, S, U16(Dir / "in.jww"), U16(Dir / "out.jww")), TConvOutcome::Converted);
      EXPECT_EQ(M.Jws(JWS, S, U16(Dir / "in.jws"), U16(Dir / "out.jws")), TConvOutcome::Converted);
      EXPECT_EQ(JwwVersionAt(Dir / "out.jww"), C.Jww);
      EXPECT_EQ(JwsVersionAt(Dir / "out.jws"), C.Jws);
    }
  }
}

// The load of a version-3.00 file fills the SXF parts from the dimension's
// own attribute; raised to 4.20 they are written, converted.
TEST(ConvJwwIndividual, DimensionOfAVersion300FileRaisedTo420) {
  TempDir Dir;
  WriteJww(Dir / "in.jww", 300, kSourcePen);
  TConvSettings S = IndividualTables();
  S.ColorMap[2] = 103;
  S.OptFlags[OptSunpoColorWidth] = 1;
  S.RecomputeVerRaise();
  ASSERT_EQ(S.VerRaise, 2);
  TJwwData JWW;
  ASSERT_EQ(ConvJwwIndividual(JWW, S, U16(Dir / "in.jww"), U16(Dir / "out.jww")).Outcome, TConvOutcome::Converted);
  TJwwData Out;
  ASSERT_TRUE(Out.FileIn(U16(Dir / "out.jww")));
  EXPECT_EQ(Out.Enthd.jwVer, 420);
  const TEntJwwSunpo& D = Out.EntSunpo[0];
  EXPECT_EQ(D.att, kSourcePen);
  for (const TEntJwwAttr* A : {&D.Sen.att, &D.Ho1.att, &D.Ho2.att}) EXPECT_EQ(*A, Pen(103, 2, 50));
  for (const TEntJwwAttr* A : {&D.Moji.att, &D.Te1.att, &D.Te2.att, &D.Kt1.att, &D.Kt2.att})
    EXPECT_EQ(A->nPenColor, 103);
}

TEST(ConvJwwIndividual, SolidOfItsOwnColourGetsColourOne) {
  TempDir Dir;
  {
    TJwwData D;
    InitJww(D, 600);
    TEntJwwSolid& X = AddRecord(D.EntNo, D.EntSolid, kSolid, Pen(10, 1));
    X.Color = 0x123456;
    ASSERT_TRUE(D.FileOut(U16(Dir / "in.jww"), 600));
  }
  TConvSettings S;
  S.OptFlags[OptSolidColor] = 1;
  TJwwData JWW;
  ASSERT_EQ(ConvJwwIndividual(JWW, S, U16(Dir / "in.jww"), U16(Dir / "out.jww")).Outcome, TConvOutcome::Converted);
  TJwwData Out;
  ASSERT_TRUE(Out.FileIn(U16(Dir / "out.jww")));
  EXPECT_EQ(Out.EntSolid[0].att.nPenColor, 1);
  EXPECT_EQ(Out.EntSolid[0].Color, 0u);  // the own colour is no longer in the file
  EXPECT_EQ(std::filesystem::file_size(Dir / "out.jww") + 4, std::filesystem::file_size(Dir / "in.jww"));
}

// A figure has no text types and no dimension setting: with their switches on
// its header bytes stay as they were, only the entities change.
TEST(ConvJwsIndividual, HeaderSwitchesChangeOnlyTheEntities) {
  TempDir Dir;
  WriteJws(Dir / "in.jws", 600, kSourcePen);
  TConvSettings S = IndividualTables();
  S.OptFlags[OptMojiTypeColor] = S.OptFlags[OptSunpoSetColor] = 1;
  TJwsData JWS;
  ASSERT_EQ(ConvJwsIndividual(JWS, S, U16(Dir / "in.jws"), U16(Dir / "out.jws")).Outcome, TConvOutcome::Converted);
  const auto In = testsupport::ReadFileBytes(Dir / "in.jws");
  const auto Out = testsupport::ReadFileBytes(Dir / "out.jws");
  ASSERT_EQ(In.size(), Out.size());
  EXPECT_TRUE(std::equal(In.begin(), In.begin() + 452, Out.begin()));
  EXPECT_NE(In, Out);
  TJwsData Back;
  ASSERT_TRUE(Back.FileIn(U16(Dir / "out.jws")));
  ExpectChanges(Back, kIndividualCases[0].Drawing, kUnchanged);
}

// Strings keep the form the source had: UTF-16 when it held one.
TEST(ConvertFile, KeepsTheStringFormOfTheSource) {
  TempDir Dir;
  for (const bool Utf16 : {false, true}) {
    SCOPED_TRACE(Utf16);
    TJwwData D;
    InitJww(D, 600);
    AddContent(D, kSourcePen);
    D.SetFileOutOption(Utf16 ? kOutUtf16 : 0);
    ASSERT_TRUE(D.FileOut(U16(Dir / "in.jww"), 600));
    TJwwData JWW;
    JWW.FileOutOpt = kOutUtf16 | kOutImageNoTemp;  // left over from elsewhere; the conversion sets its own
    ASSERT_EQ(ConvJwwIndividual(JWW, IndividualTables(), U16(Dir / "in.jww"), U16(Dir / "out.jww")).Outcome,
              TConvOutcome::Converted);
    TJwwData Out;
    ASSERT_TRUE(Out.FileIn(U16(Dir / "out.jww")));
    EXPECT_EQ(Out.MojiEncode, Utf16);
    EXPECT_EQ(Out.EntMoji[0].str, u"文字");
  }
}

TEST(ConvertFile, AFailedLoadWritesNothingAndAFailedSaveLeavesNoFile) {
  TempDir Dir;
  WriteJww(Dir / "in.jww", 600, kSourcePen);
  auto Bytes = testsupport::ReadFileBytes(Dir / "in.jww");
  Bytes.resize(Bytes.size() / 2);
  testsupport::WriteFileBytes(Dir / "cut.jww", Bytes);
  testsupport::WriteFileBytes(Dir / "old.jww", {1, 2, 3});
  std::filesystem::create_directory(Dir / "folder.jww");
  for (const Mode& M : kModes) {
    SCOPED_TRACE(M.Name);
    TJwwData JWW;
    EXPECT_EQ(M.Jww(JWW, IndividualTables(), U16(Dir / "cut.jww"), U16(Dir / "old.jww")), TConvOutcome::LoadFailed);
    EXPECT_EQ(testsupport::ReadFileBytes(Dir / "old.jww"), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(JWW.EntLine.size(), 0u);
    EXPECT_EQ(M.Jww(JWW, IndividualTables(), U16(Dir / "missing.jww"), U16(Dir / "new.jww")), TConvOutcome::LoadFailed);
    EXPECT_FALSE(std::filesystem::exists(Dir / "new.jww"));
    EXPECT_EQ(M.Jww(JWW, IndividualTables(), U16(Dir / "in.jww"), U16(Dir / "no" / "out.jww")),
              TConvOutcome::SaveFailed);
    EXPECT_EQ(M.Jww(JWW, IndividualTables(), U16(Dir / "in.jww"), U16(Dir / "folder.jww")), TConvOutcome::SaveFailed);
    EXPECT_TRUE(std::filesystem::is_directory(Dir / "folder.jww"));
    EXPECT_EQ(JWW.EntLine.size(), 0u);
    EXPECT_EQ(JWW.EntBlockDef.size(), 0u);
  }
  // Nothing but the files made here: no temporary file was left behind.
  int Files = 0;
  for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator(Dir.path())) ++Files;
  EXPECT_EQ(Files, 4);
}

// The save itself removes a failed output, an older destination file among
// it: after a save that fails at its last step, for a drawing and a figure,
// no file of that name remains.
TEST(ConvertFile, AFailedSaveLeavesNoOlderDestinationFile) {
  TempDir Dir;
  WriteJww(Dir / "in.jww", 600, kSourcePen);
  WriteJws(Dir / "in.jws", 420, kSourcePen);
  SetFileStepFaultHook([](FileStep Step) { return Step == FileStep::Rename ? EIO : 0; });
  for (const Mode& M : kModes) {
    SCOPED_TRACE(M.Name);
    testsupport::WriteFileBytes(Dir / "out.jww", {1, 2, 3});
    testsupport::WriteFileBytes(Dir / "out.jws", {1, 2, 3});
    TJwwData JWW;
    TJwsData JWS;
    EXPECT_EQ(M.Jww(JWW, IndividualTables(), U16(Dir / "in.jww"), U16(Dir / "out.jww")), TConvOutcome::SaveFailed);
    EXPECT_EQ(M.Jws(JWS, IndividualTables(), U16(Dir / "in.jws"), U16(Dir / "out.jws")), TConvOutcome::SaveFailed);
    EXPECT_FALSE(std::filesystem::exists(Dir / "out.jww"));
    EXPECT_FALSE(std::filesystem::exists(Dir / "out.jws"));
  }
  SetFileStepFaultHook({});
  int Files = 0;
  for ([[maybe_unused]] const auto& E : std::filesystem::directory_iterator(Dir.path())) ++Files;
  EXPECT_EQ(Files, 2) << "only the sources";
}

// The document is cleared with JwwDataFree: the images the load extracted
// into the working folder are gone, and the converted file keeps them.
TEST(ConvJwwIndividual, ClearsTheDocumentAndItsExtractedImages) {
  TempDir Dir, Work, Own;
  const std::vector<std::uint8_t> Image = {'P', 'N', 'G', 0, 1, 2, 3};
  {
    TJwwData D;
    InitJww(D, 700);
    D.BindImageFolder = Own.u16();
    D.BindImageExp = D.BindImageExr = true;
    testsupport::WriteFileBytes(Own / "pic.png", Image);
    D.BindImage.push_back({u"pic.png", static_cast<std::int32_t>(Image.size()), false});
    TEntJwwMoji& M = AddRecord(D.EntNo, D.EntMoji, kMoji, Pen(2, 1));
    M.dSizeX = M.dSizeY = 3;
    M.str = u"^@BM%temp%pic.png,100,100,0,0,1,0";
    ASSERT_TRUE(D.FileOut(U16(Dir / "in.jww"), 700));
  }
  TJwwData JWW;
  JWW.BindImageFolder = Work.u16();
  JWW.BindImageExp = JWW.BindImageExr = true;
  ASSERT_EQ(ConvJwwIndividual(JWW, IndividualTables(), U16(Dir / "in.jww"), U16(Dir / "out.jww")).Outcome,
            TConvOutcome::Converted);
  EXPECT_TRUE(std::filesystem::is_empty(Work.path()));
  EXPECT_TRUE(JWW.BindImage.empty());
  EXPECT_TRUE(JWW.EntMoji.empty());

  TJwwData Out;
  Out.BindImageFolder = Work.u16();
  Out.BindImageExp = Out.BindImageExr = true;
  ASSERT_TRUE(Out.FileIn(U16(Dir / "out.jww")));
  ASSERT_EQ(Out.BindImage.size(), 1u);
  EXPECT_EQ(testsupport::ReadFileBytes(Work / "pic.png"), Image);
  EXPECT_EQ(Out.EntMoji[0].att.nPenColor, 3);
  JwwDataFree(Out);
}

}  // namespace
