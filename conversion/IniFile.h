// The INI file beside the executable: the conversion settings together with
// what the main window remembers (its layout, the folders, the file filter).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "conversion/ConvSettings.h"

inline constexpr int kFileListColumns = 6;
inline constexpr int kIniLineCount = 671;

struct TIniState {
  // [Form]: the main window (F1_X, F1_Y, F1_W, F1_H) and the settings dialog
  // (F3_X, F3_Y), in pixels.
  std::int32_t Form1Left = 64;
  std::int32_t Form1Top = 64;
  std::int32_t Form1Width = 600;
  std::int32_t Form1Height = 520;
  std::int32_t Form3Left = 64;
  std::int32_t Form3Top = 64;
  // [Comp]: the folder-tree panel (F1P1) and the file-list columns (F1S0 ... F1S5).
  std::int32_t Panel1Width = 200;
  std::array<std::int32_t, kFileListColumns> ColumnWidths{80, 80, 80, 80, 80, 80};
  // [Set]: the source folder (FLD1), the destination folder text (FLD2) and
  // the file-type filter's item index (FTYP). FNAM and CVNO live in Settings.
  std::u16string preFolder;
  std::u16string DestFolder;
  std::int32_t FileTypeIndex = 0;
  // [Set] FNAM and CVNO, [JWW], [JWW1].
  TConvSettings Settings;
  bool operator==(const TIniState&) const = default;
};

// The defaults, overridden by what the file holds, then VerRaise computed. A
// missing, unreadable or oversized file leaves every default.
TIniState LoadIni(std::u16string_view FileName);
// The same on a text already read (DecodeSettingsText).
TIniState IniFromText(std::u16string_view Text);

// Writes all 671 lines, replacing the file atomically. On failure the result
// is false and an older file stays as it was: the temporary file already
// keeps a half-written one from ever taking its place.
bool SaveIni(std::u16string_view FileName, const TIniState& State);
// The bytes SaveIni writes.
std::string IniFileBytes(const TIniState& State);
