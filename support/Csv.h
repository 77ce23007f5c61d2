// Lines of comma-separated values (RFC 4180): a field holding a comma, a
// quote or a line break is quoted, its quotes doubled; lines end with CR LF.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

std::u16string CsvLine(std::span<const std::u16string> Fields);

// Writes the rows as a CSV file in UTF-8 with a byte-order mark (as
// spreadsheet programs expect it), replacing a file of that name only once
// the whole file is written. False when it could not be written; an older
// file then stays as it was.
bool WriteCsvFile(std::u16string_view Path, const std::vector<std::vector<std::u16string>>& Rows);
