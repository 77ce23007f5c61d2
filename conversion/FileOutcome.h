// What became of one selected entry of a batch run: a value made by the run
// for each entry, in list order, and its texts: English for the command
// line, Japanese for the window and the list it saves.
#pragma once

#include <string>
#include <string_view>

#include "conversion/Conversion.h"

enum class TFileResult { Converted, Failed, Skipped };

// Why an entry was not converted.
enum class TEntryFault {
  None,
  UnsupportedExtension,  // skipped: neither ".jww" nor ".jws"
  NotAFileName,          // skipped: the caption holds a folder part
  BackupFailed,          // failed: the file already at the destination could not be backed up
  Conversion,            // failed: the conversion did not convert it (Conversion says why)
};

struct TFileOutcome {
  std::u16string Caption;      // the entry's file name
  std::u16string Source;       // the source path
  std::u16string Destination;  // the path converted to; empty for a skipped entry
  std::u16string Backup;       // the copy of the file that was at Destination; empty when none was made
  TEntryFault Fault = TEntryFault::None;
  TConvResult Conversion;  // of an entry handed to the conversion

  TFileResult Result() const;
  // The backup has another name than the usual one (the destination with
  // ".BAK" for its extension), since a file before it in the run took that.
  bool BackupRenamed() const;
};

// "converted", "failed", "skipped".
std::string ResultWord(TFileResult R);
// Why the entry was not converted, in English; empty for a converted one.
std::string EnglishReason(const TFileOutcome& O);

// Describe (documents/JwError.h) in Japanese, for the window.
std::u16string JapaneseDescription(const TJwError& E);

// "変換しました", "変換できませんでした", "スキップしました".
std::u16string JapaneseResult(TFileResult R);
// Why the entry was not converted, in Japanese; for a converted one where
// its renamed backup went, else empty.
std::u16string JapaneseReason(const TFileOutcome& O);

// The first line of the run's messages for these entries (without the
// full stop), shared by the message and the reason.
inline constexpr std::u16string_view kUnsupportedExtension = u"このファイル拡張子（種類）の変換には対応していません";
inline constexpr std::u16string_view kBackupFailed = u"バックアップファイルを作成できませんでした";
inline constexpr std::u16string_view kNotAFileName = u"このファイル名は変換できません";
