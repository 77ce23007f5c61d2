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
  std::u16string M = u"このファイル拡張子（種類）の変換には対応していません。\r\nファイル名：";
  M.append(Caption).append(u"\r\n").append(u"　　拡張子：").append(Ext);
  return M;
}

std::u16string BackupFailedMessage(std::u16string_view Caption) {
  std::u16string M = u"バックアップファイルを作成できませんでした。\r\nファイル名：";
  M.append(Caption);
  return M;
}

std::u16string BadFileNameMessage(std::u16string_view Caption) {
  std::u16string M = u"このファイル名は変換できません。\r\nファイル名：";
  M.append(Caption);
  return M;
}

std::u16string BackupPath(std::u16string_view Destination) { return FileExtChange(Destination, kExtBackup); }

std::u16string ConvertingStatus(std::u16string_view Source, std::u16string_view Destination) {
  std::u16string M = u"ファイル「";
  M.append(Source).append(u"」→「").append(Destination).append(u"」変換中です。");
  return M;
}

std::u16string ConvertedCountStatus(int Count) { return IntToText(Count) + std::u16string(kStatusConvertedSuffix); }

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

TBatchRun::TBatchRun(TConvSettings& Settings, TJwwData& JWW, TJwsData& JWS, TBatchRunHost& Host)
    : Settings_(Settings), JWW_(JWW), JWS_(JWS), Host_(Host) {}

TBatchOutcome TBatchRun::Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                             std::span<const TBatchEntry> Entries) {
  if (!CheckStart(SourceFolder, DestFolder)) return {};
  Settings_.DeriveCombSources();
  TBatchOutcome Outcome{true, 0};
  ForEachSelectedEntry(Host_, Entries, [&](const TBatchEntry& E) {
    if (ConvertEntry(SourceFolder, DestFolder, E.Caption)) ++Outcome.Count;
  });
  Host_.SetStatusText(ConvertedCountStatus(Outcome.Count));
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

bool TBatchRun::CheckEntry(std::u16string_view Caption, std::u16string& Ext) {
  Ext = FileExtLower(Caption);
  if (Ext != kExtJww && Ext != kExtJws) {
    Host_.ShowMessage(UnsupportedExtensionMessage(Caption, Ext));
    return false;
  }
  if (Caption.find(PathDelimChar()) != std::u16string_view::npos) {
    Host_.ShowMessage(BadFileNameMessage(Caption));
    return false;
  }
  return true;
}

bool TBatchRun::ConvertEntry(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                             std::u16string_view Caption) {
  std::u16string Ext;
  if (!CheckEntry(Caption, Ext)) return false;
  const std::u16string Source = PathJoin(SourceFolder, Caption);
  const std::u16string Destination = PathJoin(DestFolder, Caption);
  // Without its backup an existing destination file is never replaced.
  if (FileMayExist(Destination) && !FileCopyKeepTime(Destination, BackupPath(Destination))) {
    Host_.ShowMessage(BackupFailedMessage(Caption));
    return false;
  }
  const TConvOutcome Outcome = ConvertFile(Source, Destination, Ext);
  Host_.FileDone(Source, Destination, Outcome);
  return true;
}

TConvOutcome TBatchRun::ConvertFile(std::u16string_view Source, std::u16string_view Destination,
                                    std::u16string_view Ext) {
  Host_.SetStatusText(ConvertingStatus(Source, Destination));
  Host_.StopTimer();
  const bool Combination = Settings_.IsCombinationMode();
  TConvOutcome Outcome = TConvOutcome::NotRecognised;
  if (Ext == kExtJww && JWW_.FileCheck(Source)) {
    Outcome = Combination ? ConvJwwCombination(JWW_, Settings_, Source, Destination)
                          : ConvJwwIndividual(JWW_, Settings_, Source, Destination);
  } else if (Ext == kExtJws && JWS_.FileCheck(Source)) {
    Outcome = Combination ? ConvJwsCombination(JWS_, Settings_, Source, Destination)
                          : ConvJwsIndividual(JWS_, Settings_, Source, Destination);
  }
  Host_.StartTimer();
  Host_.SetStatusText(u"");
  return Outcome;
}
