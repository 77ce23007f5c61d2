#include "documents/JwBody.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "support/Func_2.h"

namespace {

constexpr std::string_view kClassNames[] = {
    "", "CDataSen", "CDataEnko", "CDataTen", "CDataMoji", "CDataSunpou", "CDataSolid", "CDataBlock", "CDataList"};
constexpr const char* kIoError = "File I/O Error";

// The smallest complete object of a list: a class reference and a point
// below version 351. Bounds what a declared count may reserve.
constexpr std::uint64_t kMinObjectBytes = 2 + 33;

int KindOfClassName(std::string_view Name) {
  for (int K = kLine; K <= kBlock; ++K)
    if (kClassNames[K] == Name) return K;
  return 0;
}

// ---- Attribute rules ----

int SxfLtypeToStandard(int Style) {
  static constexpr int kMap[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};  // 31..45
  if (Style >= 31 && Style <= 45) return kMap[Style - 31];
  if (Style >= 46 && Style <= 62) return SxfFallbackLtype;
  return Style;
}

int SxfColorToStandard(int Color) {
  static constexpr int kMap[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};  // 101..116
  if (Color >= 101 && Color <= 116) return kMap[Color - 101];
  if (Color >= 117 && Color <= 356) return SxfFallbackColor;
  return Color;
}

bool InRange(int V, int Lo, int Hi) { return V >= Lo && V <= Hi; }
bool IsSxfColor(int C) { return InRange(C, 101, 356); }

// ---- Fixed parts of records ----

// Takes the fields of a fixed part, in file order, from a byte buffer.
class Fields {
 public:
  explicit Fields(const std::uint8_t* P) : P_(P) {}
  template <class T>
  Fields& operator()(T& V) {
    std::memcpy(&V, P_, sizeof V);
    P_ += sizeof V;
    return *this;
  }
  template <class T, class... More>
  Fields& operator()(T& V, More&... Rest) {
    (*this)(V);
    return (*this)(Rest...);
  }

 private:
  const std::uint8_t* P_;
};

void TakeAttr(Fields& F, TEntJwwAttr& A, bool WithWidth) {
  F(A.lGroup, A.nPenStyle, A.nPenColor);
  if (WithWidth) F(A.nPenWidth);
  F(A.nLayer, A.nGLayer, A.sFlg);
}

// Reads the records of one file version. Each reader returns whether its
// checked read delivered any bytes.
class RecordReader {
 public:
  RecordReader(ArchiveIn& In, std::int32_t Ver)
      : In_(In), R_(In.reader()), Ver_(Ver), Wide_(Ver >= 351), Attr_(AttrSize(Ver)) {}

