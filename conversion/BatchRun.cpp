#include "conversion/BatchRun.h"

#include <algorithm>
#include <filesystem>

#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"
#include "support/Func_2.h"

namespace {

constexpr std::u16string_view kExtJww = u".jww";
constexpr std::u16string_view kExtJws = u".jws";
constexpr std::u16string_view kExtBackup = u".BAK";

// Both name one existing directory, however they are spelled (a trailing
// separator, "." components, a link).
bool SameDirectory(std::u16string_view A, std::u16string_view B) {
  if (A.empty() || B.empty()) return false;
  std::error_code Ec;
  const bool Same = std::filesystem::equivalent(ToPath(A), ToPath(B), Ec);
  return Same && !Ec;
}

}  // namespace

std::u16string UnsupportedExtensionMessage(std::u16string_view Caption, std::u16string_view Ext) {
  std::u16string M(kUnsupportedExtension);
  M.append(u"。\r\nファイル名：").append(Caption).append(u"\r\n").append(u"　　拡張子：").append(Ext);
  return M;
}

std::u16string BackupFailedMessage(std::u16string_view Caption) {
  std::u16string M(kBackupFailed);
  M.append(u"。\r\nファイル名：").append(Caption);
  return M;
}

std::u16string BadFileNameMessage(std::u16string_view Caption) {
  std::u16string M(kNotAFileName);
  M.append(u"。\r\nファイル名：").append(Caption);
  return M;
}

std::u16string EntryMessage(TEntryFault Fault, std::u16string_view Caption) {
  switch (Fault) {
    case TEntryFault::UnsupportedExtension: return UnsupportedExtensionMessage(Caption, FileExtLower(Caption));
    case TEntryFault::NotAFileName: return BadFileNameMessage(Caption);
    case TEntryFault::BackupFailed: return BackupFailedMessage(Caption);
    case TEntryFault::None:
    case TEntryFault::Conversion: break;
  }
  return {};
}

std::u16string ConvertingStatus(std::u16string_view Source, std::u16string_view Destination) {
  std::u16string M = u"ファイル「";
  M.append(Source).append(u"」→「").append(Destination).append(u"」変換中です。");
  return M;
}

std::u16string ConvertedCountStatus(int Converted, int NotConverted) {
  std::u16string S = IntToText(Converted) + std::u16string(kStatusConvertedSuffix);
  if (NotConverted > 0) S += u"（" + IntToText(NotConverted) + u"個のファイルは変換できませんでした）";
  return S;
}

std::u16string TBackupNames::For(std::u16string_view Destination) const {
  std::u16string Path = FileExtChange(Destination, kExtBackup);
  for (int N = 1; Made_.contains(TextUpper(Path)); ++N)
    Path = std::u16string(Destination) + (N == 1 ? u"" : u"(" + IntToText(N) + u")") + std::u16string(kExtBackup);
  return Path;
}

void TBackupNames::Made(std::u16string_view Backup) { Made_.insert(TextUpper(Backup)); }

int TBatchOutcome::Count(TFileResult R) const {
  return static_cast<int>(
      std::count_if(Files.begin(), Files.end(), [R](const TFileOutcome& O) { return O.Result() == R; }));
}

void ForEachSelectedEntry(TBatchRunHost& Host, std::span<const TBatchEntry> Entries,
                          const std::function<void(const TBatchEntry&)>& Take) {
  const int Total =
      static_cast<int>(std::count_if(Entries.begin(), Entries.end(), [](const TBatchEntry& E) { return E.Selected; }));
  int Done = 0;
  Host.Progress(Done, Total);
  for (const TBatchEntry& E : Entries) {
    if (!E.Selected) continue;
    if (Host.StopRequested()) break;
    Take(E);
    Host.Progress(++Done, Total);
  }
}

TBatchRun::TBatchRun(TConvSettings& Settings, TJwwData& JWW, TJwsData& JWS, TBatchRunHost& Host, TSaveCheck Check)
    : Settings_(Settings), JWW_(JWW), JWS_(JWS), Host_(Host), Check_(Check) {}

TBatchOutcome TBatchRun::Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                             std::span<const TBatchEntry> Entries) {
  if (!CheckStart(SourceFolder, DestFolder)) return {};
  Settings_.DeriveCombSources();
  Backups_ = {};
  TBatchOutcome Outcome{true, {}};
  if (Workers_.size() > 1) {
    RunInParallel(SourceFolder, DestFolder, Entries, Outcome);
  } else {
    ForEachSelectedEntry(Host_, Entries, [&](const TBatchEntry& E) {
      Outcome.Files.push_back(ConvertEntry(SourceFolder, DestFolder, E.Caption));
      Host_.FileDone(Outcome.Files.back());
    });
  }
  Host_.SetStatusText(ConvertedCountStatus(Outcome.Converted(), Outcome.NotConverted()));
  return Outcome;
}

