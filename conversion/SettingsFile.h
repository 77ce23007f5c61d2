// Named settings files ("*.set"): the conversion part of the text form as the
// settings dialog shows it, without the window layout and folders.
#pragma once

#include <string>
#include <string_view>

#include "conversion/ConvSettings.h"

inline constexpr int kSettingsFileLineCount = 651;

// Writes [JWW], [Set] (CVNO only) and [JWW1]. False when the file could not
// be written whole; an older file of that name then stays as it was.
bool WriteSettingsFile(std::u16string_view FileName, const TConvSettings& S);

// Applies the file's keys to S by the settings-file rules (TSettingsDialect::
// SetFile); keys the file lacks leave S as it was. False, with S unchanged,
// when the file cannot be read.
bool ReadSettingsFile(std::u16string_view FileName, TConvSettings& S);

// The same two on text in memory: the bytes WriteSettingsFile writes, and a
// text already read (DecodeSettingsText) applied to S.
std::string SettingsFileBytes(const TConvSettings& S);
void ApplySettingsText(std::u16string_view Text, TConvSettings& S);

// The text has a key line under one of the section headers "[JWW]", "[Set]"
// and "[JWW1]": what sets a settings file apart from any other text.
bool HoldsSettingsSection(std::u16string_view Text);
