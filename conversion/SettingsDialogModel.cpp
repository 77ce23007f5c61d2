#include "conversion/SettingsDialogModel.h"

#include <algorithm>

#include "conversion/SettingsFile.h"
#include "support/Func_2.h"

namespace {

using TValidity = bool (*)(std::int32_t);

TValidity ValidityOf(TRangeColumn Column) {
  switch (Column) {
    case TRangeColumn::Color: return IsColorSetting;
    case TRangeColumn::Width: return IsWidthSetting;
    case TRangeColumn::Ltype: return IsLtypeSetting;
  }
  return IsColorSetting;
}

// The row edit fields in order: destination colour, line type, width.
constexpr TRangeColumn kEditColumns[3] = {TRangeColumn::Color, TRangeColumn::Ltype, TRangeColumn::Width};

// Reads a cell; a valid one is rewritten as decimal.
bool CheckCell(std::u16string& Cell, TValidity Valid) {
  const std::int32_t V = TextToInt(Cell);
  if (!Valid(V)) return false;
  Cell = IntToText(V);
  return true;
}

template <std::size_t N>
void FillCells(std::array<std::u16string, N>& Cells, const std::array<std::int32_t, N>& Values) {
  for (std::size_t R = 1; R < N; ++R) Cells[R] = IntToText(Values[R]);
}

template <std::size_t N>
void ReadCells(std::array<std::int32_t, N>& Values, const std::array<std::u16string, N>& Cells) {
  for (std::size_t R = 1; R < N; ++R) Values[R] = TextToInt(Cells[R]);
}

std::int32_t ModeOfPage(int Page) { return Page == kCombinationPage ? kModeCombination : kModeIndividual; }

}  // namespace

std::u16string_view VerRaiseNotice(std::int32_t VerRaise) {
  if (VerRaise == 1) return kNoticeVer351;
  if (VerRaise == 2) return kNoticeVer420;
  return {};
}

TSettingsDialogModel::TSettingsDialogModel() { Reset(); }

void TSettingsDialogModel::FillFrom(const TConvSettings& S) {
  FillCells(ColorCells, S.ColorMap);
  FillCells(WidthCells, S.WidthMap);
  FillCells(LtypeCells, S.LtypeMap);
  for (int K = 1; K <= kOptSwitches; ++K) Checks[K] = S.OptFlags[K] != 0;
  Page = S.IsCombinationMode() ? kCombinationPage : kIndividualPage;
  for (int N = 1; N <= kCombRowCount; ++N) {
    const TCombRow& R = S.CombRows[N];
    TCombRowModel& M = Rows[N];
    M.Checked = R.Enabled;
    M.ColorIndex = IsColorListIndex(R.SrcColorIdx) ? R.SrcColorIdx : 0;
    M.LtypeIndex = IsLtypeListIndex(R.SrcLtypeIdx) ? R.SrcLtypeIdx : 0;
    M.Edits = {IntToText(R.DstColor), IntToText(R.DstLtype), IntToText(R.DstWidth)};
  }
}

void TSettingsDialogModel::Reset() {
  const int Showing = Page;
  FillFrom(TConvSettings{});
  Page = Showing;
}

std::optional<TInputFault> TSettingsDialogModel::CheckInput() {
  for (int R = 1; R <= kColorRows; ++R) {
    if (!CheckCell(ColorCells[R], IsColorSetting)) return TInputFault{TInputFault::ColorGrid, R, 1};
    if (!CheckCell(WidthCells[R], IsWidthSetting)) return TInputFault{TInputFault::ColorGrid, R, 2};
  }
  for (int R = 1; R <= kLtypeRows; ++R)
    if (!CheckCell(LtypeCells[R], IsLtypeSetting)) return TInputFault{TInputFault::LtypeGrid, R, 1};
  for (int N = 1; N <= kCombRowCount; ++N)
    for (int E = 0; E < 3; ++E)
      if (!ValidityOf(kEditColumns[E])(TextToInt(Rows[N].Edits[E]))) return TInputFault{TInputFault::CombRow, N, E + 1};
  return std::nullopt;
}

std::span<std::u16string> TSettingsDialogModel::CellsOf(TRangeColumn Column) {
  switch (Column) {
    case TRangeColumn::Color: return ColorCells;
    case TRangeColumn::Width: return WidthCells;
    case TRangeColumn::Ltype: return LtypeCells;
  }
  return ColorCells;
}

bool TSettingsDialogModel::SetRange(TRangeColumn Column, std::u16string& EditText, int TopRow, int BottomRow) {
  const std::int32_t V = TextToInt(EditText);
  if (!ValidityOf(Column)(V)) return false;
  EditText = IntToText(V);
  const std::span<std::u16string> Cells = CellsOf(Column);
  const int LastRow = static_cast<int>(Cells.size()) - 1;
  const int From = std::clamp(std::min(TopRow, BottomRow), 1, LastRow);
  const int To = std::clamp(std::max(TopRow, BottomRow), 1, LastRow);
  for (int R = From; R <= To; ++R) Cells[R] = EditText;
  return true;
}

TConvSettings TSettingsDialogModel::ToSettings() const {
  TConvSettings S;
  ReadCells(S.ColorMap, ColorCells);
  ReadCells(S.WidthMap, WidthCells);
  ReadCells(S.LtypeMap, LtypeCells);
  for (int K = 1; K <= kOptSwitches; ++K) S.OptFlags[K] = Checks[K] ? 1 : 0;
  S.ConvMode = ModeOfPage(Page);
  for (int N = 1; N <= kCombRowCount; ++N) {
    const TCombRowModel& M = Rows[N];
    TCombRow& R = S.CombRows[N];
    R.Enabled = M.Checked;
    R.SrcColorIdx = M.ColorIndex;
    R.SrcLtypeIdx = M.LtypeIndex;
    R.DstColor = TextToInt(M.Edits[0]);
    R.DstLtype = TextToInt(M.Edits[1]);
    R.DstWidth = TextToInt(M.Edits[2]);
  }
  return S;
}

TOkOutcome TSettingsDialogModel::Accept(TConvSettings& S) {
  if (auto Fault = CheckInput()) return {Fault, {}};
  TConvSettings Next = ToSettings();
  Next.SetFileName = std::move(S.SetFileName);
  Next.RecomputeVerRaise();
  S = std::move(Next);
  return {std::nullopt, VerRaiseNotice(S.VerRaise)};
}

bool TSettingsDialogModel::SaveFile(std::u16string_view FileName) const {
  return WriteSettingsFile(FileName, ToSettings());
}

bool TSettingsDialogModel::OpenFile(std::u16string_view FileName) {
  TConvSettings S;                // the reset state
  S.ConvMode = ModeOfPage(Page);  // the showing page stays unless CVNO names one
  const bool Read = ReadSettingsFile(FileName, S);
  FillFrom(S);
  return Read;
}
