#include "documents/JwRecords.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "documents/JwFormat.h"
#include "support/Func_2.h"

namespace {

// A record as the visitor Io takes it: to be filled when reading, const
// when writing or counting.
template <class Io, class T>
using RecordOf = typename Io::template Rec<T>;

// The style of a point that carries a code, a rotation and a scale.
constexpr int kTenWithCode = 100;

// ---- The attribute block ----

// The fields of every attribute: pen, layer and group; the line width from
// 3.51 on.
template <class Io>
void AttrFields(Io& F, RecordOf<Io, TEntJwwAttr>& A) {
  if (F.Ver() >= kVerPenWidth) F(A.lGroup, A.nPenStyle, A.nPenColor, A.nPenWidth, A.nLayer, A.nGLayer, A.sFlg);
  else F(A.lGroup, A.nPenStyle, A.nPenColor, A.nLayer, A.nGLayer, A.sFlg);
}

int SxfLtypeToStandard(int Style) {
  static constexpr int kMap[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};  // 31..45
  if (Style >= 31 && Style <= 45) return kMap[Style - 31];
  if (Style >= 46 && Style <= 62) return SxfFallbackLtype;
  return Style;
}

int SxfColorToStandard(int Color) {
  static constexpr int kMap[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};  // 101..116
  if (Color >= 101 && Color <= 116) return kMap[Color - 101];
  if (Color >= 117 && Color <= kSxfColorNumbers.Max) return SxfFallbackColor;
  return Color;
}

bool InRange(int V, int Lo, int Hi) { return V >= Lo && V <= Hi; }

// The attribute a record of this kind is written with: below 4.20 SXF pens
// become standard ones, invalid pens the fallback numbers; layers, groups
// and widths out of range become 0.
TEntJwwAttr AttrAsWritten(TEntJwwAttr A, int Kind, std::int32_t Ver) {
  int Style = A.nPenStyle;
  int Color = A.nPenColor;
  const bool LineLike = Kind == kLine || Kind == kEnko;
  if (Ver < kVerSxf) {
    if (LineLike) Style = SxfLtypeToStandard(Style);
    if (Kind >= kLine && Kind <= kSolid) Color = SxfColorToStandard(Color);
  }
  if (LineLike && !(kStandardLtypeNumbers.Holds(Style) || kRandomAndDoubleLtypeNumbers.Holds(Style) ||
                    kSxfLtypeNumbers.Holds(Style)))
    Style = SxfFallbackLtype;
  if (Kind == kTen && Style != 1 && Style != kTenWithCode) Style = 1;
  if (Kind == kMoji && !kStandardLtypeNumbers.Holds(Style)) Style = 1;
  if (Kind >= kLine && Kind <= kSunpo && !(kStandardColorNumbers.Holds(Color) || kSxfColorNumbers.Holds(Color)))
    Color = SxfFallbackColor;
  if (Kind == kSolid && !(InRange(Color, 1, kSolidOwnColor) || kSxfColorNumbers.Holds(Color))) Color = SxfFallbackColor;
  A.nPenStyle = static_cast<std::uint8_t>(Style);
  A.nPenColor = static_cast<std::uint16_t>(Color);
  if (A.nPenWidth > kMaxPenWidth) A.nPenWidth = 0;
  if (A.nLayer >= kLayersPerGroup) A.nLayer = 0;
  if (A.nGLayer >= kLayerGroups) A.nGLayer = 0;
  return A;
}

// ---- Text sizes ----

double TextSizeAsRead(double V) { return DoubleIsFinite(V) ? V : 3.0; }
double SpacingAsRead(double V) { return DoubleIsFinite(V) ? V : 0.0; }

// ---- Image references in texts ----

// The start of an image reference "^@BM<path>,<placement>".
constexpr std::u16string_view kBm = u"^@BM";

// Rewrites an image reference for the output options. The name is cut
// before "%temp%" is dropped, and every leading "%temp%" goes, so that a
// second save finds nothing more to rewrite.
std::u16string RewriteImageReference(std::u16string S, std::int32_t Opt) {
  static constexpr std::u16string_view kTemp = u"%temp%";
  if ((Opt & kOutImageNameOnly) && S.starts_with(kBm)) {
    const std::size_t Comma = S.find(u',');
    if (Comma != std::u16string::npos) {
      const std::u16string_view Path = std::u16string_view(S).substr(kBm.size(), Comma - kBm.size());
      S = std::u16string(kBm) + FileNameOnly(Path) + S.substr(Comma);
    }
  }
  if ((Opt & kOutImageNoTemp) && S.starts_with(kBm)) {
    std::size_t At = kBm.size();
    while (std::u16string_view(S).substr(At).starts_with(kTemp)) At += kTemp.size();
    S.erase(kBm.size(), At - kBm.size());
  }
  return S;
}

// ---- The records, one list of fields per kind ----
//
// Each list returns whether its checked part delivered any bytes (always
// true when writing).

// "CDataSen", kind 1.
template <class Io>
bool Line(Io& F, RecordOf<Io, TEntJwwLine>& X) {
  return F.Checked([&] {
    F.Attr(X.att, kLine);
    F(X.start_x, X.start_y, X.end_x, X.end_y);
  });
}

// "CDataEnko", kind 2.
template <class Io>
bool Enko(Io& F, RecordOf<Io, TEntJwwEnko>& X) {
  return F.Checked([&] {
    F.Attr(X.att, kEnko);
    F(X.start_x, X.start_y, X.dHankei, X.radKaishiKaku, X.radEnkoKaku, X.radKatamukiKaku, X.dHenpeiRitsu);
    F(X.bZenEnFlg);
  });
}

// "CDataTen", kind 3. A point of style 100 carries its code, rotation and
// scale; the stored style decides.
template <class Io>
bool Ten(Io& F, RecordOf<Io, TEntJwwTen>& X) {
  const bool Whole = F.Checked([&] {
    F.Attr(X.att, kTen);
    F(X.start_x, X.start_y);
    F(X.bKariten);
  });
  if (X.att.nPenStyle == kTenWithCode) F(X.nCode, X.radKaitenKaku, X.dBairitsu);
  return Whole;
}

// "CDataMoji", kind 4.
template <class Io>
bool Moji(Io& F, RecordOf<Io, TEntJwwMoji>& X, TextOf Of) {
  const bool Whole = F.Checked([&] {
    F.Attr(X.att, kMoji);
    F(X.start_x, X.start_y, X.end_x, X.end_y);
    F(X.nMojiShu);
    F.TextSize(X.dSizeX);
    F.TextSize(X.dSizeY);
    F.Spacing(X.dKankaku);
    F(X.degKakudo);
  });
  F.Name(X.strFontName);
  F.Text(X.str, Of);
  return Whole;
}

// "CDataSunpou", kind 5: the dimension's attribute, its line and its text;
// from 4.20 on its SXF part: the mode, two lines and four points.
template <class Io>
bool Sunpo(Io& F, RecordOf<Io, TEntJwwSunpo>& X) {
  F.Attr(X.att, kSunpo);
  Line(F, X.Sen);
  const bool Whole = Moji(F, X.Moji, TextOf::Dimension);
  if (F.Ver() < kVerSxf) {
    F.WithoutSxfPart(X);
    return Whole;
  }
  F(X.bSxfMode);
  Line(F, X.Ho1);
  Line(F, X.Ho2);
  Ten(F, X.Te1);
  Ten(F, X.Te2);
  Ten(F, X.Kt1);
  return Ten(F, X.Kt2) && Whole;
}

// "CDataSolid", kind 6. A solid of colour 10 carries its own colour value;
// the stored colour decides.
template <class Io>
bool Solid(Io& F, RecordOf<Io, TEntJwwSolid>& X) {
  const bool Whole = F.Checked([&] {
    F.Attr(X.att, kSolid);
    F(X.start_x, X.start_y, X.end_x, X.end_y, X.DPoint2_x, X.DPoint2_y, X.DPoint3_x, X.DPoint3_y);
  });
  if (X.att.nPenColor == kSolidOwnColor) F(X.Color);
  return Whole;
}

// "CDataBlock", kind 7.
template <class Io>
bool Block(Io& F, RecordOf<Io, TEntJwwBlock>& X) {
  return F.Checked([&] {
    F.Attr(X.att, kBlock);
    F(X.DPKijunTen_x, X.DPKijunTen_y, X.dBairitsuX, X.dBairitsuY, X.radKaitenKaku);
    F.BlockNumber(X.nNumber);
  });
}

// "CDataList": a block definition up to its name.
template <class Io>
bool BlockDefHead(Io& F, RecordOf<Io, TEntJwwBlockDef>& D, std::uint32_t Position) {
  const bool Whole = F.Checked([&] {
    F.Attr(D.att, kBlockDef);
    F.BlockNumber(D.nNumber);
    F(D.bRefferd, D.dtime);
  });
  F.LongTimeStamp(D.dtime, Position);
  F.Name(D.strName);
  return Whole;
}

// Counts the bytes of a record, its strings empty.
class RecordSize {
 public:
  template <class T>
  using Rec = const T;

