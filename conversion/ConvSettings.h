// The conversion settings: the colour/width and line-type tables, the eight
// option switches, the ten combination rows and the active mode, plus the two
// fixed orders ("rows") that number the pens in the tables, the dialog lists
// and the stored files.
//
// Indexing convention: everything the users see numbered from 1 is 1-based
// here too. The tables are arrays one longer than their rows, element 0 is
// unused and stays at its default: ColorMap[1..265], WidthMap[1..265],
// LtypeMap[1..49], OptFlags[1..8] (index with the TOptSwitch constants),
// CombRows[1..10]. The list positions SrcColorIdx/SrcLtypeIdx are 0-based
// (row - 1), as the dialog's drop-down lists count them.
//
// Values read from an INI or settings file are kept exactly as read, valid or
// not, so that saving writes back what was read; the pen maps (PenMaps.h)
// decide how values outside the valid ranges act.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "documents/JwFormat.h"

inline constexpr int kColorRows = 265;
inline constexpr int kLtypeRows = 49;
inline constexpr int kOptSwitches = 8;
inline constexpr int kCombRowCount = 10;
inline constexpr std::int32_t kMaxWidth = kMaxPenWidth;

// Index constants of OptFlags; stored as keys C315 ... C322.
enum TOptSwitch : int {
  OptMojiTypeColor = 1,    // colours of the ten text types
  OptSunpoSetColor = 2,    // colour digits of the dimension setting
  OptSolidColor = 3,       // colours of solids
  OptSunpoColorWidth = 4,  // colours and widths of dimension parts
  OptBlockColorWidth = 5,  // colours and widths of block members
  OptSunpoLtype = 6,       // line types of dimension lines
  OptBlockLtype = 7,       // line types of block members
  OptWidthOverwrite = 8,   // widths already set are replaced too
};

// Conversion modes (ConvMode); any value other than 1 acts as individual.
inline constexpr std::int32_t kModeIndividual = 0;
inline constexpr std::int32_t kModeCombination = 1;

struct TCombRow {
  bool Enabled = false;
  std::int32_t SrcColorIdx = 0;  // 0-based position in the colour list
  std::int32_t SrcLtypeIdx = 0;  // 0-based position in the line-type list
  std::int32_t DstColor = 0;     // 0 keeps the colour
  std::int32_t DstLtype = 0;     // 0 keeps the line type
  std::int32_t DstWidth = -1;    // -1 keeps the width
  // Derived by DeriveCombSources at the start of every run, never stored.
  std::int32_t SrcColor = 0;
  std::int32_t SrcLtype = 0;
  bool operator==(const TCombRow&) const = default;
};

struct TConvSettings {
  TConvSettings();

  std::array<std::int32_t, kColorRows + 1> ColorMap{};  // destination colour; 0 keeps
  std::array<std::int32_t, kColorRows + 1> WidthMap{};  // destination width; -1 keeps
  std::array<std::int32_t, kLtypeRows + 1> LtypeMap{};  // destination line type; 0 keeps
  std::array<std::int32_t, kOptSwitches + 1> OptFlags{};
  std::array<TCombRow, kCombRowCount + 1> CombRows{};
  std::int32_t ConvMode = kModeIndividual;
  std::u16string SetFileName;  // settings file last saved or opened
  std::int32_t VerRaise = 0;   // 0, 1 (to 3.51) or 2 (to 4.20); see RecomputeVerRaise

  // Whether a switch is on as the conversion reads it: the first seven only
  // at exactly 1, OptWidthOverwrite at any value but 0.
  bool IsOn(TOptSwitch Switch) const;
  bool IsCombinationMode() const { return ConvMode == kModeCombination; }

  // The version raise these settings require: 1 when any width is set (a
  // WidthMap entry or an enabled row's DstWidth of 1 or more), 2 when any
  // SXF colour or line type is used (ColorMap >= 100, LtypeMap >= 31, or an
  // enabled row's DstColor >= 100 or DstLtype >= 31), else 0.
  std::int32_t RequiredVerRaise() const;
  void RecomputeVerRaise() { VerRaise = RequiredVerRaise(); }

  // Sets SrcColor/SrcLtype of all ten rows from their list positions.
  void DeriveCombSources();

  bool operator==(const TConvSettings&) const = default;
};

// ---- Pen numbers and rows ----

// Colour row r (1..265) <-> colour number (1..9, 101..356).
std::int32_t ColorOfRow(int Row);
// The row of a colour number; 0 when the number has none.
int ColorRowOf(std::int32_t Color);
// Line-type row r (1..49) <-> line-type number (1..9, 11..19, 31..45, 47..62).
std::int32_t LtypeOfRow(int Row);
// The row of a line-type number; 0 when the number has none (46 included).
int LtypeRowOf(std::int32_t Ltype);

// The pen number of a 0-based list position; 0 when the position lies
// outside the list (0 is no pen number, so such a row matches nothing).
std::int32_t ColorOfListIndex(std::int32_t Index);
std::int32_t LtypeOfListIndex(std::int32_t Index);
bool IsColorListIndex(std::int32_t Index);
bool IsLtypeListIndex(std::int32_t Index);

// Pen numbers that have a row in the settings.
inline bool IsColorNumber(std::int32_t C) { return ColorRowOf(C) != 0; }
inline bool IsLtypeNumber(std::int32_t L) { return LtypeRowOf(L) != 0; }

// Values the settings dialog accepts (0 keeps a colour or line type, -1 a
// width). A line type of 46 is accepted although it has no row.
bool IsColorSetting(std::int32_t V);  // 0, 1..9, 101..356
bool IsLtypeSetting(std::int32_t V);  // 0, 1..9, 11..19, 31..62
bool IsWidthSetting(std::int32_t V);  // -1..30000

// Names of the rows, shown in the grids' first column and the row lists.
std::u16string ColorRowName(int Row);
std::u16string LtypeRowName(int Row);
