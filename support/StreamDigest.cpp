#include "support/StreamDigest.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little, "words are read in the stream's byte order");

void TStreamDigest::Add(const std::uint8_t* Data, std::size_t N) {
  // Bytes up to the next word boundary of the stream complete the pending word.
  while (N > 0 && Count_ % 8 != 0) {
    Partial_ |= std::uint64_t{*Data++} << (8 * (Count_ % 8));
    --N;
    if (++Count_ % 8 == 0) {
      Mix(Partial_);
      Partial_ = 0;
    }
  }
  for (; N >= 8; N -= 8, Data += 8, Count_ += 8) {
    std::uint64_t Word;
    std::memcpy(&Word, Data, 8);
    Mix(Word);
  }
  for (; N > 0; --N, ++Count_) Partial_ |= std::uint64_t{*Data++} << (8 * (Count_ % 8));
}

std::uint64_t TStreamDigest::Value() const {
  std::uint64_t H = State_;
  if (Count_ % 8 != 0) H = (H ^ Partial_) * 0x9E3779B97F4A7C15ull;
  H = (H ^ Count_) * 0xFF51AFD7ED558CCDull;
  return H ^ (H >> 33);
}
