// Lines of comma-separated values (RFC 4180): a field holding a comma, a
// quote or a line break is quoted, its quotes doubled; lines end with CR LF.
#pragma once

#include <span>
#include <string>

std::u16string CsvLine(std::span<const std::u16string> Fields);
