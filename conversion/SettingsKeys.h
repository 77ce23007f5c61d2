// The conversion keys of the text form, shared by the INI file and the
// settings files: the tables and switches under [JWW], the combination rows
// under [JWW1] and the mode CVNO under [Set]. The two kinds of file write
// these sections alike and read them by slightly different rules (dialects).
#pragma once

#include <string_view>

#include "conversion/ConvSettings.h"
#include "conversion/SettingsText.h"

inline constexpr std::u16string_view kSectionSet = u"[Set]";
inline constexpr std::u16string_view kSectionJww = u"[JWW]";
inline constexpr std::u16string_view kSectionJww1 = u"[JWW1]";
inline constexpr std::u16string_view kModeKey = u"CVNO";  // under [Set]

enum class TSettingsDialect {
  // The INI file: keys match exactly ("C1", never "C01"); values are taken as
  // they stand; FLn is a truth value ("1", "true", "on", "○" ...).
  Ini,
  // A settings file: the number after the key letters is read as an integer
  // ("C01" is C1); a switch or a row's FL is on only at the value 1; CVNO
  // counts only as 0 or 1; list positions outside their list are ignored
  // (the earlier value stays), so the dialog never gets one it cannot show.
  SetFile,
};

// Writes "[JWW]" with C1 ... C322 and W1 ... W265.
void WriteTableSection(TSettingsTextWriter& W, const TConvSettings& S);
// Writes "[JWW1]" with FLn, CNn, LNn, CLn, LTn, WDn for n = 1 ... 10.
void WriteRowSection(TSettingsTextWriter& W, const TConvSettings& S);

// Applies one key line of [JWW], [JWW1] or CVNO of [Set]; anything else is
// left alone.
void ApplyConversionKey(TConvSettings& S, const TKeyLine& L, TSettingsDialect Dialect);
