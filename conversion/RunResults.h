// The list a run ends with in the window when it did not convert every
// selected entry, and that list as the rows of a CSV file.
#pragma once

#include <span>
#include <string>
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

// The list as the rows of a CSV file (support/Csv.h): the header
// "ファイル名", "結果", "理由", then one row per line of the list.
std::vector<std::vector<std::u16string>> ResultCsvRows(std::span<const TResultRow> Rows);
