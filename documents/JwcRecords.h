// The header records shared by JWC drawings and JWK figures: 200-byte
// blocks, the first holding fixed-width texts, the others numbers written as
// comma-separated text.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace jwcrecords {

constexpr std::size_t kRecordSize = 200;

// One record at a time out of the header bytes, through a 256-byte window.
class RecordReader {
 public:
  using Window = std::array<std::uint8_t, 256>;
  explicit RecordReader(std::span<const std::uint8_t> Head) : Head_(Head) {}
  // The window is cleared first, so a record cut short by the end of the
  // file never shows bytes of the one before. False when no byte is left.
  bool Next();
  const Window& Record() const { return Window_; }

 private:
  std::span<const std::uint8_t> Head_;
  std::size_t Pos_ = 0;
  Window Window_{};
};

// The texts of the first record: each ends at its first zero byte or at the
// end of its field.
void DecodeTitle(const RecordReader::Window& W, std::u16string& JwId, std::u16string& Comment1,
                 std::u16string& Comment2);

// A numeric record as text: the whole window decoded, its zero characters
// kept (they end a number but not a field).
std::u16string DecodeNumbers(const RecordReader::Window& W);

// Splits Text at "," into N fields; fields not present stay "0".
std::vector<std::u16string> SplitFields(std::u16string_view Text, int N);

// Field conversions; a field that does not convert gives 0.
std::int32_t FieldInt(std::u16string_view Field);
float FieldSingle(std::u16string_view Field);
// A segment:offset address "SSSS:OOOO" as segment * 16 + offset.
std::int32_t FieldAddress(std::u16string_view Field);

}  // namespace jwcrecords
