// Both conversion modes on every real drawing and figure: after reloading,
// the output differs from the reloaded source in exactly the pens the rules
// name, each equal to the value worked out here from the source's pen, and
// in nothing else.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/TestSupport.h"
#include "conversion/Conversion.h"
#include "conversion/PenMaps.h"
#include "documents/ByteStream.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "tests/conversion/ConversionFixtures.h"

namespace {

using convfixtures::CombinationSettings;
using convfixtures::IndividualSettings;
using testsupport::TempDir;
using testsupport::U16;

// Where a pen sits, as far as the rules tell records apart.
enum class Part { Line, DimLine, Point, DimPoint, Text, DimText, DimAtt, Solid, Insert, Definition };

// The kind a part is written as, for the writer's rules.
EntKind WrittenKind(Part P) {
  switch (P) {
    case Part::Line:
    case Part::DimLine: return kLine;
    case Part::Point:
    case Part::DimPoint: return kTen;
    case Part::Text:
    case Part::DimText: return kMoji;
    case Part::DimAtt: return kSunpo;
    case Part::Solid: return kSolid;
    case Part::Insert: return kBlock;
    case Part::Definition: return kBlockDef;
  }
  return kBlockDef;
}

bool In(int V, int Lo, int Hi) { return V >= Lo && V <= Hi; }

// The writer's rules for a file of version 4.20 or later (every output here
// is one: the settings raise to 4.20): invalid numbers become 1, widths
// above 30000 become 0.
TEntJwwAttr Written(Part P, TEntJwwAttr A) {
  const EntKind K = WrittenKind(P);
  const int C = A.nPenColor, L = A.nPenStyle;
  const bool SxfColor = In(C, 101, 356);
  if (K == kLine && !(In(L, 1, 9) || In(L, 11, 19) || In(L, 31, 62))) A.nPenStyle = 1;
  if (K == kTen && L != 1 && L != 100) A.nPenStyle = 1;
  if (K == kMoji && !In(L, 1, 9)) A.nPenStyle = 1;
  if (K >= kLine && K <= kSunpo && !(In(C, 1, 9) || SxfColor)) A.nPenColor = 1;
  if (K == kSolid && !(In(C, 1, 10) || SxfColor)) A.nPenColor = 1;
  if (A.nPenWidth > 30000) A.nPenWidth = 0;
  return A;
}

// Expected pens of the individual conversion with every switch on.
TEntJwwAttr Individual(const TConvSettings& S, Part P, TEntJwwAttr A) {
  switch (P) {
    case Part::Line:
    case Part::DimLine:
      A.nPenWidth = static_cast<std::uint16_t>(MapWidth(S, A.nPenColor, A.nPenWidth));
      A.nPenColor = static_cast<std::uint16_t>(MapColor(S, A.nPenColor));
      A.nPenStyle = static_cast<std::uint8_t>(MapLtype(S, A.nPenStyle));
      break;
    case Part::Point:
    case Part::DimPoint:
    case Part::Text:
    case Part::DimText:
    case Part::Solid: A.nPenColor = static_cast<std::uint16_t>(MapColor(S, A.nPenColor)); break;
    case Part::DimAtt:
    case Part::Insert:
    case Part::Definition: break;
  }
  return A;
}

// Expected pens of the combination conversion with both block switches on.
TEntJwwAttr Combination(const TConvSettings& S, Part P, TEntJwwAttr A) {
  if (P != Part::Line) return A;
  const TPen Pen = MapCombination(S, A.nPenColor, A.nPenStyle, A.nPenWidth);
  A.nPenColor = static_cast<std::uint16_t>(Pen.Color);
  A.nPenStyle = static_cast<std::uint8_t>(Pen.Ltype);
  A.nPenWidth = static_cast<std::uint16_t>(Pen.Width);
  return A;
}

using ExpectFn = TEntJwwAttr (*)(const TConvSettings&, Part, TEntJwwAttr);

// Checks every pen of Out against the one expected from Src, then gives it
// Src's pen, so that afterwards the two differ only where something other
// than a pen changed.
class PenCheck {
 public:
  PenCheck(const TConvSettings& S, ExpectFn Expect) : S_(S), Expect_(Expect) {}

