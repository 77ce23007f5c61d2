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

int KindOfClassName(std::string_view name) {
  for (int k = kLine; k <= kBlock; ++k)
    if (kClassNames[k] == name) return k;
  return 0;
}

// ---- Attribute rules ----

int SxfLtypeToStandard(int style) {
  static constexpr int kMap[] = {1, 4, 3, 6, 8, 8, 2, 5, 7, 6, 6, 8, 8, 17, 17};  // 31..45
  if (style >= 31 && style <= 45) return kMap[style - 31];
  if (style >= 46 && style <= 62) return SxfFallbackLtype;
  return style;
}

int SxfColorToStandard(int color) {
  static constexpr int kMap[] = {2, 8, 3, 6, 4, 5, 1, 2, 5, 8, 4, 3, 6, 5, 2, 2};  // 101..116
  if (color >= 101 && color <= 116) return kMap[color - 101];
  if (color >= 117 && color <= 356) return SxfFallbackColor;
  return color;
}

bool InRange(int v, int lo, int hi) { return v >= lo && v <= hi; }
bool IsSxfColor(int c) { return InRange(c, 101, 356); }

// ---- Fixed parts of records ----

// Takes the fields of a fixed part, in file order, from a byte buffer.
class Fields {
 public:
  explicit Fields(const std::uint8_t* p) : p_(p) {}
  template <class T>
  Fields& operator()(T& v) {
    std::memcpy(&v, p_, sizeof v);
    p_ += sizeof v;
    return *this;
  }
  template <class T, class... More>
  Fields& operator()(T& v, More&... more) {
    (*this)(v);
    return (*this)(more...);
  }

 private:
  const std::uint8_t* p_;
};

void TakeAttr(Fields& f, TEntJwwAttr& a, bool withWidth) {
  f(a.lGroup, a.nPenStyle, a.nPenColor);
  if (withWidth) f(a.nPenWidth);
  f(a.nLayer, a.nGLayer, a.sFlg);
}

// Reads the records of one file version. Each reader returns whether its
// checked read delivered any bytes.
class RecordReader {
 public:
  RecordReader(ArchiveIn& in, std::int32_t ver)
      : in_(in), r_(in.reader()), ver_(ver), wide_(ver >= 351), attr_(AttrSize(ver)) {}

  bool Line(TEntJwwLine& x) {
    Fields f = Fixed(attr_ + 32);
    TakeAttr(f, x.att, wide_);
    f(x.start_x, x.start_y, x.end_x, x.end_y);
    return got_;
  }
  bool Enko(TEntJwwEnko& x) {
    Fields f = Fixed(attr_ + 60);
    TakeAttr(f, x.att, wide_);
    f(x.start_x, x.start_y, x.dHankei, x.radKaishiKaku, x.radEnkoKaku, x.radKatamukiKaku, x.dHenpeiRitsu, x.bZenEnFlg);
    return got_;
  }
  bool Ten(TEntJwwTen& x) {
    Fields f = Fixed(attr_ + 20);
    TakeAttr(f, x.att, wide_);
    f(x.start_x, x.start_y, x.bKariten);
    const bool ok = got_;
    if (x.att.nPenStyle == 100) {
      r_.Get(x.nCode);
      r_.Get(x.radKaitenKaku);
      r_.Get(x.dBairitsu);
    }
    return ok;
  }
  bool Moji(TEntJwwMoji& x) {
    Fields f = Fixed(attr_ + 68);
    TakeAttr(f, x.att, wide_);
    f(x.start_x, x.start_y, x.end_x, x.end_y, x.nMojiShu, x.dSizeX, x.dSizeY, x.dKankaku, x.degKakudo);
    const bool ok = got_;
    x.strFontName = in_.ReadStrClean();
    x.str = in_.ReadStrClean();
    RepairTextSize(x.dSizeX, x.dSizeY, x.dKankaku);
    return ok;
  }
  bool Sunpo(TEntJwwSunpo& x) {
    Fields f = Fixed(attr_);
    TakeAttr(f, x.att, wide_);
    Line(x.Sen);
    bool ok = Moji(x.Moji);
    if (ver_ >= 420) {
      r_.Get(x.bSxfMode);
      Line(x.Ho1);
      Line(x.Ho2);
      Ten(x.Te1);
      Ten(x.Te2);
      Ten(x.Kt1);
      ok = Ten(x.Kt2) && ok;
    } else {
      FillSxfPartFromOwnAttr(x);
    }
    return ok;
  }
  bool Solid(TEntJwwSolid& x) {
    Fields f = Fixed(attr_ + 64);
    TakeAttr(f, x.att, wide_);
    f(x.start_x, x.start_y, x.end_x, x.end_y, x.DPoint2_x, x.DPoint2_y, x.DPoint3_x, x.DPoint3_y);
    const bool ok = got_;
    if (x.att.nPenColor == 10) r_.Get(x.Color);
    return ok;
  }
  bool Block(TEntJwwBlock& x) {
    Fields f = Fixed(attr_ + 44);
    TakeAttr(f, x.att, wide_);
    f(x.DPKijunTen_x, x.DPKijunTen_y, x.dBairitsuX, x.dBairitsuY, x.radKaitenKaku, x.nNumber);
    return got_;
  }
  bool BlockDefHead(TEntJwwBlockDef& d) {
    Fields f = Fixed(attr_ + 12);
    TakeAttr(f, d.att, wide_);
    f(d.nNumber, d.bRefferd, d.dtime);
    return got_;
  }