  bool Line(TEntJwwLine& X) {
    Fields F = Fixed(Attr_ + 32);
    TakeAttr(F, X.att, Wide_);
    F(X.start_x, X.start_y, X.end_x, X.end_y);
    return Got_;
  }
  bool Enko(TEntJwwEnko& X) {
    Fields F = Fixed(Attr_ + 60);
    TakeAttr(F, X.att, Wide_);
    F(X.start_x, X.start_y, X.dHankei, X.radKaishiKaku, X.radEnkoKaku, X.radKatamukiKaku, X.dHenpeiRitsu, X.bZenEnFlg);
    return Got_;
  }
  bool Ten(TEntJwwTen& X) {
    Fields F = Fixed(Attr_ + 20);
    TakeAttr(F, X.att, Wide_);
    F(X.start_x, X.start_y, X.bKariten);
    const bool Ok = Got_;
    if (X.att.nPenStyle == 100) {
      R_.Get(X.nCode);
      R_.Get(X.radKaitenKaku);
      R_.Get(X.dBairitsu);
    }
    return Ok;
  }
  bool Moji(TEntJwwMoji& X) {
    Fields F = Fixed(Attr_ + 68);
    TakeAttr(F, X.att, Wide_);
    F(X.start_x, X.start_y, X.end_x, X.end_y, X.nMojiShu, X.dSizeX, X.dSizeY, X.dKankaku, X.degKakudo);
    const bool Ok = Got_;
    X.strFontName = In_.ReadStrClean();
    X.str = In_.ReadStrClean();
    RepairTextSize(X.dSizeX, X.dSizeY, X.dKankaku);
    return Ok;
  }
  bool Sunpo(TEntJwwSunpo& X) {
    Fields F = Fixed(Attr_);
    TakeAttr(F, X.att, Wide_);
    Line(X.Sen);
    bool Ok = Moji(X.Moji);
    if (Ver_ >= 420) {
      R_.Get(X.bSxfMode);
      Line(X.Ho1);
      Line(X.Ho2);
      Ten(X.Te1);
      Ten(X.Te2);
      Ten(X.Kt1);
      Ok = Ten(X.Kt2) && Ok;
    } else {
      FillSxfPartFromOwnAttr(X);
    }
    return Ok;
  }
  bool Solid(TEntJwwSolid& X) {
    Fields F = Fixed(Attr_ + 64);
    TakeAttr(F, X.att, Wide_);
    F(X.start_x, X.start_y, X.end_x, X.end_y, X.DPoint2_x, X.DPoint2_y, X.DPoint3_x, X.DPoint3_y);
    const bool Ok = Got_;
    if (X.att.nPenColor == 10) R_.Get(X.Color);
    return Ok;
  }
  bool Block(TEntJwwBlock& X) {
    Fields F = Fixed(Attr_ + 44);
    TakeAttr(F, X.att, Wide_);
    F(X.DPKijunTen_x, X.DPKijunTen_y, X.dBairitsuX, X.dBairitsuY, X.radKaitenKaku, X.nNumber);
    return Got_;
  }
  bool BlockDefHead(TEntJwwBlockDef& D) {
    Fields F = Fixed(Attr_ + 12);
    TakeAttr(F, D.att, Wide_);
    F(D.nNumber, D.bRefferd, D.dtime);
    return Got_;
  }

 private:
  // A dimension of a file below 4.20 has no SXF part: its parts take the
  // dimension's own attribute; the points have no style.
  static void FillSxfPartFromOwnAttr(TEntJwwSunpo& X) {
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

  // Reads n bytes into a zeroed buffer; a short read leaves the rest zero.
  Fields Fixed(std::size_t N) {
    std::memset(Buf_, 0, N);
    Got_ = R_.Read(Buf_, N) > 0;
    return Fields(Buf_);
  }

  ArchiveIn& In_;
  ByteReader& R_;
  std::int32_t Ver_;
  bool Wide_;
  std::size_t Attr_;
  std::uint8_t Buf_[128];
  bool Got_ = false;
};

// Reads the tagged object lists of one file: one running object index and
// one class table serve the entity list and all block definitions.
class ListReader {
 public:
  ListReader(ArchiveIn& In, std::int32_t Ver) : In_(In), R_(In.reader()), Records_(In, Ver) {}

  void ReadObjects(const EntityLists& L, std::uint32_t N) {
    for (std::uint32_t Counted = 0; Counted < N;) {
      const int Kind = ReadTag();
      if (Kind == 0) continue;  // names no record type: only the tag is consumed
      L.no.push_back(ReadRecord(Kind, L));
      ++Running_;
      ++Counted;
    }
  }

  void ReadBlockDefs(std::vector<TEntJwwBlockDef>& Defs, std::uint32_t Count) {
    for (std::uint32_t I = 1; I <= Count; ++I) {
      ReadDefTag();
      TEntJwwBlockDef& D = Defs.emplace_back();
      if (!Records_.BlockDefHead(D)) {
        Defs.pop_back();
        throw ArchiveError{kIoError};
      }
      if (D.dtime & 0x80000000u) {
        R_.Skip(8);
        D.dtime = I;
      }
      D.strName = In_.ReadStrClean();
      std::uint32_t MemberCount = 0;
      In_.ReadCount(MemberCount);
      D.N = static_cast<std::int32_t>(MemberCount);
      ++Running_;
      const EntityLists M = Members(D);
      ReadObjects(M, MemberCount);
      Trim(M);
    }
  }

