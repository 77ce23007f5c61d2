// The batch run behind the convert button, free of any widget: it checks the
// two folders and the settings, then backs up and converts each selected
// JWW or JWS entry of the file list in list order. Everything it shows goes
// through TBatchRunHost, which the main window implements with message
// boxes, its status bar and its timer, and lintorra-cli by printing.
#pragma once

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "conversion/ConvSettings.h"
#include "conversion/Conversion.h"
#include "conversion/FileOutcome.h"

class TJwwData;
class TJwsData;

// The texts the run shows.
inline constexpr std::u16string_view kMsgNoDestination = u"保存先フォルダを指示して下さい。";
inline constexpr std::u16string_view kMsgDestinationMissing = u"保存先フォルダが存在しません。";
inline constexpr std::u16string_view kMsgSameFolder = u"保存先フォルダは参照フォルダと同じにしないで下さい。";
inline constexpr std::u16string_view kMsgNoCombination = u"[線色線種・組合せ変換] 変換指定が行われていません。";
inline constexpr std::u16string_view kStatusConvertedSuffix = u"個のファイルを変換しました。";

// "このファイル拡張子（種類）の変換には対応していません。..." for an entry
// that is neither ".jww" nor ".jws"; Ext is lower case, empty for none.
std::u16string UnsupportedExtensionMessage(std::u16string_view Caption, std::u16string_view Ext);
// An existing destination file could not be backed up: the entry is not
// converted.
std::u16string BackupFailedMessage(std::u16string_view Caption);
// A caption that is not a plain file name (it holds a "/"): the entry is
// skipped, since its paths would leave the chosen folders.
std::u16string BadFileNameMessage(std::u16string_view Caption);
// The message of the run for an entry it did not convert before the
// conversion began (extension, name, backup); empty for the others.
std::u16string EntryMessage(TEntryFault Fault, std::u16string_view Caption);
inline std::u16string EntryMessage(const TFileOutcome& O) { return EntryMessage(O.Fault, O.Caption); }
// "ファイル「source」→「destination」変換中です。"
std::u16string ConvertingStatus(std::u16string_view Source, std::u16string_view Destination);
// The converted files counted, followed by "個のファイルを変換しました。",
// and by "（M個のファイルは変換できませんでした）" when M entries were not.
std::u16string ConvertedCountStatus(int Converted, int NotConverted = 0);

// What a run shows, implemented by its owner. Every call returns only when
// the owner is done with it (a message box waits for the user).
class TBatchRunHost {
 public:
  virtual ~TBatchRunHost() = default;
  // A plain message box with an OK button.
  virtual void ShowMessage(std::u16string_view Text) = 0;
  // A message box with the confirmation icon and a single OK button.
  virtual void ShowConfirmation(std::u16string_view Text) = 0;
  // The platform's default beep.
  virtual void Beep() = 0;
  // After a refusal over the folders: leads the user to the choice of the
  // destination folder.
  virtual void FocusDestinationButton() = 0;
  // Shows Text at once: the file in progress, then the final count; empty
  // clears it.
  virtual void SetStatusText(std::u16string_view Text) = 0;
  // Pause and resume the owner's periodic work (the window's folder polling)
  // around each file, so that nothing else runs while it is converted.
  virtual void StopTimer() = 0;
  virtual void StartTimer() = 0;
  // After each selected entry, with what became of it. The window lists
  // them at the end of the run; the command line reports each at once.
  virtual void FileDone(const TFileOutcome& /*Outcome*/) {}
  // Done of Total selected entries looked at: 0 before the first, then after
  // each one.
  virtual void Progress(int /*Done*/, int /*Total*/) {}
  // Asked before each selected entry; true ends the run there, so a stop
  // takes effect after the file being converted.
  virtual bool StopRequested() { return false; }
};

// One entry of the file list: its caption (a file name with extension) and
// whether it is selected.
struct TBatchEntry {
  std::u16string Caption;
  bool Selected = false;
};

// The run's walk over the list: Take for each selected entry in list order,
// progress reported before the first and after each, a stop asked for
// before each.
void ForEachSelectedEntry(TBatchRunHost& Host, std::span<const TBatchEntry> Entries,
                          const std::function<void(const TBatchEntry&)>& Take);

struct TBatchOutcome {
  bool Started = false;             // false when a folder check or the settings refused the run
  std::vector<TFileOutcome> Files;  // every selected entry looked at, in list order

