// A 64-bit digest of a byte stream, the same however the stream is cut into
// pieces. Not for security: it tells a file from the one that was meant to
// be written. Each 8-byte word passes through a bijection of the state, so a
// change confined to one word always changes the digest.
#pragma once

#include <cstddef>
#include <cstdint>

class TStreamDigest {
 public:
  void Add(const std::uint8_t* Data, std::size_t N);
  // The digest of the bytes added so far, their count included.
  std::uint64_t Value() const;

 private:
  void Mix(std::uint64_t Word) { State_ = (State_ ^ Word) * 0x9E3779B97F4A7C15ull; }

  std::uint64_t State_ = 0xCBF29CE484222325ull;
  std::uint64_t Count_ = 0;
  std::uint64_t Partial_ = 0;  // the bytes of a word not yet complete, little-endian
};