 private:
  // A dimension of a file below 4.20 has no SXF part: its parts take the
  // dimension's own attribute; the points have no style.
  static void FillSxfPartFromOwnAttr(TEntJwwSunpo& x) {
    x.bSxfMode = 0;
    x.Ho1 = x.Ho2 = TEntJwwLine{};
    CopyAttr(x.att, x.Ho1.att);
    CopyAttr(x.att, x.Ho2.att);
    for (TEntJwwTen* t : {&x.Te1, &x.Te2, &x.Kt1, &x.Kt2}) {
      *t = TEntJwwTen{};
      CopyAttr(x.att, t->att);
      t->att.nPenStyle = 0;
    }
  }

  // Reads n bytes into a zeroed buffer; a short read leaves the rest zero.
  Fields Fixed(std::size_t n) {
    std::memset(buf_, 0, n);
    got_ = r_.Read(buf_, n) > 0;
    return Fields(buf_);
  }

  ArchiveIn& in_;
  ByteReader& r_;
  std::int32_t ver_;
  bool wide_;
  std::size_t attr_;
  std::uint8_t buf_[128];
  bool got_ = false;
};

// Reads the tagged object lists of one file: one running object index and
// one class table serve the entity list and all block definitions.
class ListReader {
 public:
  ListReader(ArchiveIn& in, std::int32_t ver) : in_(in), r_(in.reader()), records_(in, ver) {}

  void ReadObjects(const EntityLists& L, std::uint32_t n) {
    for (std::uint32_t counted = 0; counted < n;) {
      const int kind = ReadTag();
      if (kind == 0) continue;  // names no record type: only the tag is consumed
      L.no.push_back(ReadRecord(kind, L));
      ++running_;
      ++counted;
    }
  }

