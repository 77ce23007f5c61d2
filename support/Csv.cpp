#include "support/Csv.h"

#include "support/FileIo.h"
#include "support/Func_2.h"

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

bool WriteCsvFile(std::u16string_view Path, const std::vector<std::vector<std::u16string>>& Rows) {
  return WriteFileReplacing(
      Path,
      [&](ByteSink& Sink) {
        constexpr std::size_t kChunk = 1 << 16;  // the sink writes through: lines go in chunks
        std::string Text = "\xEF\xBB\xBF";
        auto Put = [&] {
          const bool Ok = Sink.Put(reinterpret_cast<const std::uint8_t*>(Text.data()), Text.size());
          Text.clear();
          return Ok;
        };
        for (const auto& Row : Rows) {
          Text += ToUtf8(CsvLine(Row));
          if (Text.size() >= kChunk && !Put()) return false;
        }
        return Put();
      },
      OnFailure::KeepDestination);
}
