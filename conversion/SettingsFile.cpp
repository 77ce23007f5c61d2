#include "conversion/SettingsFile.h"

#include "conversion/SettingsKeys.h"
#include "conversion/SettingsText.h"

namespace {

// "[Form]" and "[Comp]" are no headers here; lines after them stay in the
// section before.
constexpr std::u16string_view kSettingsHeaders[] = {kSectionJww, kSectionSet, kSectionJww1};

TSettingsTextWriter SettingsText(const TConvSettings& S) {
  TSettingsTextWriter W;
  WriteTableSection(W, S);
  W.Line(kSectionSet);
  W.Key(kModeKey, S.ConvMode);
  WriteRowSection(W, S);
  return W;
}

}  // namespace

bool WriteSettingsFile(std::u16string_view FileName, const TConvSettings& S) {
  return WriteSettingsText(FileName, SettingsText(S));
}

bool ReadSettingsFile(std::u16string_view FileName, TConvSettings& S) {
  const auto Text = ReadSettingsText(FileName);
  if (!Text) return false;
  ApplySettingsText(*Text, S);
  return true;
}

std::string SettingsFileBytes(const TConvSettings& S) { return SettingsText(S).Bytes(); }

void ApplySettingsText(std::u16string_view Text, TConvSettings& S) {
  ForEachKeyLine(Text, kSettingsHeaders, kSectionJww,
                 [&](const TKeyLine& L) { ApplyConversionKey(S, L, TSettingsDialect::SetFile); });
}

bool HoldsSettingsSection(std::u16string_view Text) {
  bool Found = false;
  ForEachKeyLine(Text, kSettingsHeaders, u"", [&](const TKeyLine& L) { Found = Found || !L.Section.empty(); });
  return Found;
}
