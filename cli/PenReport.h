// The census and the dry run as the command line prints them: English names
// for places, kinds and problems, pens by number and by the settings
// dialog's names, as JSON, as CSV fields or as an aligned text table.
#pragma once

#include <iosfwd>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "conversion/DrawingLoad.h"
#include "conversion/DryRun.h"
#include "conversion/PenCensus.h"

const char* WhereId(TPenWhere Where);   // "drawing", "block", "unused-block", "header"
const char* KindId(TPenKind Kind);      // "line", "arc", ..., "text-type", "dimension-setting"
const char* ProblemId(TFileProblem P);  // "not-drawing", "unreadable", ...

// "line", or "text-type 3" for a header pen.
std::string KindText(const TPenKey& Key);
// "2 線色 2", "1 線種1:実線", "0 基本幅": the number and its name.
std::string ColorText(TPenKind Kind, std::int32_t Color);
std::string LtypeText(TPenKind Kind, std::int32_t Ltype);
std::string WidthText(std::int32_t Width);

// The census rows, each {where, kind, [item], color, color_name, [ltype,
// ltype_name, width, width_name], count}.
nlohmann::ordered_json CensusJson(const TPenCensus& C);
// The transitions, each {where, kind, [item], added, before, after, count}.
nlohmann::ordered_json TransitionsJson(const TTransitionTally& T);

// A census row as CSV fields: where, kind, item, color, color_name, ltype,
// ltype_name, width, width_name, count (empty where a header pen has none).
std::vector<std::u16string> CensusCsvFields(const TPenCount& Row);
std::vector<std::u16string> CensusCsvHeader();

// Rows of cells printed with their columns aligned as a terminal shows them
// (a wide character takes two columns).
class TTextTable {
 public:
  explicit TTextTable(std::vector<std::string> Header) { Rows_.push_back(std::move(Header)); }
  void Row(std::vector<std::string> Cells) { Rows_.push_back(std::move(Cells)); }
  void Print(std::ostream& Out, const std::string& Indent) const;

 private:
  std::vector<std::vector<std::string>> Rows_;
};

void PrintCensusTable(std::ostream& Out, const TPenCensus& C);
void PrintTransitionsTable(std::ostream& Out, const TTransitionTally& T);