  static void Trim(const EntityLists& L) {
    L.no.shrink_to_fit();
    L.line.shrink_to_fit();
    L.enko.shrink_to_fit();
    L.ten.shrink_to_fit();
    L.moji.shrink_to_fit();
    L.sunpo.shrink_to_fit();
    L.solid.shrink_to_fit();
    L.block.shrink_to_fit();
  }

 private:
  // Reads one tag of an object list and returns the record kind it selects,
  // or 0. The end of the data ends the load: an object list must be whole.
  int ReadTag() {
    std::uint16_t T = 0;
    if (R_.Get(T) < sizeof T) throw ArchiveError{kIoError};
    if (T == 0xFFFF) {
      const int Kind = KindOfClassName(ReadClassName());
      if (Kind == 0) throw ArchiveError{kIoError};
      Classes_[Running_++] = Kind;
      return Kind;
    }
    if (T == 0x7FFF) {
      std::uint32_t V = 0;
      R_.Get(V);
      return KindOfClass(V & 0x7FFFFFFFu);
    }
    return (T & 0x8000) ? KindOfClass(T - 0x8000u) : 0;
  }

  // The tag of a block definition: its class name is not checked.
  void ReadDefTag() {
    std::uint16_t T = 0;
    R_.Get(T);
    if (T == 0xFFFF) {
      ReadClassName();
      Classes_[Running_++] = kBlockDef;
    } else if (T == 0x7FFF) {
      std::uint32_t V = 0;
      R_.Get(V);
    }
  }

  std::string ReadClassName() {
    std::uint16_t Schema = 0, Length = 0;
    R_.Get(Schema);
    R_.Get(Length);
    std::string Name(static_cast<std::size_t>(std::min<std::uint64_t>(Length, R_.Remaining())), '\0');
    Name.resize(R_.Read(Name.data(), Name.size()));
    return Name;
  }

  int KindOfClass(std::uint32_t Index) const {
    const auto It = Classes_.find(Index);
    return It != Classes_.end() && It->second != kBlockDef ? It->second : 0;
  }

  template <class T>
  TEntJwwNo Append(RecordArray<T>& A, int Kind, bool (RecordReader::*Read)(T&)) {
    T& Rec = A.emplace_back();
    if ((Records_.*Read)(Rec)) return {Kind, static_cast<std::int32_t>(A.size() - 1)};
    A.pop_back();
    return {};
  }

  TEntJwwNo ReadRecord(int Kind, const EntityLists& L) {
    switch (Kind) {
      case kLine: return Append(L.line, Kind, &RecordReader::Line);
      case kEnko: return Append(L.enko, Kind, &RecordReader::Enko);
      case kTen: return Append(L.ten, Kind, &RecordReader::Ten);
      case kMoji: return Append(L.moji, Kind, &RecordReader::Moji);
      case kSunpo: return Append(L.sunpo, Kind, &RecordReader::Sunpo);
      case kSolid: return Append(L.solid, Kind, &RecordReader::Solid);
      default: return Append(L.block, Kind, &RecordReader::Block);
    }
  }

  ArchiveIn& In_;
  ByteReader& R_;
  RecordReader Records_;
  std::unordered_map<std::uint32_t, int> Classes_;  // class index -> kind
  std::uint32_t Running_ = 1;
};

// The first definition of each block number; inserts refer to it.
class BlockLookup {
 public:
  explicit BlockLookup(const std::vector<TEntJwwBlockDef>& Defs) {
    for (std::size_t I = 0; I < Defs.size(); ++I) First_.try_emplace(Defs[I].nNumber, static_cast<std::int32_t>(I));
  }
  std::int32_t Find(std::uint32_t Number) const {
    const auto It = First_.find(Number);
    return It == First_.end() ? -1 : It->second;
  }

