// The list a run ends with in the window when it did not convert every
// selected entry, and that list as a CSV file.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "conversion/FileOutcome.h"

// One line of the list: the entry's file name, its result and why.
struct TResultRow {
  std::u16string Name, Result, Reason;
};

// The entries that were not converted, and the converted ones whose backup
// took another name than usual, in run order.
std::vector<TResultRow> ResultRows(std::span<const TFileOutcome> Files);

// When the one entry to report was skipped for its extension: the message
// such an entry has always had, shown instead of the list. Empty otherwise.
std::u16string LoneExtensionMessage(std::span<const TFileOutcome> Files);

// The list for spreadsheet programs: UTF-8 with a byte order mark, a header
// "ファイル名,結果,理由", fields quoted where they need it, lines ending in
// CR LF.
std::string ResultsCsv(std::span<const TResultRow> Rows);
// Writes ResultsCsv to Path, replacing a file there only once the whole list
// is written; false when that fails.
bool WriteResultsCsv(std::u16string_view Path, std::span<const TResultRow> Rows);
