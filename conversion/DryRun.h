// What a conversion would do to one loaded file, found without writing
// anything: the real conversion runs on the document in memory, the result
// is saved into memory as a run would save it and read back, and the pens of
// the file read back are paired with the pens of the source, record for
// record. So the changes include what the writer does to what it saves
// (invalid numbers, SXF numbers in older versions), and no rule is decided
// twice.
#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "conversion/ConvSettings.h"
#include "conversion/PenCensus.h"

class TJwwData;
class TJwsData;

// One kind of change: a record of this kind and place whose pen goes from
// Before to After. Added marks parts that only the saved file holds (the SXF
// parts of a dimension when the version is raised to 4.20); their Before is
// the pen the load gave them.
struct TPenChange {
  TPenWhere Where = TPenWhere::Drawing;
  TPenKind Kind = TPenKind::Line;
  std::int32_t Item = 0;
  bool Added = false;
  TPen Before, After;
  auto operator<=>(const TPenChange&) const = default;
};

struct TPenTransition {
  TPenChange Change;
  std::int64_t Count = 0;
  bool operator==(const TPenTransition&) const = default;
};

// Transitions counted over records, files or runs.
class TTransitionTally {
 public:
  void Add(const TPenChange& Change, std::int64_t Count = 1);
  void Add(const TTransitionTally& Other);
  // In key order.
  std::vector<TPenTransition> Rows() const;
  std::int64_t Records() const;  // records that change
  bool Empty() const { return Counts_.empty(); }

 private:
  std::map<TPenChange, std::int64_t> Counts_;
};

struct TDroppedBlockDef {
  std::uint32_t Number = 0;
  std::u16string Name;
  std::int64_t Members = 0;  // member records
};

enum class TSxfTable { Color, Ltype };

// An SXF table entry whose name the saved file holds otherwise.
struct TSxfRename {
  TSxfTable Table = TSxfTable::Color;
  std::int32_t Index = 0;  // 0 ... 256 colours, 0 ... 32 line types
  std::u16string Before, After;
};

struct TDryRun {
  std::int32_t SourceVersion = 0;
  std::int32_t SavedVersion = 0;  // the version of the file the save writes
  TTransitionTally Transitions;
  std::vector<TDroppedBlockDef> Dropped;
  std::vector<TSxfRename> Renamed;
};

enum class TDryRunStatus {
  Done,
  Refused,   // the settings: combination mode without an enabled row
  NotSaved,  // the save into memory failed, or what it wrote did not read back
};

// Converts the loaded document in memory with the settings and works out the
// changes. The document holds the converted state afterwards.
TDryRunStatus DryRunOf(TJwwData& Loaded, const TConvSettings& S, TDryRun& Out);
TDryRunStatus DryRunOf(TJwsData& Loaded, const TConvSettings& S, TDryRun& Out);
