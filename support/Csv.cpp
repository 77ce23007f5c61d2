#include "support/Csv.h"

namespace {

std::u16string CsvField(const std::u16string& F) {
  if (F.find_first_of(u",\"\r\n") == std::u16string::npos) return F;
  std::u16string Q = u"\"";
  for (const char16_t C : F) {
    if (C == u'"') Q += u'"';
    Q += C;
  }
  return Q + u"\"";
}

}  // namespace

std::u16string CsvLine(std::span<const std::u16string> Fields) {
  std::u16string Line;
  for (std::size_t I = 0; I < Fields.size(); ++I) {
    if (I > 0) Line += u',';
    Line += CsvField(Fields[I]);
  }
  return Line + u"\r\n";
}
