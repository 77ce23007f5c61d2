#include "documents/JwcRecords.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "support/Func_2.h"

namespace jwcrecords {

namespace {

std::u16string DecodeField(const RecordReader::Window& W, std::size_t Offset, std::size_t Size) {
  return AnsiBytesToText(std::span(W).subspan(Offset, Size));
}

}  // namespace

bool RecordReader::Next() {
  Window_.fill(0);
  const std::size_t N = std::min(kRecordSize, Head_.size() - std::min(Pos_, Head_.size()));
  if (N == 0) return false;
  std::copy_n(Head_.begin() + static_cast<std::ptrdiff_t>(Pos_), N, Window_.begin());
  Pos_ += N;
  return true;
}

void DecodeTitle(const RecordReader::Window& W, std::u16string& JwId, std::u16string& Comment1,
                 std::u16string& Comment2) {
  JwId = DecodeField(W, 0, 40);
  Comment1 = DecodeField(W, 40, 32);
  Comment2 = DecodeField(W, 72, 32);
}

std::u16string DecodeNumbers(const RecordReader::Window& W) {
  // Byte 200 ends the record. No double-byte character holds a zero byte, so
  // the runs between zero bytes decode on their own.
  std::span<const std::uint8_t> Rest(W);
  std::u16string Text;
  for (;;) {
    const auto Zero = std::find(Rest.begin(), Rest.end(), 0);
    const std::size_t Run = static_cast<std::size_t>(Zero - Rest.begin());
    Text += AnsiBytesToText(Rest.first(Run));
    if (Run == Rest.size()) return Text;
    Text.push_back(u'\0');
    Rest = Rest.subspan(Run + 1);
  }
}

std::vector<std::u16string> SplitFields(std::u16string_view Text, int N) {
  std::vector<std::u16string> Fields(static_cast<std::size_t>(std::max(N, 0)), u"0");
  std::size_t Start = 0;
  for (std::u16string& Field : Fields) {
    const std::size_t Comma = Text.find(u',', Start);
    if (Comma == std::u16string_view::npos) {
      Field = Text.substr(Start);
      break;
    }
    Field = Text.substr(Start, Comma - Start);
    Start = Comma + 1;
    if (Start == Text.size()) break;
  }
  return Fields;
}

std::int32_t FieldInt(std::u16string_view Field) { return TextToInt(Field); }

float FieldSingle(std::u16string_view Field) {
  const long double V = TextToReal(Field);
  // A value beyond the range of a single does not convert.
  return std::fabs(V) <= std::numeric_limits<float>::max() ? static_cast<float>(V) : 0.0f;
}

std::int32_t FieldAddress(std::u16string_view Field) {
  const std::int32_t Segment = TextToInt(u"$" + TextCopyPart(Field, 0, 4));
  const std::int32_t Offset = TextToInt(u"$" + TextCopyPart(Field, 5, 4));
  return Segment * 16 + Offset;
}

}  // namespace jwcrecords