  void Lists(const ConstEntityLists& Src, const EntityLists& Out) {
    ASSERT_EQ(Src.no, Out.no);
    Records(Src.line, Out.line, [&](const TEntJwwLine& A, TEntJwwLine& B) { Pen(Part::Line, A.att, B.att); });
    Records(Src.enko, Out.enko, [&](const TEntJwwEnko& A, TEntJwwEnko& B) { Pen(Part::Line, A.att, B.att); });
    Records(Src.ten, Out.ten, [&](const TEntJwwTen& A, TEntJwwTen& B) { Pen(Part::Point, A.att, B.att); });
    Records(Src.moji, Out.moji, [&](const TEntJwwMoji& A, TEntJwwMoji& B) { Pen(Part::Text, A.att, B.att); });
    Records(Src.sunpo, Out.sunpo, [&](const TEntJwwSunpo& A, TEntJwwSunpo& B) { Sunpo(A, B); });
    Records(Src.solid, Out.solid, [&](const TEntJwwSolid& A, TEntJwwSolid& B) { Solid(A, B); });
    Records(Src.block, Out.block, [&](const TEntJwwBlock& A, TEntJwwBlock& B) { Pen(Part::Insert, A.att, B.att); });
  }

  // The output holds the used definitions of the source, in their order.
  void Definitions(const std::vector<TEntJwwBlockDef>& Src, std::vector<TEntJwwBlockDef>& Out) {
    std::size_t I = 0;
    for (const TEntJwwBlockDef& A : Src) {
      if (!A.ref_flag) continue;
      ASSERT_LT(I, Out.size());
      TEntJwwBlockDef& B = Out[I++];
      SCOPED_TRACE("block definition " + std::to_string(I));
      Pen(Part::Definition, A.att, B.att);
      Lists(Members(A), Members(B));
    }
    EXPECT_EQ(I, Out.size());
  }

  int Checked() const { return Checked_; }

 private:
  template <class Record, class Fn>
  void Records(const RecordArray<Record>& Src, RecordArray<Record>& Out, Fn Each) {
    ASSERT_EQ(Src.size(), Out.size());
    for (std::size_t I = 0; I < Src.size(); ++I) Each(Src[I], Out[I]);
  }

  // A solid of its own colour (10) that gets a pen colour loses its own
  // colour value, which the file holds only for colour 10.
  void Solid(const TEntJwwSolid& A, TEntJwwSolid& B) {
    if (A.att.nPenColor == 10 && B.att.nPenColor != 10) {
      EXPECT_EQ(B.Color, 0u);
      B.Color = A.Color;
    }
    Pen(Part::Solid, A.att, B.att);
  }

  void Sunpo(const TEntJwwSunpo& A, TEntJwwSunpo& B) {
    Pen(Part::DimAtt, A.att, B.att);
    Pen(Part::DimLine, A.Sen.att, B.Sen.att);
    Pen(Part::DimText, A.Moji.att, B.Moji.att);
    Pen(Part::DimLine, A.Ho1.att, B.Ho1.att);
    Pen(Part::DimLine, A.Ho2.att, B.Ho2.att);
    for (auto M : {&TEntJwwSunpo::Te1, &TEntJwwSunpo::Te2, &TEntJwwSunpo::Kt1, &TEntJwwSunpo::Kt2})
      Pen(Part::DimPoint, (A.*M).att, (B.*M).att);
  }

  void Pen(Part P, const TEntJwwAttr& Src, TEntJwwAttr& Out) {
    const TEntJwwAttr Want = Written(P, Expect_(S_, P, Src));
    if (Out != Want && Failures_++ < 5)
      ADD_FAILURE() << "part " << static_cast<int>(P) << ": source " << Src.nPenColor << "/" << int{Src.nPenStyle}
                    << "/" << Src.nPenWidth << ", expected " << Want.nPenColor << "/" << int{Want.nPenStyle} << "/"
                    << Want.nPenWidth << ", written " << Out.nPenColor << "/" << int{Out.nPenStyle} << "/"
                    << Out.nPenWidth;
    EXPECT_EQ(Out.lGroup, Src.lGroup);
    Out.nPenColor = Src.nPenColor;
    Out.nPenStyle = Src.nPenStyle;
    Out.nPenWidth = Src.nPenWidth;
    ++Checked_;
  }

