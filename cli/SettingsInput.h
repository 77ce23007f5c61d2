// The conversion settings a subcommand takes from a settings file (*.set),
// read as the settings dialog's open and OK buttons take them, or from an
// INI file, read as start-up reads it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "conversion/ConvSettings.h"

// Exit code of a subcommand whose settings file cannot be used.
inline constexpr int kExitBadSettings = 2;

// The settings of the file, with the mode overridden when one is given
// ("individual" or "combination"); nullopt, with the reason printed on
// standard error, when the file cannot be read or holds an invalid value.
std::optional<TConvSettings> ReadSettings(const std::string& File, const std::optional<std::string>& Mode);

// The system's texts break lines with CR LF; a terminal wants LF.
std::string TerminalText(std::u16string_view Text);
