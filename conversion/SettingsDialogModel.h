// The state of the conversion settings dialog without any widget: the grid
// cells as texts, the eight check boxes, the showing page and the ten
// combination rows, with the dialog's operations (fill, reset, input check,
// range setting, OK, settings-file save and open). The window binds these to
// its controls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "conversion/ConvSettings.h"

// The notes OK shows while the settings require a version raise.
inline constexpr std::u16string_view kNoticeVer351 =
    u"線幅指定を行いましたので、\r\nVer.3.51未満のデータはVer.3.51形式として保存されます。";
inline constexpr std::u16string_view kNoticeVer420 =
    u"SXF対応拡張線色線種の指定を行いましたので、\r\nVer.4.20未満のデータはVer.4.20形式として保存されます。";

// The note for a VerRaise level; empty for 0.
std::u16string_view VerRaiseNotice(std::int32_t VerRaise);

inline constexpr int kIndividualPage = 0;
inline constexpr int kCombinationPage = 1;

// One combination row as its frame shows it.
struct TCombRowModel {
  bool Checked = false;
  std::int32_t ColorIndex = 0;  // item index of the colour list, 0 .. 264
  std::int32_t LtypeIndex = 0;  // item index of the line-type list, 0 .. 48
  // Edit1, Edit2, Edit3: destination colour, line type and width.
  std::array<std::u16string, 3> Edits{u"0", u"0", u"-1"};
  bool operator==(const TCombRowModel&) const = default;
};

// The columns the range-setting buttons fill, which are also the three
// kinds of number the dialog takes.
enum class TRangeColumn {
  Color,  // Button1 with Edit1: the colour column of the colour grid
  Width,  // Button3 with Edit3: the width column of the colour grid
  Ltype,  // Button2 with Edit2: the line-type grid
};

// A number as typed into a cell or field: blanks around it are ignored,
// full-width forms (０–９, －, ＋ and the other full-width ASCII
// characters) and the minus sign − read as their ASCII counterparts, and
// what is left must be an integer of TextToInt's syntax. A text that is
// empty or only blanks reads 0; any other text gives nothing.
std::optional<std::int32_t> ReadTypedNumber(std::u16string_view Text);

// What a kind of number accepts, for the fault messages ("-1～30000").
std::u16string_view AcceptedValues(TRangeColumn Kind);

// An input that is no number or out of its range; the window beeps, shows
// Page(), puts the focus (and the grid cursor) there and shows Message().
struct TInputFault {
  enum TPlace { ColorGrid, LtypeGrid, CombRow, RangeEdit };
  TPlace Place = ColorGrid;
  int Row = 0;  // grid row (1-based) or combination row 1 .. 10; 0 for a range edit
  // Colour grid: 1 colour, 2 width; line-type grid: 1; combination row and
  // range edits: Edit1 (colour), Edit2 (line type) or Edit3 (width) as 1 .. 3.
  int Column = 0;
  int Page() const { return Place == CombRow ? kCombinationPage : kIndividualPage; }
  TRangeColumn Kind() const;
  // "線色・線幅設定 3行目 線幅: -1～30000 の整数を入力して下さい"
  std::u16string Message() const;
  bool operator==(const TInputFault&) const = default;
};

// What opening a settings file did.
enum class TOpenResult {
  Opened,      // the file was read into the controls
  Unreadable,  // the file could not be read: the controls are reset
  NoSettings,  // the file holds no settings section: nothing changed
};

// The result of OK: a fault (the dialog stays open, nothing is written), or
// the settings written back and the note to show (empty for none).
struct TOkOutcome {
  std::optional<TInputFault> Fault;
  std::u16string_view Notice;
};

class TSettingsDialogModel {
 public:
  TSettingsDialogModel();  // the reset state on page 0

  // Row r of each array is grid row r; element 0 is unused.
  std::array<std::u16string, kColorRows + 1> ColorCells;  // colour grid, column 1
  std::array<std::u16string, kColorRows + 1> WidthCells;  // colour grid, column 2
  std::array<std::u16string, kLtypeRows + 1> LtypeCells;  // line-type grid, column 1
  std::array<bool, kOptSwitches + 1> Checks{};            // CheckBox1 .. CheckBox8
  int Page = kIndividualPage;
  std::array<TCombRowModel, kCombRowCount + 1> Rows;

  // The dialog being shown: the controls from the settings. A switch is
  // ticked when its value is not 0; the page is 1 only for combination mode.
  // A list position outside its list is not taken over: the list stays at 0.
  void FillFrom(const TConvSettings& S);

  // Before a settings file is opened: cells "0"/"-1"/"0", boxes unticked,
  // rows reset; the showing page stays.
  void Reset();

  // Checks the colour grid (row by row, colour then width), the line-type
  // grid, then every row's three edit fields, and stops at the first fault:
  // a text that is no number (ReadTypedNumber) or out of its range. Valid
  // grid cells passed on the way are rewritten as decimal (an empty one
  // becomes "0"); row edit texts are not rewritten.
  std::optional<TInputFault> CheckInput();

  // A range-setting button: when EditText reads as a value the column
  // accepts, EditText is rewritten as decimal and the column's cells of rows
  // TopRow .. BottomRow of the selection get it (bounds in either order,
  // limited to the grid). The fault of the range edit, with nothing changed,
  // otherwise.
  std::optional<TInputFault> SetRange(TRangeColumn Column, std::u16string& EditText, int TopRow, int BottomRow);

  // The settings as the controls read now (cells and edits through
  // ReadTypedNumber, what is no number as 0; switches 1/0, ConvMode the
  // page); SetFileName empty, VerRaise 0.
  TConvSettings ToSettings() const;

  // OK: CheckInput; when it passes, the controls are copied into S (its
  // SetFileName kept), VerRaise is recomputed and its note returned.
  TOkOutcome Accept(TConvSettings& S);

  // Writes the controls as a settings file (the caller has run CheckInput).
  bool SaveFile(std::u16string_view FileName) const;

  // Reset, then the file read into the controls. A file that cannot be read
  // leaves the controls reset; one without any settings section ("[JWW]",
  // "[Set]", "[JWW1]") is refused and leaves them as they were.
  TOpenResult OpenFile(std::u16string_view FileName);

  bool operator==(const TSettingsDialogModel&) const = default;

 private:
  std::span<std::u16string> CellsOf(TRangeColumn Column);
};