void TBatchRun::Refuse(std::u16string_view Message) {
  Host_.ShowMessage(Message);
  Host_.FocusDestinationButton();
}

bool TBatchRun::CheckFolders(std::u16string_view SourceFolder, std::u16string_view DestFolder) {
  if (DestFolder.empty()) {
    Refuse(kMsgNoDestination);
    return false;
  }
  if (!IsFolder(DestFolder)) {
    Refuse(kMsgDestinationMissing);
    return false;
  }
  // Converting into the source folder would replace the source drawings, so
  // the same directory under another spelling is refused too.
  if (TextUpper(SourceFolder) == TextUpper(DestFolder) || SameDirectory(SourceFolder, DestFolder)) {
    Refuse(kMsgSameFolder);
    return false;
  }
  return true;
}

bool TBatchRun::CheckCombinationRows() {
  const bool AnyEnabled = std::any_of(Settings_.CombRows.begin() + 1, Settings_.CombRows.end(),
                                      [](const TCombRow& R) { return R.Enabled; });
  if (AnyEnabled || !Settings_.IsCombinationMode()) return true;
  Host_.Beep();
  Host_.ShowConfirmation(kMsgNoCombination);
  return false;
}

bool TBatchRun::CheckStart(std::u16string_view SourceFolder, std::u16string_view DestFolder) {
  return CheckFolders(SourceFolder, DestFolder) && CheckCombinationRows();
}

TEntryFault TBatchRun::CheckEntry(std::u16string_view Caption, std::u16string& Ext) {
  Ext = FileExtLower(Caption);
  if (Ext != kExtJww && Ext != kExtJws) return TEntryFault::UnsupportedExtension;
  if (Caption.find(PathDelimChar()) != std::u16string_view::npos) return TEntryFault::NotAFileName;
  return TEntryFault::None;
}

TFileOutcome TBatchRun::PrepareEntry(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                                     std::u16string_view Caption, std::u16string& Ext) {
  TFileOutcome O;
  O.Caption = Caption;
  O.Source = PathJoin(SourceFolder, Caption);
  O.Fault = CheckEntry(Caption, Ext);
  if (O.Fault != TEntryFault::None) return O;
  O.Destination = PathJoin(DestFolder, Caption);
  // Without its backup an existing destination file is never replaced.
  if (FileMayExist(O.Destination)) {
    O.Backup = BackUp(O.Destination);
    if (O.Backup.empty()) O.Fault = TEntryFault::BackupFailed;
  }
  return O;
}

void TBatchRun::Finish(TFileOutcome& O, const TConvResult& Result) {
  O.Conversion = Result;
  if (Result.Outcome != TConvOutcome::Converted) O.Fault = TEntryFault::Conversion;
}

TFileOutcome TBatchRun::ConvertEntry(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                                     std::u16string_view Caption) {
  std::u16string Ext;
  TFileOutcome O = PrepareEntry(SourceFolder, DestFolder, Caption, Ext);
  if (O.Fault == TEntryFault::None) Finish(O, ConvertFile(O.Source, O.Destination, Ext));
  return O;
}

std::u16string TBatchRun::BackUp(std::u16string_view Destination) {
  std::u16string Backup = Backups_.For(Destination);
  if (!FileCopyKeepTime(Destination, Backup)) return {};
  Backups_.Made(Backup);
  return Backup;
}

TConvResult ConvertWith(TJwwData& JWW, TJwsData& JWS, const TConvSettings& Settings, TSaveCheck Check,
                        std::u16string_view Source, std::u16string_view Destination, std::u16string_view Ext) {
  const bool Combination = Settings.IsCombinationMode();
  if (Ext == kExtJww) {
    return !JWW.FileCheck(Source) ? TConvResult{TConvOutcome::NotRecognised, JWW.LastError()}
           : Combination          ? ConvJwwCombination(JWW, Settings, Source, Destination, Check)
                                  : ConvJwwIndividual(JWW, Settings, Source, Destination, Check);
  }
  if (Ext == kExtJws) {
    return !JWS.FileCheck(Source) ? TConvResult{TConvOutcome::NotRecognised, JWS.LastError()}
           : Combination          ? ConvJwsCombination(JWS, Settings, Source, Destination, Check)
                                  : ConvJwsIndividual(JWS, Settings, Source, Destination, Check);
  }
  return {TConvOutcome::NotRecognised, {TJwFault::NotOfFormat, 0, 0, "JWW or JWS"}};
}

TConvResult TBatchRun::ConvertFile(std::u16string_view Source, std::u16string_view Destination,
                                   std::u16string_view Ext) {
  Host_.SetStatusText(ConvertingStatus(Source, Destination));
  Host_.StopTimer();
  const TConvResult Result = ConvertWith(JWW_, JWS_, Settings_, Check_, Source, Destination, Ext);
  Host_.StartTimer();
  Host_.SetStatusText(u"");
  return Result;
}
