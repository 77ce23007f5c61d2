#include "conversion/IniFile.h"

#include "conversion/SettingsKeys.h"
#include "conversion/SettingsText.h"
#include "support/Func_2.h"

namespace {

constexpr std::u16string_view kSectionForm = u"[Form]";
constexpr std::u16string_view kSectionComp = u"[Comp]";
constexpr std::u16string_view kIniHeaders[] = {kSectionForm, kSectionComp, kSectionSet, kSectionJww, kSectionJww1};

struct TIntKey {
  std::u16string_view Key;
  std::int32_t TIniState::*Field;
};

constexpr TIntKey kFormKeys[] = {{u"F1_X", &TIniState::Form1Left},  {u"F1_Y", &TIniState::Form1Top},
                                 {u"F1_W", &TIniState::Form1Width}, {u"F1_H", &TIniState::Form1Height},
                                 {u"F3_X", &TIniState::Form3Left},  {u"F3_Y", &TIniState::Form3Top}};
constexpr std::u16string_view kPanelKey = u"F1P1";
constexpr std::u16string_view kColumnKeyPrefix = u"F1S";

std::u16string ColumnKey(int Column) { return std::u16string(kColumnKeyPrefix) + IntToText(Column); }

void ApplyFormKey(TIniState& State, const TKeyLine& L) {
  for (const TIntKey& K : kFormKeys)
    if (L.Key == K.Key) State.*K.Field = TextToInt(L.Value);
}

void ApplyCompKey(TIniState& State, const TKeyLine& L) {
  if (L.Key == kPanelKey) State.Panel1Width = TextToInt(L.Value);
  for (int Column = 0; Column < kFileListColumns; ++Column)
    if (L.Key == ColumnKey(Column)) State.ColumnWidths[Column] = TextToInt(L.Value);
}

void ApplySetKey(TIniState& State, const TKeyLine& L) {
  if (L.Key == u"FLD1") State.preFolder = L.Value;
  else if (L.Key == u"FLD2") State.DestFolder = L.Value;
  else if (L.Key == u"FNAM") State.Settings.SetFileName = L.Value;
  else if (L.Key == u"FTYP") State.FileTypeIndex = TextToInt(L.Value);
}

void ApplyIniKey(TIniState& State, const TKeyLine& L) {
  if (L.Section == kSectionForm) ApplyFormKey(State, L);
  else if (L.Section == kSectionComp) ApplyCompKey(State, L);
  else if (L.Section == kSectionSet) ApplySetKey(State, L);
  ApplyConversionKey(State.Settings, L, TSettingsDialect::Ini);
}

TSettingsTextWriter IniText(const TIniState& State) {
  TSettingsTextWriter W;
  W.Line(kSectionForm);
  for (const TIntKey& K : kFormKeys) W.Key(K.Key, State.*K.Field);
  W.Line(kSectionComp);
  W.Key(kPanelKey, State.Panel1Width);
  for (int Column = 0; Column < kFileListColumns; ++Column) W.Key(ColumnKey(Column), State.ColumnWidths[Column]);
  W.Line(u"F1S6=0");
  W.Line(kSectionSet);
  W.Key(u"FLD1", State.preFolder);
  W.Key(u"FLD2", State.DestFolder);
  W.Key(u"FNAM", State.Settings.SetFileName);
  W.Key(u"FTYP", State.FileTypeIndex);
  W.Key(kModeKey, State.Settings.ConvMode);
  WriteTableSection(W, State.Settings);
  WriteRowSection(W, State.Settings);
  return W;
}

}  // namespace

TIniState LoadIni(std::u16string_view FileName) {
  const auto Text = ReadSettingsText(FileName);
  return IniFromText(Text ? std::u16string_view(*Text) : std::u16string_view());
}

TIniState IniFromText(std::u16string_view Text) {
  TIniState State;
  ForEachKeyLine(Text, kIniHeaders, kSectionForm, [&](const TKeyLine& L) { ApplyIniKey(State, L); });
  State.Settings.RecomputeVerRaise();
  return State;
}

bool SaveIni(std::u16string_view FileName, const TIniState& State) {
  return WriteSettingsText(FileName, IniText(State));
}

std::string IniFileBytes(const TIniState& State) { return IniText(State).Bytes(); }