  explicit RecordSize(std::int32_t Ver) : Ver_(Ver) {}
  std::int32_t Ver() const { return Ver_; }
  std::uint64_t Bytes() const { return Bytes_; }

  template <class... T>
  void operator()(const T&...) {
    Bytes_ += (sizeof(T) + ...);
  }
  template <class F>
  bool Checked(F Fields) {
    Fields();
    return true;
  }
  void Attr(const TEntJwwAttr& A, int) { AttrFields(*this, A); }
  void TextSize(double V) { (*this)(V); }
  void Spacing(double V) { (*this)(V); }
  void BlockNumber(std::uint32_t N) { (*this)(N); }
  void LongTimeStamp(std::uint32_t, std::uint32_t) {}
  void Name(const std::u16string&) { Bytes_ += kEmptyString; }
  void Text(const std::u16string&, TextOf) { Bytes_ += kEmptyString; }
  void WithoutSxfPart(const TEntJwwSunpo&) {}

 private:
  static constexpr std::uint64_t kEmptyString = 1;  // its length byte
  std::int32_t Ver_;
  std::uint64_t Bytes_ = 0;
};

}  // namespace

int SxfFallbackColor = 1;
int SxfFallbackLtype = 1;

void JwwTypeInit() {
  SxfFallbackColor = 1;
  SxfFallbackLtype = 1;
}

