#include "conversion/SettingsDialogModel.h"

#include <algorithm>
#include <iterator>

#include "conversion/SettingsFile.h"
#include "conversion/SettingsText.h"
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

// The row and range edit fields in order: colour, line type, width.
constexpr TRangeColumn kEditColumns[3] = {TRangeColumn::Color, TRangeColumn::Ltype, TRangeColumn::Width};

int EditOf(TRangeColumn Kind) {
  return static_cast<int>(std::find(std::begin(kEditColumns), std::end(kEditColumns), Kind) - kEditColumns) + 1;
}

bool IsBlank(char16_t C) { return C == u' ' || C == u'\u3000' || C < u' '; }

// Full-width ASCII forms U+FF01 .. U+FF5E and the minus sign U+2212.
char16_t AsciiForm(char16_t C) {
  if (C >= u'\uFF01' && C <= u'\uFF5E') return static_cast<char16_t>(C - u'\uFF01' + u'!');
  return C == u'\u2212' ? u'-' : C;
}

// Text read as a number of the kind Valid accepts.
std::optional<std::int32_t> ValidNumber(std::u16string_view Text, TValidity Valid) {
  const std::optional<std::int32_t> V = ReadTypedNumber(Text);
  return V && Valid(*V) ? V : std::nullopt;
}

// Reads a cell; a valid one is rewritten as decimal.
bool CheckCell(std::u16string& Cell, TValidity Valid) {
  const std::optional<std::int32_t> V = ValidNumber(Cell, Valid);
  if (!V) return false;
  Cell = IntToText(*V);
  return true;
}

std::int32_t NumberOf(std::u16string_view Text) { return ReadTypedNumber(Text).value_or(0); }

template <std::size_t N>
void FillCells(std::array<std::u16string, N>& Cells, const std::array<std::int32_t, N>& Values) {
  for (std::size_t R = 1; R < N; ++R) Cells[R] = IntToText(Values[R]);
}

template <std::size_t N>
void ReadCells(std::array<std::int32_t, N>& Values, const std::array<std::u16string, N>& Cells) {
  for (std::size_t R = 1; R < N; ++R) Values[R] = NumberOf(Cells[R]);
}

std::int32_t ModeOfPage(int Page) { return Page == kCombinationPage ? kModeCombination : kModeIndividual; }

}  // namespace

std::optional<std::int32_t> ReadTypedNumber(std::u16string_view Text) {
  std::u16string Ascii;
  Ascii.reserve(Text.size());
  for (const char16_t C : Text) Ascii.push_back(AsciiForm(C));
  const std::size_t First = std::find_if_not(Ascii.begin(), Ascii.end(), IsBlank) - Ascii.begin();
  const std::size_t End = Ascii.rend() - std::find_if_not(Ascii.rbegin(), Ascii.rend(), IsBlank);
  if (First >= End) return 0;
  return TryTextToInt(std::u16string_view(Ascii).substr(First, End - First));
}

std::u16string_view AcceptedValues(TRangeColumn Kind) {
  switch (Kind) {
    case TRangeColumn::Color: return u"0～9、101～356";
    case TRangeColumn::Width: return u"-1～30000";
    case TRangeColumn::Ltype: return u"0～9、11～19、31～62";
  }
  return {};
}

TRangeColumn TInputFault::Kind() const {
  switch (Place) {
    case ColorGrid: return Column == 2 ? TRangeColumn::Width : TRangeColumn::Color;
    case LtypeGrid: return TRangeColumn::Ltype;
    case CombRow:
    case RangeEdit: break;
  }
  return kEditColumns[std::clamp(Column, 1, 3) - 1];
}

std::u16string TInputFault::Message() const {
  const int Field = std::clamp(Column, 1, 3) - 1;
  std::u16string M;
  switch (Place) {
    case ColorGrid:
      M = u"線色・線幅設定 " + IntToText(Row) + u"行目 " + (Column == 2 ? u"線幅" : u"変換後線色番号");
      break;
    case LtypeGrid: M = u"線種設定 " + IntToText(Row) + u"行目 変換後線種番号"; break;
    case CombRow: {
      const char16_t* const Fields[3] = {u"変換先線色番号", u"変換先線種番号", u"変換先線幅"};
      M = u"組合せ変換 " + IntToText(Row) + u"行目 " + Fields[Field];
      break;
    }
    case RangeEdit: {
      const char16_t* const Fields[3] = {u"範囲選択した線色", u"範囲選択した線種", u"範囲選択した線幅"};
      M = Fields[Field];
      break;
    }
  }
  M.append(u": ").append(AcceptedValues(Kind())).append(u" の整数を入力して下さい");
  return M;
}

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
      if (!ValidNumber(Rows[N].Edits[E], ValidityOf(kEditColumns[E])))
        return TInputFault{TInputFault::CombRow, N, E + 1};
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

std::optional<TInputFault> TSettingsDialogModel::SetRange(TRangeColumn Column, std::u16string& EditText, int TopRow,
                                                          int BottomRow) {
  const std::optional<std::int32_t> V = ValidNumber(EditText, ValidityOf(Column));
  if (!V) return TInputFault{TInputFault::RangeEdit, 0, EditOf(Column)};
  EditText = IntToText(*V);
  const std::span<std::u16string> Cells = CellsOf(Column);
  const int LastRow = static_cast<int>(Cells.size()) - 1;
  const int From = std::clamp(std::min(TopRow, BottomRow), 1, LastRow);
  const int To = std::clamp(std::max(TopRow, BottomRow), 1, LastRow);
  for (int R = From; R <= To; ++R) Cells[R] = EditText;
  return std::nullopt;
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
    R.DstColor = NumberOf(M.Edits[0]);
    R.DstLtype = NumberOf(M.Edits[1]);
    R.DstWidth = NumberOf(M.Edits[2]);
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

TOpenResult TSettingsDialogModel::OpenFile(std::u16string_view FileName) {
  const std::optional<std::u16string> Text = ReadSettingsText(FileName);
  if (Text && !HoldsSettingsSection(*Text)) return TOpenResult::NoSettings;
  TConvSettings S;                // the reset state
  S.ConvMode = ModeOfPage(Page);  // the showing page stays unless CVNO names one
  if (Text) ApplySettingsText(*Text, S);
  FillFrom(S);
  return Text ? TOpenResult::Opened : TOpenResult::Unreadable;
}
