#include "conversion/RunResults.h"

#include <algorithm>

#include "conversion/BatchRun.h"
#include "support/FileIo.h"
#include "support/Func_2.h"

namespace {

bool Listed(const TFileOutcome& O) { return O.Result() != TFileResult::Converted || O.BackupRenamed(); }

void AppendField(std::string& Csv, std::u16string_view Field) {
  const std::string Text = ToUtf8(Field);
  if (Text.find_first_of(",\"\r\n") == std::string::npos) {
    Csv += Text;
    return;
  }
  Csv += '"';
  for (const char C : Text) {
    if (C == '"') Csv += '"';
    Csv += C;
  }
  Csv += '"';
}

void AppendLine(std::string& Csv, const TResultRow& Row) {
  AppendField(Csv, Row.Name);
  Csv += ',';
  AppendField(Csv, Row.Result);
  Csv += ',';
  AppendField(Csv, Row.Reason);
  Csv += "\r\n";
}

}  // namespace

std::vector<TResultRow> ResultRows(std::span<const TFileOutcome> Files) {
  std::vector<TResultRow> Rows;
  for (const TFileOutcome& O : Files)
    if (Listed(O)) Rows.push_back({O.Caption, JapaneseResult(O.Result()), JapaneseReason(O)});
  return Rows;
}

std::u16string LoneExtensionMessage(std::span<const TFileOutcome> Files) {
  if (std::count_if(Files.begin(), Files.end(), Listed) != 1) return {};
  const auto It = std::find_if(Files.begin(), Files.end(), Listed);
  return It->Fault == TEntryFault::UnsupportedExtension ? EntryMessage(*It) : std::u16string();
}

std::string ResultsCsv(std::span<const TResultRow> Rows) {
  std::string Csv = "\xEF\xBB\xBF";
  AppendLine(Csv, {u"ファイル名", u"結果", u"理由"});
  for (const TResultRow& Row : Rows) AppendLine(Csv, Row);
  return Csv;
}

bool WriteResultsCsv(std::u16string_view Path, std::span<const TResultRow> Rows) {
  const std::string Csv = ResultsCsv(Rows);
  return WriteFileReplacing(
      Path, [&](ByteSink& Sink) { return Sink.Put(reinterpret_cast<const std::uint8_t*>(Csv.data()), Csv.size()); },
      OnFailure::KeepDestination);
}