 private:
  std::unordered_map<std::uint32_t, std::int32_t> First_;
};

std::uint32_t SavedBlockNumber(const std::vector<TEntJwwBlockDef>& Defs, const BlockLookup& Lookup, std::uint32_t N) {
  const std::int32_t I = Lookup.Find(N);
  if (I < 0) return 0;
  return Defs[I].ref_flag ? static_cast<std::uint32_t>(Defs[I].ref_no) : N;
}

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

// Writes the tagged object lists of one file for output version ver.
class ListWriter {
 public:
  ListWriter(ArchiveOut& Out, std::int32_t Ver, std::int32_t DocVer, std::int32_t Opt,
             const std::vector<TEntJwwBlockDef>& Defs)
      : Out_(Out), Ver_(Ver), DocVer_(DocVer), Opt_(Opt), Defs_(Defs), Lookup_(Defs) {}

  void WriteObjects(const ConstEntityLists& L) {
    Out_.WriteCount(CountObjects(L));
    for (const TEntJwwNo& E : L.no) {
      if (!L.Valid(E)) continue;
      const std::size_t I = static_cast<std::size_t>(E.EntNo);
      switch (E.EntType) {
        case kLine: Object(kLine, [&] { Line(L.line[I]); }); break;
        case kEnko: Object(kEnko, [&] { Enko(L.enko[I]); }); break;
        case kTen: Object(kTen, [&] { Ten(L.ten[I], L.ten[I].bKariten); }); break;
        case kMoji: Object(kMoji, [&] { Moji(L.moji[I], true); }); break;
        case kSunpo: Sunpo(L.sunpo[I]); break;
        case kSolid: Object(kSolid, [&] { Solid(L.solid[I]); }); break;
        case kBlock: Object(kBlock, [&] { Block(L.block[I]); }); break;
      }
    }
  }

  void WriteBlockDefs() {
    std::uint32_t Used = 0;
    for (const TEntJwwBlockDef& D : Defs_) Used += D.ref_flag ? 1 : 0;
    Out_.WriteCount(Used);
    for (const TEntJwwBlockDef& D : Defs_) {
      if (!D.ref_flag) continue;
      Tag(kBlockDef);
      WriteAttr(Out_, Ver_, D.att, kBlockDef);
      Out_.Put(SavedBlockNumber(Defs_, Lookup_, D.nNumber));
      Out_.Put(D.bRefferd);
      Out_.Put(D.dtime);
      Out_.WriteStr(Out_.CleanText(D.strName));
      const ConstEntityLists M = Members(D);
      ++Running_;
      WriteObjects(M);
    }
  }

 private:
  bool Expands(const TEntJwwSunpo& X) const { return Ver_ < 420 && DocVer_ >= 420 && X.bSxfMode != 0; }

  std::uint32_t CountObjects(const ConstEntityLists& L) const {
    std::uint32_t N = 0;
    for (const TEntJwwNo& E : L.no)
      if (L.Valid(E)) N += (E.EntType == kSunpo && Expands(L.sunpo[static_cast<std::size_t>(E.EntNo)])) ? 7 : 1;
    return N;
  }

  void Tag(int Kind) {
    std::uint32_t& Index = ClassIndex_[Kind];
    if (Index == 0) {
      Out_.WriteNewClass(static_cast<std::uint16_t>(Ver_), kClassNames[Kind]);
      Index = Running_++;
    } else {
      Out_.WriteClassRef(Index);
    }
  }

  template <class F>
  void Object(int Kind, F Record) {
    Tag(Kind);
    Record();
    ++Running_;
  }

  void Coords(std::initializer_list<double> Values) {
    for (double V : Values) Out_.Put(V);
  }

