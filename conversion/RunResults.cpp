#include "conversion/RunResults.h"

#include <algorithm>

#include "conversion/BatchRun.h"

namespace {

bool Listed(const TFileOutcome& O) { return O.Result() != TFileResult::Converted || O.BackupRenamed(); }

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

std::vector<std::vector<std::u16string>> ResultCsvRows(std::span<const TResultRow> Rows) {
  std::vector<std::vector<std::u16string>> Csv{{u"ファイル名", u"結果", u"理由"}};
  for (const TResultRow& Row : Rows) Csv.push_back({Row.Name, Row.Result, Row.Reason});
  return Csv;
}