void RepairTextSize(double& X, double& Y, double& Spacing) {
  X = TextSizeAsRead(X);
  Y = TextSizeAsRead(Y);
  Spacing = SpacingAsRead(Spacing);
}

double ClampTextSize(double V) {
  const double A = std::fabs(V);
  return A < 1e-10 ? 1e-10 : A > 1e10 ? 1e10 : A;
}

void CopyAttr(const TEntJwwAttr& Source, TEntJwwAttr& Dest) { Dest = Source; }

void WriteAttr(ArchiveOut& Out, std::int32_t Ver, const TEntJwwAttr& A, int Kind) {
  RecordOut(Out, Ver, 0, {}).Attr(A, Kind);
}

void RecordIn::Attr(TEntJwwAttr& A, int) { AttrFields(*this, A); }

void RecordIn::TextSize(double& V) {
  (*this)(V);
  V = TextSizeAsRead(V);
}

void RecordIn::Spacing(double& V) {
  (*this)(V);
  V = SpacingAsRead(V);
}

void RecordIn::LongTimeStamp(std::uint32_t& T, std::uint32_t Position) {
  if (T & 0x80000000u) {
    R_.Skip(8);
    T = Position;
  }
}

void RecordIn::WithoutSxfPart(TEntJwwSunpo& X) {
  X.bSxfMode = 0;
  X.Ho1 = X.Ho2 = TEntJwwLine{};
  CopyAttr(X.att, X.Ho1.att);
  CopyAttr(X.att, X.Ho2.att);
  for (TEntJwwTen* T : {&X.Te1, &X.Te2, &X.Kt1, &X.Kt2}) {
    *T = TEntJwwTen{};
    CopyAttr(X.att, T->att);
    T->att.nPenStyle = 0;
  }
}