  int Count(TFileResult R) const;
  // As the final status text counts them.
  int Converted() const { return Count(TFileResult::Converted); }
  int NotConverted() const { return static_cast<int>(Files.size()) - Converted(); }
};

// The backups of one run. The backup of the file at Destination is the
// destination with ".BAK" for its extension, as always; but a backup made
// earlier in the same run is never replaced (a.jww and a.jws in one run would
// both back up to a.BAK): the later one takes the whole file name with ".BAK"
// appended (a.jws.BAK), then that with "(2)", "(3)" ... before ".BAK". A
// backup left by an earlier run is replaced as before.
class TBackupNames {
 public:
  std::u16string For(std::u16string_view Destination) const;
  // Backup now holds a copy made in this run.
  void Made(std::u16string_view Backup);

 private:
  std::unordered_set<std::u16string> Made_;  // upper case
};

// The documents one worker of a run converts with, owned by the caller.
struct TWorkerDocuments {
  TJwwData& JWW;
  TJwsData& JWS;
};

// The format check and the conversion of the active mode of one file, with
// the given documents and nothing shown: what each worker of a run does.
TConvResult ConvertWith(TJwwData& JWW, TJwsData& JWS, const TConvSettings& Settings, TSaveCheck Check,
                        std::u16string_view Source, std::u16string_view Destination, std::u16string_view Ext);

class TBatchRun {
 public:
  // The settings, documents and host belong to the caller and must outlive
  // the run. The run writes only SrcColor/SrcLtype of the settings' rows.
  // Check says what is done after each save.
  TBatchRun(TConvSettings& Settings, TJwwData& JWW, TJwsData& JWS, TBatchRunHost& Host,
            TSaveCheck Check = TSaveCheck::ReadBack);

  // Converts the selected entries from SourceFolder into DestFolder, as the
  // user gave them, in the order of Entries (the owner's file list as it is
  // shown).
  TBatchOutcome Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                    std::span<const TBatchEntry> Entries);

  // One file: progress shown, periodic work paused, format check and the
  // conversion of the active mode, periodic work resumed, progress cleared.
  // Ext is the lower-case extension with its dot.
  TConvResult ConvertFile(std::u16string_view Source, std::u16string_view Destination, std::u16string_view Ext);

  // With two or more workers, Run converts that many files side by side,
  // each worker with its own documents (their working folders must differ).
  // The checks, the backups and everything the host is told stay on the
  // calling thread in list order, as a run of one worker gives them: its
  // messages, status texts, outcomes and progress. An entry whose
  // destination an earlier one is still converting waits for it, so that
  // its backup is the file that earlier entry wrote.
  void UseWorkers(std::vector<TWorkerDocuments> Workers) { Workers_ = std::move(Workers); }

  // The checks Run makes, each refusal shown as Run shows it. Before the
  // first entry: the two folders, then the combination rows.
  bool CheckStart(std::u16string_view SourceFolder, std::u16string_view DestFolder);
  // Before a selected entry is backed up or converted: its extension and its
  // name. The fault for an entry the run skips, else None; Ext receives the
  // lower-case extension. Shows nothing: the run reports the entry with the
  // others.
  static TEntryFault CheckEntry(std::u16string_view Caption, std::u16string& Ext);

 private:
  bool CheckFolders(std::u16string_view SourceFolder, std::u16string_view DestFolder);
  bool CheckCombinationRows();
  // What becomes of one selected entry: its backup and its conversion.
  TFileOutcome ConvertEntry(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                            std::u16string_view Caption);
  // An entry's checks and backup; its fault is None when it is to be
  // converted.
  TFileOutcome PrepareEntry(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                            std::u16string_view Caption, std::u16string& Ext);
  static void Finish(TFileOutcome& O, const TConvResult& Result);
  void RunInParallel(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                     std::span<const TBatchEntry> Entries, TBatchOutcome& Outcome);
  // Copies the file at Destination to its backup; the backup's path, empty
  // when the copy failed.
  std::u16string BackUp(std::u16string_view Destination);
  void Refuse(std::u16string_view Message);

  TConvSettings& Settings_;
  TJwwData& JWW_;
  TJwsData& JWS_;
  TBatchRunHost& Host_;
  TSaveCheck Check_;
  TBackupNames Backups_;
  std::vector<TWorkerDocuments> Workers_;
};
