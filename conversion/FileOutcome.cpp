#include "conversion/FileOutcome.h"

#include <cstring>

#include "support/Func_2.h"

namespace {

constexpr std::u16string_view kBackupExtension = u".BAK";

std::u16string Number(std::uint64_t N) { return IntToText(static_cast<long long>(N)); }

std::u16string AtOffset(std::uint64_t Offset) { return u"（オフセット " + Number(Offset) + u"）"; }

// The system's description in the user's language, as far as the system
// has it.
std::u16string SystemText(std::int64_t Errno) {
  return u"（" + FromUtf8(std::strerror(static_cast<int>(Errno))) + u"）";
}

}  // namespace

std::u16string JapaneseDescription(const TJwError& E) {
  const std::u16string Detail = FromUtf8(E.Detail);
  switch (E.Fault) {
    case TJwFault::None: return {};
    case TJwFault::CannotOpen: return u"ファイルを開けません" + SystemText(E.Value);
    case TJwFault::ReadFailed:
      return u"ファイルを読み込めません（オフセット " + Number(E.Offset) + u"：" +
             FromUtf8(std::strerror(static_cast<int>(E.Value))) + u"）";
    case TJwFault::NotOfFormat: return Detail + u"ファイルではありません";
    case TJwFault::VersionNotSupported: return u"バージョン " + IntToText(E.Value) + u" には対応していません";
    case TJwFault::HeaderEndsEarly: return u"ヘッダーが途中で終わっています" + AtOffset(E.Offset);
    case TJwFault::EntityListEndsEarly: return u"図形データが途中で終わっています" + AtOffset(E.Offset);
    case TJwFault::BlockListEndsEarly: return u"ブロック定義が途中で終わっています" + AtOffset(E.Offset);
    case TJwFault::UnknownRecordType: return u"不明なデータ種類「" + Detail + u"」があります" + AtOffset(E.Offset);
    case TJwFault::OutOfMemory: return u"メモリが足りません";
    case TJwFault::NotLoaded: return u"図面が読み込まれていません";
    case TJwFault::ImageUnreadable: return u"画像ファイル「" + Detail + u"」を読み込めません";
    case TJwFault::CannotWrite: return u"保存先に書き込めません" + SystemText(E.Value);
    case TJwFault::ReadBackDiffers: return u"保存したファイルを読み直すと内容が一致しません" + AtOffset(E.Offset);
    case TJwFault::ReadBackUnreadable: return u"保存したファイルを読み直せません" + SystemText(E.Value);
    case TJwFault::SavedBytesChanged: return u"保存したファイルの内容が書き込んだ内容と一致しません";
  }
  return {};
}

TFileResult TFileOutcome::Result() const {
  switch (Fault) {
    case TEntryFault::None: return TFileResult::Converted;
    case TEntryFault::UnsupportedExtension:
    case TEntryFault::NotAFileName: return TFileResult::Skipped;
    case TEntryFault::BackupFailed:
    case TEntryFault::Conversion: break;
  }
  return TFileResult::Failed;
}

bool TFileOutcome::BackupRenamed() const {
  return !Backup.empty() && Backup != FileExtChange(Destination, kBackupExtension);
}

std::string ResultWord(TFileResult R) {
  switch (R) {
    case TFileResult::Converted: return "converted";
    case TFileResult::Failed: return "failed";
    case TFileResult::Skipped: break;
  }
  return "skipped";
}

std::string EnglishReason(const TFileOutcome& O) {
  switch (O.Fault) {
    case TEntryFault::None: return {};
    case TEntryFault::UnsupportedExtension: {
      const std::u16string Ext = FileExtLower(O.Caption);
      return Ext.empty() ? "a name without extension is not converted"
                         : "the extension " + ToUtf8(Ext) + " is not converted";
    }
    case TEntryFault::NotAFileName: return "the name holds a folder part";
    case TEntryFault::BackupFailed: return "the file already in the destination cannot be backed up";
    case TEntryFault::Conversion: break;
  }
  return Describe(O.Conversion.Error);
}

std::u16string JapaneseResult(TFileResult R) {
  switch (R) {
    case TFileResult::Converted: return u"変換しました";
    case TFileResult::Failed: return u"変換できませんでした";
    case TFileResult::Skipped: break;
  }
  return u"スキップしました";
}

std::u16string JapaneseReason(const TFileOutcome& O) {
  switch (O.Fault) {
    case TEntryFault::None:
      if (!O.BackupRenamed()) return {};
      return u"既存のファイルを「" + FileNameOnly(O.Backup) + u"」にバックアップしました";
    case TEntryFault::UnsupportedExtension:
      return std::u16string(kUnsupportedExtension) + u"（拡張子：" + FileExtLower(O.Caption) + u"）";
    case TEntryFault::NotAFileName: return std::u16string(kNotAFileName);
    case TEntryFault::BackupFailed: return std::u16string(kBackupFailed);
    case TEntryFault::Conversion: break;
  }
  return JapaneseDescription(O.Conversion.Error);
}