  void Line(const TEntJwwLine& X) {
    WriteAttr(Out_, Ver_, X.att, kLine);
    Coords({X.start_x, X.start_y, X.end_x, X.end_y});
  }
  void Enko(const TEntJwwEnko& X) {
    WriteAttr(Out_, Ver_, X.att, kEnko);
    Coords({X.start_x, X.start_y, X.dHankei, X.radKaishiKaku, X.radEnkoKaku, X.radKatamukiKaku, X.dHenpeiRitsu});
    Out_.Put(X.bZenEnFlg);
  }
  void Ten(const TEntJwwTen& X, std::uint32_t Kariten) {
    WriteAttr(Out_, Ver_, X.att, kTen);
    Coords({X.start_x, X.start_y});
    Out_.Put(Kariten);
    if (X.att.nPenStyle == 100) {
      Out_.Put(X.nCode);
      Coords({X.radKaitenKaku, X.dBairitsu});
    }
  }
  void Moji(const TEntJwwMoji& X, bool ImageReferences) {
    WriteAttr(Out_, Ver_, X.att, kMoji);
    Coords({X.start_x, X.start_y, X.end_x, X.end_y});
    Out_.Put(X.nMojiShu);
    Coords({ClampTextSize(X.dSizeX), ClampTextSize(X.dSizeY), X.dKankaku, X.degKakudo});
    Out_.WriteStr(Out_.CleanText(X.strFontName));
    // The rewrite looks for folder separators in the text as it will read
    // back, so that a second save finds nothing more to cut.
    std::u16string S = Out_.CleanText(X.str);
    if (ImageReferences) S = RewriteImageReference(std::move(S), Opt_);
    Out_.WriteStr(S);
  }
  void Sunpo(const TEntJwwSunpo& X) {
    Object(kSunpo, [&] {
      WriteAttr(Out_, Ver_, X.att, kSunpo);
      Line(X.Sen);
      Moji(X.Moji, false);
      if (Ver_ >= 420) {
        Out_.Put(X.bSxfMode);
        Line(X.Ho1);
        Line(X.Ho2);
        for (const TEntJwwTen* T : {&X.Te1, &X.Te2, &X.Kt1, &X.Kt2}) Ten(*T, T->bKariten);
      }
    });
    if (!Expands(X)) return;
    // An older version has no SXF dimensions: their parts follow as plain
    // lines and points; the auxiliary points become temporary points.
    Object(kLine, [&] { Line(X.Ho1); });
    Object(kLine, [&] { Line(X.Ho2); });
    Object(kTen, [&] { Ten(X.Te1, X.Te1.bKariten); });
    Object(kTen, [&] { Ten(X.Te2, X.Te2.bKariten); });
    Object(kTen, [&] { Ten(X.Kt1, 1); });
    Object(kTen, [&] { Ten(X.Kt2, 1); });
  }
  void Solid(const TEntJwwSolid& X) {
    WriteAttr(Out_, Ver_, X.att, kSolid);
    Coords({X.start_x, X.start_y, X.end_x, X.end_y, X.DPoint2_x, X.DPoint2_y, X.DPoint3_x, X.DPoint3_y});
    if (X.att.nPenColor == 10) Out_.Put(X.Color);
  }
  void Block(const TEntJwwBlock& X) {
    WriteAttr(Out_, Ver_, X.att, kBlock);
    Coords({X.DPKijunTen_x, X.DPKijunTen_y, X.dBairitsuX, X.dBairitsuY, X.radKaitenKaku});
    Out_.Put(SavedBlockNumber(Defs_, Lookup_, X.nNumber));
  }

