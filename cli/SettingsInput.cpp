#include "cli/SettingsInput.h"

#include <iostream>

#include "conversion/IniFile.h"
#include "conversion/SettingsDialogModel.h"
#include "conversion/SettingsText.h"
#include "support/Func_2.h"

namespace {

std::string FaultText(const TSettingsDialogModel& M, const TInputFault& F) {
  static const char* const kRowFields[] = {"", "destination colour", "destination line type", "destination width"};
  switch (F.Place) {
    case TInputFault::ColorGrid: {
      const bool Width = F.Column == 2;
      const std::u16string& Cell = Width ? M.WidthCells[F.Row] : M.ColorCells[F.Row];
      return "colour row " + std::to_string(F.Row) + " (" + ToUtf8(ColorRowName(F.Row)) + "), " +
             (Width ? "width" : "colour") + " \"" + ToUtf8(Cell) + "\"";
    }
    case TInputFault::LtypeGrid:
      return "line type row " + std::to_string(F.Row) + " (" + ToUtf8(LtypeRowName(F.Row)) + ") \"" +
             ToUtf8(M.LtypeCells[F.Row]) + "\"";
    case TInputFault::CombRow:
      return "combination row " + std::to_string(F.Row) + ", " + kRowFields[F.Column] + " \"" +
             ToUtf8(M.Rows[F.Row].Edits[F.Column - 1]) + "\"";
    case TInputFault::RangeEdit: break;  // the range fields hold nothing read from a file
  }
  return {};
}

// The settings as the dialog's OK takes them from a settings file, or as
// start-up reads them from an INI file.
std::optional<TConvSettings> ReadSettingsFile(const std::string& File) {
  const std::u16string Path = FromNativeName(File);
  if (FileExtLower(Path) == u".ini") {
    const std::optional<std::u16string> Text = ReadSettingsText(Path);
    if (!Text) {
      std::cerr << "lintorra-cli: cannot read " << File << "\n";
      return std::nullopt;
    }
    return IniFromText(*Text).Settings;
  }
  TSettingsDialogModel Model;
  switch (Model.OpenFile(Path)) {
    case TOpenResult::Opened: break;
    case TOpenResult::Unreadable: std::cerr << "lintorra-cli: cannot read " << File << "\n"; return std::nullopt;
    case TOpenResult::NoSettings:
      std::cerr << "lintorra-cli: " << File << " holds no settings section\n";
      return std::nullopt;
  }
  TConvSettings S;
  const TOkOutcome Ok = Model.Accept(S);
  if (Ok.Fault) {
    std::cerr << "lintorra-cli: " << File << ": invalid value in " << FaultText(Model, *Ok.Fault) << "\n";
    return std::nullopt;
  }
  return S;
}

}  // namespace

std::string TerminalText(std::u16string_view Text) {
  std::u16string S(Text);
  for (std::size_t P; (P = S.find(u"\r\n")) != std::u16string::npos;) S.erase(P, 1);
  return ToUtf8(S);
}

std::optional<TConvSettings> ReadSettings(const std::string& File, const std::optional<std::string>& Mode) {
  std::optional<TConvSettings> S = ReadSettingsFile(File);
  if (S && Mode) S->ConvMode = *Mode == "combination" ? kModeCombination : kModeIndividual;
  return S;
}