  void ReadBlockDefs(std::vector<TEntJwwBlockDef>& defs, std::uint32_t count) {
    for (std::uint32_t i = 1; i <= count; ++i) {
      ReadDefTag();
      TEntJwwBlockDef& d = defs.emplace_back();
      if (!records_.BlockDefHead(d)) {
        defs.pop_back();
        throw ArchiveError{kIoError};
      }
      if (d.dtime & 0x80000000u) {
        r_.Skip(8);
        d.dtime = i;
      }
      d.strName = in_.ReadStrClean();
      std::uint32_t members = 0;
      in_.ReadCount(members);
      d.N = static_cast<std::int32_t>(members);
      ++running_;
      const EntityLists M = Members(d);
      ReadObjects(M, members);
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
    std::uint16_t t = 0;
    if (r_.Get(t) < sizeof t) throw ArchiveError{kIoError};
    if (t == 0xFFFF) {
      const int kind = KindOfClassName(ReadClassName());
      if (kind == 0) throw ArchiveError{kIoError};
      classes_[running_++] = kind;
      return kind;
    }
    if (t == 0x7FFF) {
      std::uint32_t v = 0;
      r_.Get(v);
      return KindOfClass(v & 0x7FFFFFFFu);
    }
    return (t & 0x8000) ? KindOfClass(t - 0x8000u) : 0;
  }

  // The tag of a block definition: its class name is not checked.
  void ReadDefTag() {
    std::uint16_t t = 0;
    r_.Get(t);
    if (t == 0xFFFF) {
      ReadClassName();
      classes_[running_++] = kBlockDef;
    } else if (t == 0x7FFF) {
      std::uint32_t v = 0;
      r_.Get(v);
    }
  }

  std::string ReadClassName() {
    std::uint16_t schema = 0, length = 0;
    r_.Get(schema);
    r_.Get(length);
    std::string name(static_cast<std::size_t>(std::min<std::uint64_t>(length, r_.Remaining())), '\0');
    name.resize(r_.Read(name.data(), name.size()));
    return name;
  }

  int KindOfClass(std::uint32_t index) const {
    const auto it = classes_.find(index);
    return it != classes_.end() && it->second != kBlockDef ? it->second : 0;
  }

  template <class T>
  TEntJwwNo Append(RecordArray<T>& a, int kind, bool (RecordReader::*read)(T&)) {
    T& rec = a.emplace_back();
    if ((records_.*read)(rec)) return {kind, static_cast<std::int32_t>(a.size() - 1)};
    a.pop_back();
    return {};
  }

  TEntJwwNo ReadRecord(int kind, const EntityLists& L) {
    switch (kind) {
      case kLine: return Append(L.line, kind, &RecordReader::Line);
      case kEnko: return Append(L.enko, kind, &RecordReader::Enko);
      case kTen: return Append(L.ten, kind, &RecordReader::Ten);
      case kMoji: return Append(L.moji, kind, &RecordReader::Moji);
      case kSunpo: return Append(L.sunpo, kind, &RecordReader::Sunpo);
      case kSolid: return Append(L.solid, kind, &RecordReader::Solid);
      default: return Append(L.block, kind, &RecordReader::Block);
    }
  }

  ArchiveIn& in_;
  ByteReader& r_;
  RecordReader records_;
  std::unordered_map<std::uint32_t, int> classes_;  // class index -> kind
  std::uint32_t running_ = 1;
};

// The first definition of each block number; inserts refer to it.
class BlockLookup {
 public:
  explicit BlockLookup(const std::vector<TEntJwwBlockDef>& defs) {
    for (std::size_t i = 0; i < defs.size(); ++i) first_.try_emplace(defs[i].nNumber, static_cast<std::int32_t>(i));
  }
  std::int32_t Find(std::uint32_t number) const {
    const auto it = first_.find(number);
    return it == first_.end() ? -1 : it->second;
  }

 private:
  std::unordered_map<std::uint32_t, std::int32_t> first_;
};

std::uint32_t SavedBlockNumber(const std::vector<TEntJwwBlockDef>& defs, const BlockLookup& lookup, std::uint32_t n) {
  const std::int32_t i = lookup.Find(n);
  if (i < 0) return 0;
  return defs[i].ref_flag ? static_cast<std::uint32_t>(defs[i].ref_no) : n;
}

// The start of an image reference "^@BM<path>,<placement>".
constexpr std::u16string_view kBm = u"^@BM";

// Rewrites an image reference for the output options. The name is cut
// before "%temp%" is dropped, and every leading "%temp%" goes, so that a
// second save finds nothing more to rewrite.
std::u16string RewriteImageReference(std::u16string s, std::int32_t opt) {
  static constexpr std::u16string_view kTemp = u"%temp%";
  if ((opt & kOutImageNameOnly) && s.starts_with(kBm)) {
    const std::size_t comma = s.find(u',');
    if (comma != std::u16string::npos) {
      const std::u16string_view path = std::u16string_view(s).substr(kBm.size(), comma - kBm.size());
      s = std::u16string(kBm) + FileNameOnly(path) + s.substr(comma);
    }
  }
  if ((opt & kOutImageNoTemp) && s.starts_with(kBm)) {
    std::size_t at = kBm.size();
    while (std::u16string_view(s).substr(at).starts_with(kTemp)) at += kTemp.size();
    s.erase(kBm.size(), at - kBm.size());
  }
  return s;
}

// Writes the tagged object lists of one file for output version ver.
class ListWriter {
 public:
  ListWriter(ArchiveOut& out, std::int32_t ver, std::int32_t docVer, std::int32_t opt,
             const std::vector<TEntJwwBlockDef>& defs)
      : out_(out), ver_(ver), docVer_(docVer), opt_(opt), defs_(defs), lookup_(defs) {}