void RecordOut::Attr(const TEntJwwAttr& A, int Kind) { AttrFields(*this, AttrAsWritten(A, Kind, Ver_)); }

void RecordOut::Text(const std::u16string& S, TextOf Of) {
  if (Of == TextOf::Dimension || (Options_ & (kOutImageNameOnly | kOutImageNoTemp)) == 0) return Out_.WriteCleanText(S);
  // The rewrite looks for folder separators in the text as it will read
  // back, so that a second save finds nothing more to cut.
  std::u16string T = Out_.CleanText(S);
  if (Of == TextOf::Entity) T = RewriteImageReference(std::move(T), Options_);
  Out_.WriteStr(T);
}

bool Read(RecordIn& F, TEntJwwLine& X) { return Line(F, X); }
bool Read(RecordIn& F, TEntJwwEnko& X) { return Enko(F, X); }
bool Read(RecordIn& F, TEntJwwTen& X) { return Ten(F, X); }
bool Read(RecordIn& F, TEntJwwMoji& X) { return Moji(F, X, TextOf::Entity); }
bool Read(RecordIn& F, TEntJwwSunpo& X) { return Sunpo(F, X); }
bool Read(RecordIn& F, TEntJwwSolid& X) { return Solid(F, X); }
bool Read(RecordIn& F, TEntJwwBlock& X) { return Block(F, X); }
bool Read(RecordIn& F, TEntJwwBlockDef& D, std::uint32_t Position) { return BlockDefHead(F, D, Position); }

void Write(RecordOut& F, const TEntJwwLine& X) { Line(F, X); }
void Write(RecordOut& F, const TEntJwwEnko& X) { Enko(F, X); }
void Write(RecordOut& F, const TEntJwwTen& X) { Ten(F, X); }
void Write(RecordOut& F, const TEntJwwMoji& X) { Moji(F, X, TextOf::Entity); }
void Write(RecordOut& F, const TEntJwwSunpo& X) { Sunpo(F, X); }
void Write(RecordOut& F, const TEntJwwSolid& X) { Solid(F, X); }
void Write(RecordOut& F, const TEntJwwBlock& X) { Block(F, X); }
void Write(RecordOut& F, const TEntJwwBlockDef& D, std::uint32_t Position) { BlockDefHead(F, D, Position); }

std::uint64_t SmallestObjectBytes() {
  // Attributes are shortest in the oldest versions; empty records carry no
  // optional fields.
  const std::int32_t Oldest = std::min(kJwwVersions.Min, kJwsVersions.Min);
  std::uint64_t Smallest = UINT64_MAX;
  const auto Count = [&](auto Fields) {
    RecordSize S(Oldest);
    Fields(S);
    Smallest = std::min(Smallest, S.Bytes());
  };
  Count([](RecordSize& S) { Line(S, TEntJwwLine{}); });
  Count([](RecordSize& S) { Enko(S, TEntJwwEnko{}); });
  Count([](RecordSize& S) { Ten(S, TEntJwwTen{}); });
  Count([](RecordSize& S) { Moji(S, TEntJwwMoji{}, TextOf::Entity); });
  Count([](RecordSize& S) { Sunpo(S, TEntJwwSunpo{}); });
  Count([](RecordSize& S) { Solid(S, TEntJwwSolid{}); });
  Count([](RecordSize& S) { Block(S, TEntJwwBlock{}); });
  const std::uint64_t ClassReference = sizeof(std::uint16_t);
  return ClassReference + Smallest;
}