  ArchiveOut& Out_;
  std::int32_t Ver_, DocVer_, Opt_;
  const std::vector<TEntJwwBlockDef>& Defs_;
  BlockLookup Lookup_;
  std::uint32_t ClassIndex_[kBlockDef + 1] = {};
  std::uint32_t Running_ = 1;
};

// Marks every definition that an insert of the entity list names, directly
// or through the inserts of definitions already marked.
void MarkUsedDefinitions(std::vector<TEntJwwBlockDef>& Defs, const RecordArray<TEntJwwBlock>& Inserts,
                         const BlockLookup& Lookup) {
  std::vector<std::int32_t> Pending;
  auto Mark = [&](std::uint32_t Number) {
    const std::int32_t I = Lookup.Find(Number);
    if (I >= 0 && !Defs[I].ref_flag) {
      Defs[I].ref_flag = true;
      Pending.push_back(I);
    }
  };
  for (const TEntJwwBlock& B : Inserts) Mark(B.nNumber);
  while (!Pending.empty()) {
    const std::int32_t I = Pending.back();
    Pending.pop_back();
    for (const TEntJwwBlock& B : Defs[I].mBlock) Mark(B.nNumber);
  }
}

// The placement matrix of an insert: rotation by its angle, then its scales.
void InsertMatrix(const TEntJwwBlock& B, double& C1, double& C2, double& C3, double& C4) {
  const double C = std::cos(B.radKaitenKaku), S = std::sin(B.radKaitenKaku);
  C1 = C * B.dBairitsuX;
  C2 = -S * B.dBairitsuY;
  C3 = S * B.dBairitsuX;
  C4 = C * B.dBairitsuY;
}

// True when node k's definition already appears among its ancestors: a
// definition that inserts itself ends the expansion there.
bool RepeatsAncestor(const std::vector<TEntJwwBlockTree>& Tree, std::size_t K) {
  for (std::int32_t P = Tree[K].parent; P >= 0; P = Tree[P].parent)
    if (Tree[P].defno == Tree[K].defno) return true;
  return false;
}

// The tree only serves display; nested expansion stops at this many nodes
// beyond the roots, or once those nodes, their copies of the definition
// names included, take this much memory, so that definitions inserting each
// other many times over (or with long names) cannot exhaust memory.
constexpr std::size_t kMaxNestedTreeNodes = 1 << 16;
constexpr std::size_t kMaxNestedTreeBytes = std::size_t{32} << 20;
// Nor does it go deeper than this: the ancestor check walks the whole path of
// a node, and a long chain of definitions would make that quadratic.
constexpr std::int32_t kMaxTreeDepth = 256;

// Where a node sits, copied out of the tree before a child is added to it
// (which may move the tree), without the node's name.
struct Placement {
  explicit Placement(const TEntJwwBlockTree& T)
      : level(T.level), x(T.x), y(T.y), r1(T.r1), r2(T.r2), r3(T.r3), r4(T.r4) {}
  std::int32_t level;
  double x, y, r1, r2, r3, r4;
};

std::size_t NodeBytes(const TEntJwwBlockTree& T) { return sizeof T + T.name.size() * sizeof(char16_t); }

}  // namespace

int SxfFallbackColor = 1;
int SxfFallbackLtype = 1;

void JwwTypeInit() {
  SxfFallbackColor = 1;
  SxfFallbackLtype = 1;
}

void RepairTextSize(double& X, double& Y, double& Spacing) {
  if (!DoubleIsFinite(X)) X = 3.0;
  if (!DoubleIsFinite(Y)) Y = 3.0;
  if (!DoubleIsFinite(Spacing)) Spacing = 0.0;
}

double ClampTextSize(double V) {
  const double A = std::fabs(V);
  return A < 1e-10 ? 1e-10 : A > 1e10 ? 1e10 : A;
}

std::size_t AttrSize(std::int32_t Ver) { return Ver >= 351 ? 15 : 13; }

void CopyAttr(const TEntJwwAttr& Source, TEntJwwAttr& Dest) { Dest = Source; }

void WriteAttr(ArchiveOut& Out, std::int32_t Ver, const TEntJwwAttr& A, int Kind) {
  int Style = A.nPenStyle;
  int Color = A.nPenColor;
  const bool LineLike = Kind == kLine || Kind == kEnko;
  if (Ver < 420) {
    if (LineLike) Style = SxfLtypeToStandard(Style);
    if (Kind >= kLine && Kind <= kSolid) Color = SxfColorToStandard(Color);
  }
  if (LineLike && !(InRange(Style, 1, 9) || InRange(Style, 11, 19) || InRange(Style, 31, 62))) Style = SxfFallbackLtype;
  if (Kind == kTen && Style != 1 && Style != 100) Style = 1;
  if (Kind == kMoji && !InRange(Style, 1, 9)) Style = 1;
  if (Kind >= kLine && Kind <= kSunpo && !(InRange(Color, 1, 9) || IsSxfColor(Color))) Color = SxfFallbackColor;
  if (Kind == kSolid && !(InRange(Color, 1, 10) || IsSxfColor(Color))) Color = SxfFallbackColor;

  std::uint8_t B[15];
  std::size_t N = 0;
  auto Put = [&](auto V) {
    std::memcpy(B + N, &V, sizeof V);
    N += sizeof V;
  };
  Put(A.lGroup);
  Put(static_cast<std::uint8_t>(Style));
  Put(static_cast<std::uint16_t>(Color));
  if (Ver >= 351) Put(static_cast<std::uint16_t>(A.nPenWidth > 30000 ? 0 : A.nPenWidth));
  Put(static_cast<std::uint16_t>(A.nLayer > 15 ? 0 : A.nLayer));
  Put(static_cast<std::uint16_t>(A.nGLayer > 15 ? 0 : A.nGLayer));
  Put(A.sFlg);
  Out.writer().Write(B, N);
}

EntityLists Members(TEntJwwBlockDef& D) {
  return {D.mNo, D.mLine, D.mEnko, D.mTen, D.mMoji, D.mSunpo, D.mSolid, D.mBlock};
}

ConstEntityLists Members(const TEntJwwBlockDef& D) {
  return {D.mNo, D.mLine, D.mEnko, D.mTen, D.mMoji, D.mSunpo, D.mSolid, D.mBlock};
}

EntityLists TJwBody::Entities() { return {EntNo, EntLine, EntEnko, EntTen, EntMoji, EntSunpo, EntSolid, EntBlock}; }

ConstEntityLists TJwBody::Entities() const {
  return {EntNo, EntLine, EntEnko, EntTen, EntMoji, EntSunpo, EntSolid, EntBlock};
}

void TJwBody::SetFileOutOption(int N) { FileOutOpt = (N >= 0 && N <= 63) ? N : 0; }

void TJwBody::BindImageInit() { BindImage.clear(); }

void TJwBody::BodyInit() {
  EntNo.clear();
  EntNo.shrink_to_fit();
  EntLine.clear();
  EntEnko.clear();
  EntTen.clear();
  EntMoji.clear();
  EntSunpo.clear();
  EntSolid.clear();
  EntBlock.clear();
  EntBlockDef.clear();
  EntBlockDef.shrink_to_fit();
  EntBlockTree.clear();
  EntBlockTree.shrink_to_fit();
  EntBlockNum = 0;
  FileOutOpt = 0;
  MojiEncode = false;
  BindImageInit();
}

std::uint32_t TJwBody::ChangeBlockNo(std::uint32_t N) const {
  return SavedBlockNumber(EntBlockDef, BlockLookup(EntBlockDef), N);
}

void TJwBody::ReadBody(ArchiveIn& In, std::int32_t Ver, std::int32_t& N1, std::int32_t& N2) {
  std::uint32_t N = 0;
  if (!In.ReadCount(N)) throw ArchiveError{kIoError};
  N1 = static_cast<std::int32_t>(N);
  N2 = 0;
  EntNo.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(N, In.reader().Remaining() / kMinObjectBytes + 1)));
  ListReader Lists(In, Ver);
  Lists.ReadObjects(Entities(), N);
  ListReader::Trim(Entities());
  std::uint32_t Defs = 0;
  In.ReadCount(Defs);
  if (Defs == 0) return;
  N2 = static_cast<std::int32_t>(Defs);
  Lists.ReadBlockDefs(EntBlockDef, Defs);
}