  void WriteObjects(const ConstEntityLists& L) {
    out_.WriteCount(CountObjects(L));
    for (const TEntJwwNo& e : L.no) {
      if (!L.Valid(e)) continue;
      const std::size_t i = static_cast<std::size_t>(e.EntNo);
      switch (e.EntType) {
        case kLine: Object(kLine, [&] { Line(L.line[i]); }); break;
        case kEnko: Object(kEnko, [&] { Enko(L.enko[i]); }); break;
        case kTen: Object(kTen, [&] { Ten(L.ten[i], L.ten[i].bKariten); }); break;
        case kMoji: Object(kMoji, [&] { Moji(L.moji[i], true); }); break;
        case kSunpo: Sunpo(L.sunpo[i]); break;
        case kSolid: Object(kSolid, [&] { Solid(L.solid[i]); }); break;
        case kBlock: Object(kBlock, [&] { Block(L.block[i]); }); break;
      }
    }
  }

  void WriteBlockDefs() {
    std::uint32_t used = 0;
    for (const TEntJwwBlockDef& d : defs_) used += d.ref_flag ? 1 : 0;
    out_.WriteCount(used);
    for (const TEntJwwBlockDef& d : defs_) {
      if (!d.ref_flag) continue;
      Tag(kBlockDef);
      WriteAttr(out_, ver_, d.att, kBlockDef);
      out_.Put(SavedBlockNumber(defs_, lookup_, d.nNumber));
      out_.Put(d.bRefferd);
      out_.Put(d.dtime);
      out_.WriteStr(out_.CleanText(d.strName));
      const ConstEntityLists M = Members(d);
      ++running_;
      WriteObjects(M);
    }
  }

 private:
  bool Expands(const TEntJwwSunpo& x) const { return ver_ < 420 && docVer_ >= 420 && x.bSxfMode != 0; }

  std::uint32_t CountObjects(const ConstEntityLists& L) const {
    std::uint32_t n = 0;
    for (const TEntJwwNo& e : L.no)
      if (L.Valid(e)) n += (e.EntType == kSunpo && Expands(L.sunpo[static_cast<std::size_t>(e.EntNo)])) ? 7 : 1;
    return n;
  }

  void Tag(int kind) {
    std::uint32_t& index = classIndex_[kind];
    if (index == 0) {
      out_.WriteNewClass(static_cast<std::uint16_t>(ver_), kClassNames[kind]);
      index = running_++;
    } else {
      out_.WriteClassRef(index);
    }
  }

  template <class F>
  void Object(int kind, F record) {
    Tag(kind);
    record();
    ++running_;
  }

  void Coords(std::initializer_list<double> values) {
    for (double v : values) out_.Put(v);
  }

