#include "conversion/SettingsFile.h"

#include "conversion/SettingsKeys.h"
#include "conversion/SettingsText.h"

namespace {

// "[Form]" and "[Comp]" are no headers here; lines after them stay in the
// section before.
constexpr std::u16string_view kSettingsHeaders[] = {kSectionJww, kSectionSet, kSectionJww1};

}  // namespace

bool WriteSettingsFile(std::u16string_view FileName, const TConvSettings& S) {
  TSettingsTextWriter W;
  WriteTableSection(W, S);
  W.Line(kSectionSet);
  W.Key(kModeKey, S.ConvMode);
  WriteRowSection(W, S);
  return WriteSettingsText(FileName, W);
}

bool ReadSettingsFile(std::u16string_view FileName, TConvSettings& S) {
  const auto Text = ReadSettingsText(FileName);
  if (!Text) return false;
  ForEachKeyLine(*Text, kSettingsHeaders, kSectionJww,
                 [&](const TKeyLine& L) { ApplyConversionKey(S, L, TSettingsDialect::SetFile); });
  return true;
}