void TJwBody::WriteBody(ArchiveOut& Out, std::int32_t Ver, std::int32_t DocVer) const {
  ListWriter Lists(Out, Ver, DocVer, FileOutOpt, EntBlockDef);
  Lists.WriteObjects(Entities());
  Lists.WriteBlockDefs();
}

void TJwBody::MakeBlockTree() {
  EntBlockTree.clear();
  for (TEntJwwBlockDef& D : EntBlockDef) {
    D.ref_flag = false;
    D.ref_no = -1;
  }
  if (EntBlock.empty()) return;
  const BlockLookup Lookup(EntBlockDef);
  MarkUsedDefinitions(EntBlockDef, EntBlock, Lookup);

  auto Node = [&](const TEntJwwAttr& Att, std::int32_t Level, std::int32_t Parent,
                  std::uint32_t No) -> TEntJwwBlockTree& {
    TEntJwwBlockTree& T = EntBlockTree.emplace_back();
    T.att = Att;
    T.level = Level;
    T.parent = Parent;
    T.no = No;
    T.defno = Lookup.Find(No);
    if (T.defno >= 0) T.name = EntBlockDef[T.defno].strName;
    return T;
  };
  for (const TEntJwwBlock& B : EntBlock) {
    TEntJwwBlockTree& T = Node(B.att, 0, -1, B.nNumber);
    T.x = B.DPKijunTen_x;
    T.y = B.DPKijunTen_y;
    InsertMatrix(B, T.r1, T.r2, T.r3, T.r4);
  }
  const std::size_t Limit = EntBlockTree.size() + kMaxNestedTreeNodes;
  // Room for the whole expansion at once: growing node by node would move
  // every node (and touch fresh memory) again at each step.
  if (std::any_of(EntBlockDef.begin(), EntBlockDef.end(), [](const TEntJwwBlockDef& D) { return !D.mBlock.empty(); }))
    EntBlockTree.reserve(Limit);
  std::size_t Budget = kMaxNestedTreeBytes;
  for (std::size_t K = 0; K < EntBlockTree.size() && Budget > 0; ++K) {
    if (EntBlockTree[K].defno < 0 || EntBlockTree[K].level >= kMaxTreeDepth || RepeatsAncestor(EntBlockTree, K))
      continue;
    const TEntJwwBlockDef& D = EntBlockDef[EntBlockTree[K].defno];
    for (const TEntJwwBlock& M : D.mBlock) {
      if (EntBlockTree.size() >= Limit) break;
      const Placement P(EntBlockTree[K]);
      TEntJwwBlockTree& T = Node(D.att, P.level + 1, static_cast<std::int32_t>(K), M.nNumber);
      if (NodeBytes(T) > Budget) {
        EntBlockTree.pop_back();
        Budget = 0;
        break;
      }
      Budget -= NodeBytes(T);
      double C1, C2, C3, C4;
      InsertMatrix(M, C1, C2, C3, C4);
      T.x = P.x + P.r1 * M.DPKijunTen_x + P.r2 * M.DPKijunTen_y;
      T.y = P.y + P.r3 * M.DPKijunTen_x + P.r4 * M.DPKijunTen_y;
      T.r1 = P.r1 * C1 + P.r2 * C3;
      T.r2 = P.r1 * C2 + P.r2 * C4;
      T.r3 = P.r3 * C1 + P.r4 * C3;
      T.r4 = P.r3 * C2 + P.r4 * C4;
    }
  }
  std::int32_t Next = 0;
  for (TEntJwwBlockDef& D : EntBlockDef)
    if (D.ref_flag) D.ref_no = Next++;
  EntBlockNum = Next;
}