  void Line(const TEntJwwLine& x) {
    WriteAttr(out_, ver_, x.att, kLine);
    Coords({x.start_x, x.start_y, x.end_x, x.end_y});
  }
  void Enko(const TEntJwwEnko& x) {
    WriteAttr(out_, ver_, x.att, kEnko);
    Coords({x.start_x, x.start_y, x.dHankei, x.radKaishiKaku, x.radEnkoKaku, x.radKatamukiKaku, x.dHenpeiRitsu});
    out_.Put(x.bZenEnFlg);
  }
  void Ten(const TEntJwwTen& x, std::uint32_t kariten) {
    WriteAttr(out_, ver_, x.att, kTen);
    Coords({x.start_x, x.start_y});
    out_.Put(kariten);
    if (x.att.nPenStyle == 100) {
      out_.Put(x.nCode);
      Coords({x.radKaitenKaku, x.dBairitsu});
    }
  }
  void Moji(const TEntJwwMoji& x, bool imageReferences) {
    WriteAttr(out_, ver_, x.att, kMoji);
    Coords({x.start_x, x.start_y, x.end_x, x.end_y});
    out_.Put(x.nMojiShu);
    Coords({ClampTextSize(x.dSizeX), ClampTextSize(x.dSizeY), x.dKankaku, x.degKakudo});
    out_.WriteStr(out_.CleanText(x.strFontName));
    // The rewrite looks for folder separators in the text as it will read
    // back, so that a second save finds nothing more to cut.
    std::u16string s = out_.CleanText(x.str);
    if (imageReferences) s = RewriteImageReference(std::move(s), opt_);
    out_.WriteStr(s);
  }
  void Sunpo(const TEntJwwSunpo& x) {
    Object(kSunpo, [&] {
      WriteAttr(out_, ver_, x.att, kSunpo);
      Line(x.Sen);
      Moji(x.Moji, false);
      if (ver_ >= 420) {
        out_.Put(x.bSxfMode);
        Line(x.Ho1);
        Line(x.Ho2);
        for (const TEntJwwTen* t : {&x.Te1, &x.Te2, &x.Kt1, &x.Kt2}) Ten(*t, t->bKariten);
      }
    });
    if (!Expands(x)) return;
    // An older version has no SXF dimensions: their parts follow as plain
    // lines and points; the auxiliary points become temporary points.
    Object(kLine, [&] { Line(x.Ho1); });
    Object(kLine, [&] { Line(x.Ho2); });
    Object(kTen, [&] { Ten(x.Te1, x.Te1.bKariten); });
    Object(kTen, [&] { Ten(x.Te2, x.Te2.bKariten); });
    Object(kTen, [&] { Ten(x.Kt1, 1); });
    Object(kTen, [&] { Ten(x.Kt2, 1); });
  }
  void Solid(const TEntJwwSolid& x) {
    WriteAttr(out_, ver_, x.att, kSolid);
    Coords({x.start_x, x.start_y, x.end_x, x.end_y, x.DPoint2_x, x.DPoint2_y, x.DPoint3_x, x.DPoint3_y});
    if (x.att.nPenColor == 10) out_.Put(x.Color);
  }
  void Block(const TEntJwwBlock& x) {
    WriteAttr(out_, ver_, x.att, kBlock);
    Coords({x.DPKijunTen_x, x.DPKijunTen_y, x.dBairitsuX, x.dBairitsuY, x.radKaitenKaku});
    out_.Put(SavedBlockNumber(defs_, lookup_, x.nNumber));
  }

  ArchiveOut& out_;
  std::int32_t ver_, docVer_, opt_;
  const std::vector<TEntJwwBlockDef>& defs_;
  BlockLookup lookup_;
  std::uint32_t classIndex_[kBlockDef + 1] = {};
  std::uint32_t running_ = 1;
};

// Marks every definition that an insert of the entity list names, directly
// or through the inserts of definitions already marked.
void MarkUsedDefinitions(std::vector<TEntJwwBlockDef>& defs, const RecordArray<TEntJwwBlock>& inserts,
                         const BlockLookup& lookup) {
  std::vector<std::int32_t> pending;
  auto mark = [&](std::uint32_t number) {
    const std::int32_t i = lookup.Find(number);
    if (i >= 0 && !defs[i].ref_flag) {
      defs[i].ref_flag = true;
      pending.push_back(i);
    }
  };
  for (const TEntJwwBlock& b : inserts) mark(b.nNumber);
  while (!pending.empty()) {
    const std::int32_t i = pending.back();
    pending.pop_back();
    for (const TEntJwwBlock& b : defs[i].mBlock) mark(b.nNumber);
  }
}

// The placement matrix of an insert: rotation by its angle, then its scales.
void InsertMatrix(const TEntJwwBlock& b, double& c1, double& c2, double& c3, double& c4) {
  const double c = std::cos(b.radKaitenKaku), s = std::sin(b.radKaitenKaku);
  c1 = c * b.dBairitsuX;
  c2 = -s * b.dBairitsuY;
  c3 = s * b.dBairitsuX;
  c4 = c * b.dBairitsuY;
}

// True when node k's definition already appears among its ancestors: a
// definition that inserts itself ends the expansion there.
bool RepeatsAncestor(const std::vector<TEntJwwBlockTree>& tree, std::size_t k) {
  for (std::int32_t p = tree[k].parent; p >= 0; p = tree[p].parent)
    if (tree[p].defno == tree[k].defno) return true;
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
  explicit Placement(const TEntJwwBlockTree& t)
      : level(t.level), x(t.x), y(t.y), r1(t.r1), r2(t.r2), r3(t.r3), r4(t.r4) {}
  std::int32_t level;
  double x, y, r1, r2, r3, r4;
};

std::size_t NodeBytes(const TEntJwwBlockTree& t) { return sizeof t + t.name.size() * sizeof(char16_t); }

}  // namespace

