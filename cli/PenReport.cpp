#include "cli/PenReport.h"

#include <algorithm>
#include <ostream>

#include "conversion/PenNames.h"
#include "support/Func_2.h"

namespace {

// Columns a character takes in a terminal: two for the wide East Asian
// ranges, one otherwise (the rest of a surrogate pair takes none).
int Columns(char32_t C) {
  const bool Wide = (C >= 0x1100 && C <= 0x115F) || (C >= 0x2E80 && C <= 0xA4CF) || (C >= 0xAC00 && C <= 0xD7A3) ||
                    (C >= 0xF900 && C <= 0xFAFF) || (C >= 0xFE30 && C <= 0xFE4F) || (C >= 0xFF00 && C <= 0xFF60) ||
                    (C >= 0xFFE0 && C <= 0xFFE6) || C >= 0x1F300;
  return Wide ? 2 : 1;
}

int DisplayWidth(const std::string& Utf8) {
  int W = 0;
  for (std::size_t I = 0; I < Utf8.size();) {
    const auto B = static_cast<unsigned char>(Utf8[I]);
    const int Len = B < 0x80 ? 1 : B < 0xE0 ? 2 : B < 0xF0 ? 3 : 4;
    char32_t C = Len == 1 ? B : B & (0x7F >> Len);
    for (int K = 1; K < Len && I + K < Utf8.size(); ++K) C = C << 6 | (static_cast<unsigned char>(Utf8[I + K]) & 0x3F);
    W += Columns(C);
    I += static_cast<std::size_t>(Len);
  }
  return W;
}

nlohmann::ordered_json PenJson(TPenKind Kind, const TPen& P) {
  nlohmann::ordered_json J;
  J["color"] = P.Color;
  J["color_name"] = ToUtf8(PenColorName(Kind, P.Color));
  if (IsHeaderKind(Kind)) return J;
  J["ltype"] = P.Ltype;
  J["ltype_name"] = ToUtf8(PenLtypeName(Kind, P.Ltype));
  J["width"] = P.Width;
  J["width_name"] = ToUtf8(PenWidthName(P.Width));
  return J;
}

void PlaceJson(nlohmann::ordered_json& J, TPenWhere Where, TPenKind Kind, std::int32_t Item) {
  J["where"] = WhereId(Where);
  J["kind"] = KindId(Kind);
  if (IsHeaderKind(Kind)) J["item"] = Item;
}

std::string KindText(TPenKind Kind, std::int32_t Item) {
  std::string K = KindId(Kind);
  return IsHeaderKind(Kind) ? K + " " + std::to_string(Item) : K;
}

std::string PenText(TPenKind Kind, const TPen& P) {
  std::string S = ColorText(Kind, P.Color);
  if (!IsHeaderKind(Kind)) S += " / " + LtypeText(Kind, P.Ltype) + " / " + WidthText(P.Width);
  return S;
}

}  // namespace

const char* WhereId(TPenWhere Where) {
  switch (Where) {
    case TPenWhere::Drawing: return "drawing";
    case TPenWhere::KeptBlock: return "block";
    case TPenWhere::DroppedBlock: return "unused-block";
    case TPenWhere::Header: return "header";
  }
  return "";
}

const char* KindId(TPenKind Kind) {
  switch (Kind) {
    case TPenKind::Line: return "line";
    case TPenKind::Arc: return "arc";
    case TPenKind::Point: return "point";
    case TPenKind::Text: return "text";
    case TPenKind::Dimension: return "dimension";
    case TPenKind::DimensionLine: return "dimension-line";
    case TPenKind::DimensionText: return "dimension-text";
    case TPenKind::DimensionExtension: return "dimension-extension-line";
    case TPenKind::DimensionPoint: return "dimension-point";
    case TPenKind::Solid: return "solid";
    case TPenKind::BlockInsert: return "block-insert";
    case TPenKind::TextTypeColor: return "text-type";
    case TPenKind::DimensionSetting: return "dimension-setting";
  }
  return "";
}

const char* ProblemId(TFileProblem P) {
  switch (P) {
    case TFileProblem::None: return "none";
    case TFileProblem::NotDrawing: return "not-drawing";
    case TFileProblem::Unreadable: return "unreadable";
    case TFileProblem::NotRecognised: return "not-recognised";
    case TFileProblem::Incomplete: return "incomplete";
    case TFileProblem::NotSaved: return "not-saved";
  }
  return "";
}

std::string KindText(const TPenKey& Key) { return KindText(Key.Kind, Key.Item); }

