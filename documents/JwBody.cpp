#include "documents/JwBody.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

#include "documents/JwFormat.h"
#include "documents/JwRecords.h"

namespace {

constexpr std::string_view kClassNames[] = {
    "", "CDataSen", "CDataEnko", "CDataTen", "CDataMoji", "CDataSunpou", "CDataSolid", "CDataBlock", "CDataList"};
int KindOfClassName(std::string_view Name) {
  for (int K = kLine; K <= kBlock; ++K)
    if (kClassNames[K] == Name) return K;
  return 0;
}

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
    EndsEarly_ = TJwFault::BlockListEndsEarly;
    for (std::uint32_t I = 1; I <= Count; ++I) {
      ReadDefTag();
      TEntJwwBlockDef& D = Defs.emplace_back();
      if (!Read(Records_, D, I)) {
        Defs.pop_back();
        ThrowFault(TJwFault::BlockListEndsEarly, R_.Position());
      }
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
    if (R_.Get(T) < sizeof T) ThrowFault(EndsEarly_, R_.Position());
    if (T == 0xFFFF) {
      const std::string Name = ReadClassName();
      const int Kind = KindOfClassName(Name);
      if (Kind == 0) UnknownClass(Name);
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

  // A new-class tag naming no record type ends the load; the reason names
  // it as read, from the tag's first byte (two bytes each for the tag, the
  // schema and the name's length precede the name).
  [[noreturn]] void UnknownClass(const std::string& Name) const {
    if (ClassNameCut_) ThrowFault(EndsEarly_, R_.Position());
    ThrowFault(TJwFault::UnknownRecordType, R_.Position() - 6 - Name.size(), PrintableName(Name));
  }

  static std::string PrintableName(std::string_view Name) {
    constexpr std::size_t kShown = 64;
    std::string Out;
    for (const char C : Name.substr(0, kShown)) {
      const auto B = static_cast<unsigned char>(C);
      if (B >= 0x20 && B < 0x7F && B != '\\' && B != '"') {
        Out.push_back(C);
        continue;
      }
      constexpr char kHex[] = "0123456789ABCDEF";
      Out += {'\\', 'x', kHex[B >> 4], kHex[B & 15]};
    }
    if (Name.size() > kShown) Out += "...";
    return Out;
  }

  std::string ReadClassName() {
    std::uint16_t Schema = 0, Length = 0;
    const bool Whole = R_.Get(Schema) == sizeof Schema && R_.Get(Length) == sizeof Length;
    std::string Name(static_cast<std::size_t>(std::min<std::uint64_t>(Length, R_.Remaining())), '\0');
    Name.resize(R_.Read(Name.data(), Name.size()));
    ClassNameCut_ = !Whole || Name.size() < Length;
    return Name;
  }

  int KindOfClass(std::uint32_t Index) const {
    const auto It = Classes_.find(Index);
    return It != Classes_.end() && It->second != kBlockDef ? It->second : 0;
  }

  // Appends a record; one whose checked part delivers nothing is dropped.
  template <class T>
  TEntJwwNo Append(RecordArray<T>& A, int Kind) {
    T& Rec = A.emplace_back();
    if (Read(Records_, Rec)) return {Kind, static_cast<std::int32_t>(A.size() - 1)};
    A.pop_back();
    return {};
  }

  TEntJwwNo ReadRecord(int Kind, const EntityLists& L) {
    switch (Kind) {
      case kLine: return Append(L.line, Kind);
      case kEnko: return Append(L.enko, Kind);
      case kTen: return Append(L.ten, Kind);
      case kMoji: return Append(L.moji, Kind);
      case kSunpo: return Append(L.sunpo, Kind);
      case kSolid: return Append(L.solid, Kind);
      default: return Append(L.block, Kind);
    }
  }

  ArchiveIn& In_;
  ByteReader& R_;
  RecordIn Records_;
  std::unordered_map<std::uint32_t, int> Classes_;  // class index -> kind
  std::uint32_t Running_ = 1;
  TJwFault EndsEarly_ = TJwFault::EntityListEndsEarly;  // the list being read ends early
  bool ClassNameCut_ = false;                           // the data ended inside the last class name
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

// Writes the tagged object lists of one file for output version ver.
class ListWriter {
 public:
  ListWriter(ArchiveOut& Out, std::int32_t Ver, std::int32_t DocVer, std::int32_t Opt,
             const std::vector<TEntJwwBlockDef>& Defs)
      : Out_(Out),
        Ver_(Ver),
        DocVer_(DocVer),
        Defs_(Defs),
        Lookup_(Defs),
        Records_(Out, Ver, Opt, [this](std::uint32_t N) { return SavedBlockNumber(Defs_, Lookup_, N); }) {}

  void WriteObjects(const ConstEntityLists& L) {
    Out_.WriteCount(CountObjects(L));
    for (const TEntJwwNo& E : L.no) {
      if (!L.Valid(E)) continue;
      const std::size_t I = static_cast<std::size_t>(E.EntNo);
      switch (E.EntType) {
        case kLine: Object(kLine, L.line[I]); break;
        case kEnko: Object(kEnko, L.enko[I]); break;
        case kTen: Object(kTen, L.ten[I]); break;
        case kMoji: Object(kMoji, L.moji[I]); break;
        case kSunpo: Sunpo(L.sunpo[I]); break;
        case kSolid: Object(kSolid, L.solid[I]); break;
        case kBlock: Object(kBlock, L.block[I]); break;
      }
    }
  }

  // The definitions marked as used, in definition order (see
  // TJwBody::MarkUsedBlockDefs).
  void WriteBlockDefs() {
    std::uint32_t Used = 0;
    for (const TEntJwwBlockDef& D : Defs_) Used += D.ref_flag ? 1 : 0;
    Out_.WriteCount(Used);
    std::uint32_t Position = 0;
    for (const TEntJwwBlockDef& D : Defs_) {
      if (!D.ref_flag) continue;
      Tag(kBlockDef);
      Write(Records_, D, ++Position);
      ++Running_;
      WriteObjects(Members(D));
    }
  }

 private:
  bool Expands(const TEntJwwSunpo& X) const { return Ver_ < kVerSxf && DocVer_ >= kVerSxf && X.bSxfMode != 0; }

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

  template <class T>
  void Object(int Kind, const T& Record) {
    Tag(Kind);
    Write(Records_, Record);
    ++Running_;
  }

  void Sunpo(const TEntJwwSunpo& X) {
    Object(kSunpo, X);
    if (!Expands(X)) return;
    // An older version has no SXF dimensions: their parts follow as plain
    // lines and points; the auxiliary points become temporary points.
    Object(kLine, X.Ho1);
    Object(kLine, X.Ho2);
    Object(kTen, X.Te1);
    Object(kTen, X.Te2);
    Object(kTen, TemporaryPoint(X.Kt1));
    Object(kTen, TemporaryPoint(X.Kt2));
  }

  static TEntJwwTen TemporaryPoint(TEntJwwTen T) {
    T.bKariten = 1;
    return T;
  }

  ArchiveOut& Out_;
  std::int32_t Ver_, DocVer_;
  const std::vector<TEntJwwBlockDef>& Defs_;
  BlockLookup Lookup_;
  RecordOut Records_;
  std::uint32_t ClassIndex_[kBlockDef + 1] = {};
  std::uint32_t Running_ = 1;
};

// Marks every definition that an insert of the entity list names, directly
// or through the inserts of definitions already marked.
void MarkReachedDefinitions(std::vector<TEntJwwBlockDef>& Defs, const RecordArray<TEntJwwBlock>& Inserts) {
  const BlockLookup Lookup(Defs);
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
  if (!In.ReadCount(N)) ThrowFault(TJwFault::EntityListEndsEarly, In.reader().Position());
  N1 = static_cast<std::int32_t>(N);
  N2 = 0;
  static const std::uint64_t kMinObjectBytes = SmallestObjectBytes();
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

void TJwBody::MarkUsedBlockDefs() {
  for (TEntJwwBlockDef& D : EntBlockDef) {
    D.ref_flag = false;
    D.ref_no = -1;
  }
  MarkReachedDefinitions(EntBlockDef, EntBlock);
  std::int32_t Next = 0;
  for (TEntJwwBlockDef& D : EntBlockDef)
    if (D.ref_flag) D.ref_no = Next++;
  EntBlockNum = Next;
}

void TJwBody::MakeBlockTree() {
  MarkUsedBlockDefs();
  BuildBlockTree();
}

void TJwBody::BuildBlockTree() {
  EntBlockTree.clear();
  if (EntBlock.empty()) return;
  const BlockLookup Lookup(EntBlockDef);
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
}
