// lintorra-cli convert: the batch run of the convert button, with the
// settings from an INI or settings file. Progress and the final count go to
// standard output, the run's messages to standard error.
#include <algorithm>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "cli/WorkFolder.h"
#include "conversion/BatchRun.h"
#include "conversion/IniFile.h"
#include "conversion/SettingsDialogModel.h"
#include "conversion/SettingsText.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

// Exit codes besides 0 (the run went through).
constexpr int kExitRefused = 1;      // a folder check or the settings refused the run
constexpr int kExitBadSettings = 2;  // the settings file could not be read or holds a fault

constexpr std::u16string_view kMsgSourceMissing = u"参照フォルダが存在しません。";

struct ConvertOptions {
  std::string settings;
  std::optional<std::string> mode;
  std::string source, destination;
  std::vector<std::string> names;
};

// The system's texts break lines with CR LF; a terminal wants LF.
std::string TerminalText(std::u16string_view Text) {
  std::u16string S(Text);
  for (std::size_t P; (P = S.find(u"\r\n")) != std::u16string::npos;) S.erase(P, 1);
  return ToUtf8(S);
}

void PrintMessage(std::u16string_view Text) { std::cerr << TerminalText(Text) << "\n"; }

const char* OutcomeText(TConvOutcome O) {
  switch (O) {
    case TConvOutcome::Converted: break;
    case TConvOutcome::NotRecognised: return "not a JWW or JWS file of a supported version, not converted";
    case TConvOutcome::LoadFailed: return "could not be read whole, not converted";
    case TConvOutcome::SaveFailed: return "could not be saved, no output written";
  }
  return "converted";
}

class ConsoleHost : public TBatchRunHost {
 public:
  void ShowMessage(std::u16string_view Text) override { PrintMessage(Text); }
  void ShowConfirmation(std::u16string_view Text) override { PrintMessage(Text); }
  // No button to focus and nothing to beep for: the message says it all.
  void Beep() override {}
  void FocusDestinationButton() override {}
  void SetStatusText(std::u16string_view Text) override {
    if (!Text.empty()) std::cout << TerminalText(Text) << std::endl;
  }
  void StopTimer() override {}
  void StartTimer() override {}
  // The window counts a failed file silently; a script needs to hear of it.
  void FileDone(std::u16string_view Source, std::u16string_view, TConvOutcome Outcome) override {
    if (Outcome != TConvOutcome::Converted)
      std::cerr << "lintorra-cli: " << ToUtf8(Source) << ": " << OutcomeText(Outcome) << "\n";
  }
};

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
std::optional<TConvSettings> ReadSettings(const std::string& File) {
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

// Every regular file of the folder, in name order, all selected.
std::vector<TBatchEntry> FolderEntries(const std::u16string& Folder) {
  FileListSearch(WithTrailingDelim(Folder), u"*");
  std::vector<TBatchEntry> Entries;
  for (const TFileField& F : FileList) Entries.push_back({F.name, true});
  FileListClear();
  std::sort(Entries.begin(), Entries.end(),
            [](const TBatchEntry& A, const TBatchEntry& B) { return A.Caption < B.Caption; });
  return Entries;
}

int RunConvert(const ConvertOptions& O) {
  std::optional<TConvSettings> Settings = ReadSettings(O.settings);
  if (!Settings) return kExitBadSettings;
  if (O.mode) Settings->ConvMode = *O.mode == "combination" ? kModeCombination : kModeIndividual;
  if (const std::u16string_view Notice = VerRaiseNotice(Settings->VerRaise); !Notice.empty()) PrintMessage(Notice);

  const std::u16string Source = FromNativeName(O.source);
  if (!IsFolder(Source)) {
    PrintMessage(kMsgSourceMissing);
    return kExitRefused;
  }
  std::vector<TBatchEntry> Entries;
  for (const std::string& Name : O.names) Entries.push_back({FromNativeName(Name), true});
  if (O.names.empty()) Entries = FolderEntries(Source);

  // Without a working folder the bound images of the drawings would be lost.
  TempWorkFolder Work;
  if (!Work.ok()) {
    std::cerr << "lintorra-cli: cannot create a working folder\n";
    return kExitRefused;
  }
  TJwwData JWW;
  JWW.BindImageFolder = Work.path();
  JWW.BindImageExp = JWW.BindImageExr = true;
  TJwsData JWS;
  JWS.BindImageFolder = Work.path();
  ConsoleHost Host;
  const TBatchOutcome Outcome =
      TBatchRun(*Settings, JWW, JWS, Host).Run(Source, FromNativeName(O.destination), Entries);
  return Outcome.Started ? 0 : kExitRefused;
}

}  // namespace

void AddConvertCommand(CLI::App& App, int& ExitCode) {
  auto O = std::make_shared<ConvertOptions>();
  CLI::App* Cmd = App.add_subcommand(
      "convert",
      "Convert the pens of JWW/JWS files from SOURCE_DIR into DEST_DIR, backing up replaced files as .BAK; "
      "exits 1 when the folders or the settings refuse the run, 2 when the settings file cannot be used");
  Cmd->add_option("--settings", O->settings, "Settings file (*.set) or INI file (*.ini)")->required();
  Cmd->add_option("--mode", O->mode, "Conversion mode (default: the one the settings store)")
      ->check(CLI::IsMember({"individual", "combination"}));
  Cmd->add_option("SOURCE_DIR", O->source, "Folder of the files to convert")->required();
  Cmd->add_option("DEST_DIR", O->destination, "Folder the converted files are saved in")->required();
  Cmd->add_option("NAME", O->names, "File names in SOURCE_DIR (default: every file, in name order)");
  Cmd->callback([O, &ExitCode] { ExitCode = RunConvert(*O); });
}