int SxfFallbackColor = 1;
int SxfFallbackLtype = 1;

void JwwTypeInit() {
  SxfFallbackColor = 1;
  SxfFallbackLtype = 1;
}

void RepairTextSize(double& x, double& y, double& spacing) {
  if (!DoubleIsFinite(x)) x = 3.0;
  if (!DoubleIsFinite(y)) y = 3.0;
  if (!DoubleIsFinite(spacing)) spacing = 0.0;
}

double ClampTextSize(double v) {
  const double a = std::fabs(v);
  return a < 1e-10 ? 1e-10 : a > 1e10 ? 1e10 : a;
}

std::size_t AttrSize(std::int32_t ver) { return ver >= 351 ? 15 : 13; }

void CopyAttr(const TEntJwwAttr& source, TEntJwwAttr& dest) { dest = source; }

void WriteAttr(ArchiveOut& out, std::int32_t ver, const TEntJwwAttr& a, int kind) {
  int style = a.nPenStyle;
  int color = a.nPenColor;
  const bool lineLike = kind == kLine || kind == kEnko;
  if (ver < 420) {
    if (lineLike) style = SxfLtypeToStandard(style);
    if (kind >= kLine && kind <= kSolid) color = SxfColorToStandard(color);
  }
  if (lineLike && !(InRange(style, 1, 9) || InRange(style, 11, 19) || InRange(style, 31, 62))) style = SxfFallbackLtype;
  if (kind == kTen && style != 1 && style != 100) style = 1;
  if (kind == kMoji && !InRange(style, 1, 9)) style = 1;
  if (kind >= kLine && kind <= kSunpo && !(InRange(color, 1, 9) || IsSxfColor(color))) color = SxfFallbackColor;
  if (kind == kSolid && !(InRange(color, 1, 10) || IsSxfColor(color))) color = SxfFallbackColor;

  std::uint8_t b[15];
  std::size_t n = 0;
  auto put = [&](auto v) {
    std::memcpy(b + n, &v, sizeof v);
    n += sizeof v;
  };
  put(a.lGroup);
  put(static_cast<std::uint8_t>(style));
  put(static_cast<std::uint16_t>(color));
  if (ver >= 351) put(static_cast<std::uint16_t>(a.nPenWidth > 30000 ? 0 : a.nPenWidth));
  put(static_cast<std::uint16_t>(a.nLayer > 15 ? 0 : a.nLayer));
  put(static_cast<std::uint16_t>(a.nGLayer > 15 ? 0 : a.nGLayer));
  put(a.sFlg);
  out.writer().Write(b, n);
}

EntityLists Members(TEntJwwBlockDef& d) {
  return {d.mNo, d.mLine, d.mEnko, d.mTen, d.mMoji, d.mSunpo, d.mSolid, d.mBlock};
}

ConstEntityLists Members(const TEntJwwBlockDef& d) {
  return {d.mNo, d.mLine, d.mEnko, d.mTen, d.mMoji, d.mSunpo, d.mSolid, d.mBlock};
}

EntityLists TJwBody::Entities() { return {EntNo, EntLine, EntEnko, EntTen, EntMoji, EntSunpo, EntSolid, EntBlock}; }

ConstEntityLists TJwBody::Entities() const {
  return {EntNo, EntLine, EntEnko, EntTen, EntMoji, EntSunpo, EntSolid, EntBlock};
}

void TJwBody::SetFileOutOption(int n) { FileOutOpt = (n >= 0 && n <= 63) ? n : 0; }

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

std::uint32_t TJwBody::ChangeBlockNo(std::uint32_t n) const {
  return SavedBlockNumber(EntBlockDef, BlockLookup(EntBlockDef), n);
}

