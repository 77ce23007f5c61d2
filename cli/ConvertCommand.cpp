// lintorra-cli convert: the batch run of the convert button, with the
// settings from an INI or settings file. Progress and the final count go to
// standard output, the run's messages and the reason of each file that was
// not converted to standard error; with --json standard output holds one
// object per file and a summary instead.
#include <algorithm>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "cli/Commands.h"
#include "cli/DryRunReport.h"
#include "cli/SettingsInput.h"
#include "cli/WorkFolder.h"
#include "conversion/BatchDryRun.h"
#include "conversion/BatchRun.h"
#include "conversion/SettingsDialogModel.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/FolderTree.h"
#include "support/Func_2.h"

namespace {

// Exit codes besides 0 (the run went through and converted every selected
// file).
constexpr int kExitRefused = 1;       // a folder check or the settings refused the run
constexpr int kExitNotConverted = 3;  // the run went through, but a selected file was not converted

constexpr std::u16string_view kMsgSourceMissing = u"参照フォルダが存在しません。";

int DefaultJobs() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

struct ConvertOptions {
  std::string settings;
  std::optional<std::string> mode;
  std::string source, destination;
  std::vector<std::string> names;
  bool dryRun = false;
  bool json = false;
  bool noVerify = false;
  bool recursive = false;
  int jobs = DefaultJobs();
};

void PrintMessage(std::u16string_view Text) { std::cerr << TerminalText(Text) << "\n"; }

nlohmann::ordered_json PathOrNull(std::u16string_view Path) {
  return Path.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(ToUtf8(Path));
}

std::string JsonLine(const nlohmann::ordered_json& J) {
  return J.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

class ConsoleHost : public TBatchRunHost {
 public:
  explicit ConsoleHost(bool Json) : Json_(Json) {}

  void ShowMessage(std::u16string_view Text) override { PrintMessage(Text); }
  void ShowConfirmation(std::u16string_view Text) override { PrintMessage(Text); }
  // No button to focus and nothing to beep for: the message says it all.
  void Beep() override {}
  void FocusDestinationButton() override {}
  // Progress and the count, unless standard output carries JSON.
  void SetStatusText(std::u16string_view Text) override {
    if (!Text.empty() && !Json_) std::cout << TerminalText(Text) << std::endl;
  }
  void StopTimer() override {}
  void StartTimer() override {}
  // Every file that was not converted is named with its reason.
  void FileDone(const TFileOutcome& O) override {
    if (const std::u16string Message = EntryMessage(O); !Message.empty()) PrintMessage(Message);
    else if (O.Fault != TEntryFault::None)
      std::cerr << "lintorra-cli: " << ToUtf8(O.Source) << ": " << EnglishReason(O) << "\n";
    if (Json_) std::cout << JsonLine(FileObject(O)) << std::endl;
  }

  static nlohmann::ordered_json FileObject(const TFileOutcome& O) {
    const std::string Reason = EnglishReason(O);
    return {{"source", ToUtf8(O.Source)},
            {"destination", PathOrNull(O.Destination)},
            {"result", ResultWord(O.Result())},
            {"reason", Reason.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(Reason)},
            {"backup", PathOrNull(O.Backup)}};
  }

  static nlohmann::ordered_json Summary(const TBatchOutcome& Outcome) {
    return {{"files", Outcome.Files.size()},
            {"converted", Outcome.Count(TFileResult::Converted)},
            {"failed", Outcome.Count(TFileResult::Failed)},
            {"skipped", Outcome.Count(TFileResult::Skipped)}};
  }

 private:
  bool Json_;
};

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

// One pair of documents per worker, each extracting its images into a
// folder of its own inside the working folder.
class WorkerDocuments {
 public:
  WorkerDocuments(const std::u16string& WorkFolder, int Jobs) {
    // Without a working folder there is nowhere to make theirs.
    if (WorkFolder.empty()) return;
    for (int I = 0; I < Jobs; ++I) {
      const std::u16string Folder =
          Jobs == 1 ? WorkFolder : WithTrailingDelim(PathJoin(WorkFolder, u"job" + IntToText(I + 1)));
      if (!FolderCreate(Folder)) return;
      auto& D = Docs_.emplace_back(std::make_unique<Pair>());
      D->JWW.BindImageFolder = D->JWS.BindImageFolder = Folder;
      D->JWW.BindImageExp = D->JWW.BindImageExr = true;
    }
  }
  bool ok(int Jobs) const { return static_cast<int>(Docs_.size()) == Jobs; }
  TWorkerDocuments operator[](std::size_t I) const { return {Docs_[I]->JWW, Docs_[I]->JWS}; }
  std::vector<TWorkerDocuments> All() const {
    std::vector<TWorkerDocuments> W;
    for (std::size_t I = 0; I < Docs_.size(); ++I) W.push_back((*this)[I]);
    return W;
  }

 private:
  struct Pair {
    TJwwData JWW;
    TJwsData JWS;
  };
  std::vector<std::unique_ptr<Pair>> Docs_;
};

// The subfolders of a tree, each run into the same subfolder of the
// destination, with the checks and backups of a run of its own. Outcome
// gathers them after the top folder's; false when a folder could not be
// made or was refused.
bool RunSubfolders(TBatchRun& Run, const std::u16string& Source, const std::u16string& Destination,
                   TBatchOutcome& Outcome) {
  bool AllRan = true;
  for (const std::u16string& Relative : SubfolderPaths(Source, Destination)) {
    const std::vector<TBatchEntry> Entries = FolderEntries(PathJoin(Source, Relative));
    if (Entries.empty()) continue;
    if (!MakeFolderBelow(Destination, Relative)) {
      std::cerr << "lintorra-cli: cannot make the folder " << ToUtf8(PathJoin(Destination, Relative))
                << " (or it is not a folder of its own); its files were not converted\n";
      AllRan = false;
      continue;
    }
    TBatchOutcome Sub = Run.Run(PathJoin(Source, Relative), PathJoin(Destination, Relative), Entries);
    AllRan = AllRan && Sub.Started;
    for (TFileOutcome& F : Sub.Files) Outcome.Files.push_back(std::move(F));
  }
  return AllRan;
}

int RunConversion(const ConvertOptions& O, TConvSettings& Settings, const std::u16string& Source,
                  const std::u16string& Destination, const std::vector<TBatchEntry>& Entries) {
  // A tree converted into itself would convert its own output.
  if (O.recursive && IsFolder(Destination) &&
      (FolderWithin(Destination, Source) || FolderWithin(Source, Destination))) {
    std::cerr << "lintorra-cli: with --recursive, DEST_DIR must neither lie inside SOURCE_DIR nor hold it\n";
    return kExitRefused;
  }
  // Without a working folder the bound images of the drawings would be lost.
  TempWorkFolder Work;
  const WorkerDocuments Docs(Work.path(), O.jobs);
  if (!Work.ok() || !Docs.ok(O.jobs)) {
    std::cerr << "lintorra-cli: cannot create a working folder\n";
    return kExitRefused;
  }
  ConsoleHost Host(O.json);
  const TSaveCheck Check = O.noVerify ? TSaveCheck::None : TSaveCheck::ReadBack;
  TBatchRun Run(Settings, Docs[0].JWW, Docs[0].JWS, Host, Check);
  if (O.jobs > 1) Run.UseWorkers(Docs.All());
  TBatchOutcome Outcome = Run.Run(Source, Destination, Entries);
  if (!Outcome.Started) return kExitRefused;
  const bool AllRan = !O.recursive || RunSubfolders(Run, Source, Destination, Outcome);
  if (O.json) std::cout << JsonLine(ConsoleHost::Summary(Outcome)) << std::endl;
  else if (O.recursive)
    std::cout << "in all: " << Outcome.Converted() << " converted, " << Outcome.NotConverted() << " not converted"
              << std::endl;
  return Outcome.NotConverted() > 0 || !AllRan ? kExitNotConverted : 0;
}

int RunConvert(const ConvertOptions& O) {
  std::optional<TConvSettings> Settings = ReadSettings(O.settings, O.mode);
  if (!Settings) return kExitBadSettings;
  if (const std::u16string_view Notice = VerRaiseNotice(Settings->VerRaise); !Notice.empty()) PrintMessage(Notice);

  const std::u16string Source = FromNativeName(O.source);
  if (!IsFolder(Source)) {
    PrintMessage(kMsgSourceMissing);
    return kExitRefused;
  }
  std::vector<TBatchEntry> Entries;
  for (const std::string& Name : O.names) Entries.push_back({FromNativeName(Name), true});
  if (O.names.empty()) Entries = FolderEntries(Source);
  const std::u16string Destination = FromNativeName(O.destination);
  if (O.dryRun) {
    // No working folder either: the dry run extracts no image.
    ConsoleHost Host(O.json);
    const TDryRunBatch Batch = TBatchDryRun(*Settings, Host).Run(Source, Destination, Entries);
    if (Batch.Started) PrintDryRun(Batch, *Settings, O.json);
    return Batch.Started ? 0 : kExitRefused;
  }

  return RunConversion(O, *Settings, Source, Destination, Entries);
}

}  // namespace

void AddConvertCommand(CLI::App& App, int& ExitCode) {
  auto O = std::make_shared<ConvertOptions>();
  CLI::App* Cmd = App.add_subcommand(
      "convert",
      "Convert the pens of JWW/JWS files from SOURCE_DIR into DEST_DIR, backing up replaced files as .BAK; "
      "exits 1 when the folders or the settings refuse the run, 2 when the settings file cannot be used, "
      "3 when a selected file was not converted");
  Cmd->add_option("--settings", O->settings, "Settings file (*.set) or INI file (*.ini)")->required();
  Cmd->add_option("--mode", O->mode, "Conversion mode (default: the one the settings store)")
      ->check(CLI::IsMember({"individual", "combination"}));
  Cmd->add_option("SOURCE_DIR", O->source, "Folder of the files to convert")->required();
  Cmd->add_option("DEST_DIR", O->destination, "Folder the converted files are saved in")->required();
  auto* Names = Cmd->add_option("NAME", O->names, "File names in SOURCE_DIR (default: every file, in name order)");
  auto* DryRun =
      Cmd->add_flag("--dry-run", O->dryRun, "Only show what the run would do to each file and its pens; write nothing");
  Cmd->add_flag("--json", O->json,
                "One JSON object per file and line (source, destination, result, reason, backup), then the counts; "
                "with --dry-run one JSON document");
  Cmd->add_flag("--no-verify", O->noVerify, "Do not read each saved file back to check that it reads the same")
      ->excludes(DryRun);
  Cmd->add_option("--jobs", O->jobs, "Files converted side by side (default: the number of cores)")
      ->check(CLI::Range(1, 64))
      ->excludes(DryRun);
  Cmd->add_flag("--recursive", O->recursive,
                "Also convert the files of every subfolder into the same subfolder of DEST_DIR (made as needed); "
                "links to folders are not followed")
      ->excludes(DryRun)
      ->excludes(Names);
  Cmd->callback([O, &ExitCode] { ExitCode = RunConvert(*O); });
}
