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

#include "conversion/ConvSettings.h"
#include "conversion/Conversion.h"

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
// An existing destination file could not be backed up: the entry is skipped.
std::u16string BackupFailedMessage(std::u16string_view Caption);
// A caption that is not a plain file name (it holds a "/"): the entry is
// skipped, since its paths would leave the chosen folders.
std::u16string BadFileNameMessage(std::u16string_view Caption);
// Where an existing destination file is copied before it is replaced: the
// destination with its extension replaced by ".BAK".
std::u16string BackupPath(std::u16string_view Destination);
// "ファイル「source」→「destination」変換中です。"
std::u16string ConvertingStatus(std::u16string_view Source, std::u16string_view Destination);
// The count followed by "個のファイルを変換しました。"
std::u16string ConvertedCountStatus(int Count);

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
  // After each conversion, with its outcome. The window shows nothing here
  // (a failed file is counted like any other); the command line reports it.
  virtual void FileDone(std::u16string_view /*Source*/, std::u16string_view /*Destination*/, TConvOutcome /*Outcome*/) {
  }
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
  bool Started = false;  // false when a folder check or the settings refused the run
  int Count = 0;         // entries handed to the conversion, as the final status text counts them
};

class TBatchRun {
 public:
  // The settings, documents and host belong to the caller and must outlive
  // the run. The run writes only SrcColor/SrcLtype of the settings' rows.
  TBatchRun(TConvSettings& Settings, TJwwData& JWW, TJwsData& JWS, TBatchRunHost& Host);

  // Converts the selected entries from SourceFolder into DestFolder, as the
  // user gave them, in the order of Entries (the owner's file list as it is
  // shown).
  TBatchOutcome Run(std::u16string_view SourceFolder, std::u16string_view DestFolder,
                    std::span<const TBatchEntry> Entries);

  // One file: progress shown, periodic work paused, format check and the
  // conversion of the active mode, periodic work resumed, progress cleared.
  // Ext is the lower-case extension with its dot.
  TConvOutcome ConvertFile(std::u16string_view Source, std::u16string_view Destination, std::u16string_view Ext);

  // The checks Run makes, each refusal shown as Run shows it. Before the
  // first entry: the two folders, then the combination rows.
  bool CheckStart(std::u16string_view SourceFolder, std::u16string_view DestFolder);
  // Before a selected entry is backed up or converted: its extension and its
  // name. False, after the message, for an entry the run skips; Ext receives
  // the lower-case extension.
  bool CheckEntry(std::u16string_view Caption, std::u16string& Ext);

 private:
  bool CheckFolders(std::u16string_view SourceFolder, std::u16string_view DestFolder);
  bool CheckCombinationRows();
  // Backs up, converts and reports one selected entry; true when counted.
  bool ConvertEntry(std::u16string_view SourceFolder, std::u16string_view DestFolder, std::u16string_view Caption);
  void Refuse(std::u16string_view Message);

  TConvSettings& Settings_;
  TJwwData& JWW_;
  TJwsData& JWS_;
  TBatchRunHost& Host_;
};