void TJwBody::ReadBody(ArchiveIn& in, std::int32_t ver, std::int32_t& n1, std::int32_t& n2) {
  std::uint32_t n = 0;
  if (!in.ReadCount(n)) throw ArchiveError{kIoError};
  n1 = static_cast<std::int32_t>(n);
  n2 = 0;
  EntNo.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(n, in.reader().Remaining() / kMinObjectBytes + 1)));
  ListReader lists(in, ver);
  lists.ReadObjects(Entities(), n);
  ListReader::Trim(Entities());
  std::uint32_t defs = 0;
  in.ReadCount(defs);
  if (defs == 0) return;
  n2 = static_cast<std::int32_t>(defs);
  lists.ReadBlockDefs(EntBlockDef, defs);
}

void TJwBody::WriteBody(ArchiveOut& out, std::int32_t ver, std::int32_t docVer) const {
  ListWriter lists(out, ver, docVer, FileOutOpt, EntBlockDef);
  lists.WriteObjects(Entities());
  lists.WriteBlockDefs();
}

void TJwBody::MakeBlockTree() {
  EntBlockTree.clear();
  for (TEntJwwBlockDef& d : EntBlockDef) {
    d.ref_flag = false;
    d.ref_no = -1;
  }
  if (EntBlock.empty()) return;
  const BlockLookup lookup(EntBlockDef);
  MarkUsedDefinitions(EntBlockDef, EntBlock, lookup);

  auto node = [&](const TEntJwwAttr& att, std::int32_t level, std::int32_t parent,
                  std::uint32_t no) -> TEntJwwBlockTree& {
    TEntJwwBlockTree& t = EntBlockTree.emplace_back();
    t.att = att;
    t.level = level;
    t.parent = parent;
    t.no = no;
    t.defno = lookup.Find(no);
    if (t.defno >= 0) t.name = EntBlockDef[t.defno].strName;
    return t;
  };
  for (const TEntJwwBlock& b : EntBlock) {
    TEntJwwBlockTree& t = node(b.att, 0, -1, b.nNumber);
    t.x = b.DPKijunTen_x;
    t.y = b.DPKijunTen_y;
    InsertMatrix(b, t.r1, t.r2, t.r3, t.r4);
  }
  const std::size_t limit = EntBlockTree.size() + kMaxNestedTreeNodes;
  // Room for the whole expansion at once: growing node by node would move
  // every node (and touch fresh memory) again at each step.
  if (std::any_of(EntBlockDef.begin(), EntBlockDef.end(), [](const TEntJwwBlockDef& d) { return !d.mBlock.empty(); }))
    EntBlockTree.reserve(limit);
  std::size_t budget = kMaxNestedTreeBytes;
  for (std::size_t k = 0; k < EntBlockTree.size() && budget > 0; ++k) {
    if (EntBlockTree[k].defno < 0 || EntBlockTree[k].level >= kMaxTreeDepth || RepeatsAncestor(EntBlockTree, k))
      continue;
    const TEntJwwBlockDef& d = EntBlockDef[EntBlockTree[k].defno];
    for (const TEntJwwBlock& m : d.mBlock) {
      if (EntBlockTree.size() >= limit) break;
      const Placement p(EntBlockTree[k]);
      TEntJwwBlockTree& t = node(d.att, p.level + 1, static_cast<std::int32_t>(k), m.nNumber);
      if (NodeBytes(t) > budget) {
        EntBlockTree.pop_back();
        budget = 0;
        break;
      }
      budget -= NodeBytes(t);
      double c1, c2, c3, c4;
      InsertMatrix(m, c1, c2, c3, c4);
      t.x = p.x + p.r1 * m.DPKijunTen_x + p.r2 * m.DPKijunTen_y;
      t.y = p.y + p.r3 * m.DPKijunTen_x + p.r4 * m.DPKijunTen_y;
      t.r1 = p.r1 * c1 + p.r2 * c3;
      t.r2 = p.r1 * c2 + p.r2 * c4;
      t.r3 = p.r3 * c1 + p.r4 * c3;
      t.r4 = p.r3 * c2 + p.r4 * c4;
    }
  }
  std::int32_t next = 0;
  for (TEntJwwBlockDef& d : EntBlockDef)
    if (d.ref_flag) d.ref_no = next++;
  EntBlockNum = next;
}