  const TConvSettings& S_;
  ExpectFn Expect_;
  int Checked_ = 0;
  int Failures_ = 0;
};

template <class Doc>
std::vector<std::uint8_t> Saved(Doc& D, std::int32_t Ver) {
  D.SetFileOutOption(D.MojiEncode ? kOutUtf16 : 0);
  MemorySink Sink;
  ByteWriter W(Sink);
  EXPECT_TRUE(D.SaveTo(W, Ver));
  return Sink.bytes;
}

// The header values the individual conversion changes, checked and then set
// back to the source's.
void CheckHeader(const TConvSettings& S, bool IndividualMode, const TJwwData& Src, TJwwData& Out) {
  ASSERT_EQ(Src.EntMoj.size(), Out.EntMoj.size());
  for (std::size_t I = 0; I < Src.EntMoj.size(); ++I) {
    const std::int32_t C = Src.EntMoj[I].anMojiCol;
    EXPECT_EQ(Out.EntMoj[I].anMojiCol, IndividualMode ? MapMojiTypeColor(S, C) : C) << "text type " << I;
    Out.EntMoj[I].anMojiCol = C;
  }
  const std::int32_t V = Src.Enthd.lnSunpou1;
  EXPECT_EQ(Out.Enthd.lnSunpou1, IndividualMode ? MapSunpouColorDigits(S, V) : V);
  Out.Enthd.lnSunpou1 = V;
}
void CheckHeader(const TConvSettings&, bool, const TJwsData&, TJwsData&) {}

template <class Doc>
void Prepare(Doc& D, const TempDir& Work, bool Extract) {
  D.BindImageFolder = Work.u16();
  D.BindImageExp = Extract;
  D.BindImageExr = true;
}

template <class Doc, class Convert>
void CheckConversion(const std::filesystem::path& Source, const TConvSettings& S, ExpectFn Expect, Convert Conv) {
  TempDir Out, Work, Lists;
  const std::filesystem::path Dest = Out / "out";
  Doc Converter;
  Prepare(Converter, Work, true);
  ASSERT_EQ(Conv(Converter, S, U16(Source), U16(Dest), TSaveCheck::ReadBack).Outcome, TConvOutcome::Converted);
  EXPECT_TRUE(std::filesystem::is_empty(Work.path())) << "extracted images left behind";

  // Both reloaded with the image list only, so both saves below drop the
  // images alike; the image lists are compared on their own.
  Doc Src, Conv2;
  Prepare(Src, Lists, false);
  Prepare(Conv2, Lists, false);
  ASSERT_TRUE(Src.FileIn(U16(Source)));
  ASSERT_TRUE(Conv2.FileIn(U16(Dest)));
  EXPECT_EQ(Conv2.Enthd.jwVer, RaisedVersion(Src.Enthd.jwVer, S.VerRaise));
  EXPECT_EQ(Conv2.MojiEncode, Src.MojiEncode);
  ASSERT_EQ(Conv2.BindImage.size(), Src.BindImage.size());

  PenCheck Check(S, Expect);
  Check.Lists(Src.Entities(), Conv2.Entities());
  Check.Definitions(Src.EntBlockDef, Conv2.EntBlockDef);
  CheckHeader(S, Expect == &Individual, Src, Conv2);
  EXPECT_GT(Check.Checked(), 0);

  Src.Enthd.jwVer = Conv2.Enthd.jwVer;
  const auto A = Saved(Src, Conv2.Enthd.jwVer);
  const auto B = Saved(Conv2, Conv2.Enthd.jwVer);
  ASSERT_EQ(A.size(), B.size()) << "the output differs in more than its pens";
  const auto Diff = std::mismatch(A.begin(), A.end(), B.begin());
  EXPECT_TRUE(Diff.first == A.end()) << "first difference beyond the pens at byte " << (Diff.first - A.begin());
}

struct CorpusKind {
  std::string Sub, Ext;
  friend void PrintTo(const CorpusKind& K, std::ostream* Os) { *Os << K.Sub; }
};

class CorpusConversion : public ::testing::TestWithParam<CorpusKind> {};

TEST_P(CorpusConversion, ChangesExactlyThePensTheRulesSay) {
  const auto Files = testsupport::CorpusFiles(GetParam().Sub, GetParam().Ext);
  SKIP_WITHOUT_CORPUS(Files);
  const TConvSettings Ind = IndividualSettings();
  const TConvSettings Comb = CombinationSettings();
  ASSERT_EQ(Ind.VerRaise, 2);
  ASSERT_EQ(Comb.VerRaise, 2);
  for (const auto& File : Files) {
    SCOPED_TRACE(File.string());
    if (GetParam().Ext == ".jww") {
      CheckConversion<TJwwData>(File, Ind, Individual, ConvJwwIndividual);
      CheckConversion<TJwwData>(File, Comb, Combination, ConvJwwCombination);
    } else {
      CheckConversion<TJwsData>(File, Ind, Individual, ConvJwsIndividual);
      CheckConversion<TJwsData>(File, Comb, Combination, ConvJwsCombination);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(RealFiles, CorpusConversion,
                         ::testing::Values(CorpusKind{"jww", ".jww"}, CorpusKind{"jws", ".jws"}),
                         [](const auto& Info) { return Info.param.Sub; });

}  // namespace