std::string ColorText(TPenKind Kind, std::int32_t Color) {
  return std::to_string(Color) + " " + ToUtf8(PenColorName(Kind, Color));
}

std::string LtypeText(TPenKind Kind, std::int32_t Ltype) {
  const std::u16string Name = PenLtypeName(Kind, Ltype);
  return HasLineType(Kind) ? std::to_string(Ltype) + " " + ToUtf8(Name) : ToUtf8(Name);
}

std::string WidthText(std::int32_t Width) {
  return Width == 0 ? "0 " + ToUtf8(PenWidthName(0)) : std::to_string(Width);
}

nlohmann::ordered_json CensusJson(const TPenCensus& C) {
  nlohmann::ordered_json Rows = nlohmann::ordered_json::array();
  for (const TPenCount& R : C.Rows()) {
    nlohmann::ordered_json J;
    PlaceJson(J, R.Key.Where, R.Key.Kind, R.Key.Item);
    J.update(PenJson(R.Key.Kind, R.Key.Pen));
    J["count"] = R.Count;
    Rows.push_back(std::move(J));
  }
  return Rows;
}

nlohmann::ordered_json TransitionsJson(const TTransitionTally& T) {
  nlohmann::ordered_json Rows = nlohmann::ordered_json::array();
  for (const TPenTransition& X : T.Rows()) {
    const TPenChange& C = X.Change;
    nlohmann::ordered_json J;
    PlaceJson(J, C.Where, C.Kind, C.Item);
    J["added"] = C.Added;
    J["before"] = PenJson(C.Kind, C.Before);
    J["after"] = PenJson(C.Kind, C.After);
    J["count"] = X.Count;
    Rows.push_back(std::move(J));
  }
  return Rows;
}

std::vector<std::u16string> CensusCsvHeader() {
  return {u"where", u"kind",       u"item",  u"color",      u"color_name",
          u"ltype", u"ltype_name", u"width", u"width_name", u"count"};
}

std::vector<std::u16string> CensusCsvFields(const TPenCount& Row) {
  const TPenKey& K = Row.Key;
  const bool Header = IsHeaderKind(K.Kind);
  auto Number = [](std::int32_t V) { return IntToText(V); };
  return {FromUtf8(WhereId(K.Where)),
          FromUtf8(KindId(K.Kind)),
          Header ? Number(K.Item) : u"",
          Number(K.Pen.Color),
          PenColorName(K.Kind, K.Pen.Color),
          Header ? u"" : Number(K.Pen.Ltype),
          Header ? u"" : PenLtypeName(K.Kind, K.Pen.Ltype),
          Header ? u"" : Number(K.Pen.Width),
          Header ? u"" : PenWidthName(K.Pen.Width),
          IntToText(Row.Count)};
}

void TTextTable::Print(std::ostream& Out, const std::string& Indent) const {
  std::vector<int> Widths;
  for (const auto& R : Rows_) {
    Widths.resize(std::max(Widths.size(), R.size()));
    for (std::size_t I = 0; I < R.size(); ++I) Widths[I] = std::max(Widths[I], DisplayWidth(R[I]));
  }
  for (const auto& R : Rows_) {
    std::string Line = Indent;
    for (std::size_t I = 0; I < R.size(); ++I) {
      Line += R[I];
      if (I + 1 < R.size()) Line += std::string(static_cast<std::size_t>(Widths[I] - DisplayWidth(R[I]) + 2), ' ');
    }
    Out << Line << "\n";
  }
}

void PrintCensusTable(std::ostream& Out, const TPenCensus& C) {
  TTextTable T({"where", "kind", "color", "line type", "width", "count"});
  for (const TPenCount& R : C.Rows()) {
    const TPenKey& K = R.Key;
    const bool Header = IsHeaderKind(K.Kind);
    T.Row({WhereId(K.Where), KindText(K), ColorText(K.Kind, K.Pen.Color), Header ? "" : LtypeText(K.Kind, K.Pen.Ltype),
           Header ? "" : WidthText(K.Pen.Width), std::to_string(R.Count)});
  }
  T.Print(Out, "  ");
}

void PrintTransitionsTable(std::ostream& Out, const TTransitionTally& T) {
  TTextTable Table({"where", "kind", "before", "", "after", "count"});
  for (const TPenTransition& X : T.Rows()) {
    const TPenChange& C = X.Change;
    Table.Row({WhereId(C.Where), KindText(C.Kind, C.Item), C.Added ? "(added)" : PenText(C.Kind, C.Before), "->",
               PenText(C.Kind, C.After), std::to_string(X.Count)});
  }
  Table.Print(Out, "  ");
}
