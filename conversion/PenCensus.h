// The pens a loaded drawing or figure holds: how many records of each kind
// carry each colour, line type and width, read from the very fields and parts
// that the conversion changes, and told apart by where they sit: the
// drawing's own entity list, the members of the block definitions a save
// keeps, or the members of those it drops (unused ones, as the document marks
// them). A drawing also lists the header pens the individual conversion can
// change: the ten text-type colours and the three colour digits of the
// dimension setting.
#pragma once

#include <compare>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

#include "conversion/PenMaps.h"

class TJwwData;
class TJwsData;

enum class TPenWhere : std::uint8_t {
  Drawing,       // the entity list
  KeptBlock,     // members of block definitions a save writes
  DroppedBlock,  // members of block definitions no insert uses
  Header,        // the header pens of a drawing
};

// The kinds of record, with the parts of a dimension that the conversion
// treats apart, and the header pens.
enum class TPenKind : std::uint8_t {
  Line,
  Arc,
  Point,
  Text,
  Dimension,           // its own attribute, which the conversion leaves as it is
  DimensionLine,       // Sen
  DimensionText,       // Moji
  DimensionExtension,  // Ho1, Ho2: in files of version 4.20 on
  DimensionPoint,      // Te1, Te2, Kt1, Kt2: in files of version 4.20 on
  Solid,
  BlockInsert,
  TextTypeColor,     // header: Item is the text type 1 ... 10
  DimensionSetting,  // header: Item 1, 2, 3 are the units, tens and hundreds digit
};

// True for the header pens, which have a colour only.
inline bool IsHeaderKind(TPenKind K) { return K == TPenKind::TextTypeColor || K == TPenKind::DimensionSetting; }
// True for the kinds whose style number is a line type (the others store
// another number there, which the conversion never changes).
bool HasLineType(TPenKind K);

struct TPenKey {
  TPenWhere Where = TPenWhere::Drawing;
  TPenKind Kind = TPenKind::Line;
  std::int32_t Item = 0;  // header pens only
  TPen Pen;               // header pens: Color only
  auto operator<=>(const TPenKey&) const = default;
};

struct TPenKeyHash {
  std::size_t operator()(const TPenKey& K) const;
};

struct TPenCount {
  TPenKey Key;
  std::int64_t Count = 0;
  bool operator==(const TPenCount&) const = default;
};

class TPenCensus {
 public:
  void Add(const TPenKey& Key, std::int64_t Count = 1);
  void Add(const TPenCensus& Other);
  std::int64_t Count(const TPenKey& Key) const;
  // The keys held by at least one record, in key order.
  std::vector<TPenCount> Rows() const;
  bool Empty() const { return Counts_.empty(); }
  bool operator==(const TPenCensus& Other) const { return Rows() == Other.Rows(); }

 private:
  friend class TCensusBuilder;
  std::unordered_map<TPenKey, std::int64_t, TPenKeyHash> Counts_;
};

// One pen of a document as the walk meets it. Present is false for the SXF
// parts of a dimension in a document below version 4.20: the load fills them
// from the dimension's attribute, but the file holds them only from 4.20 on.
struct TPenSlot {
  TPenKey Key;
  bool Present = true;
};

// Visits every pen of a document in one fixed order: the entity list (lines,
// arcs, points, texts, dimensions part by part, solids, inserts), then the
// members of each block definition in definition order, then the header
// pens. Two documents with the same records give the same sequence of keys
// but for the pens.
void ForEachPen(const TJwwData& Doc, const std::function<void(const TPenSlot&)>& Visit);
void ForEachPen(const TJwsData& Doc, const std::function<void(const TPenSlot&)>& Visit);

TPenCensus CensusOf(const TJwwData& Doc);
TPenCensus CensusOf(const TJwsData& Doc);
