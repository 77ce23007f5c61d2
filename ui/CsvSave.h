// "CSV保存" in every window that has it: the file box, the write in UTF-8
// with a byte-order mark, and a message when the file could not be written.
#pragma once

#include <QString>
#include <string>
#include <vector>

class QWidget;

// Asks for the file, proposing Proposed (in an existing folder), and writes
// Rows to it. The path chosen, empty when the user cancelled; a failed write
// has been reported by then.
QString AskAndSaveCsv(QWidget* Parent, const QString& Proposed, const std::vector<std::vector<std::u16string>>& Rows);
