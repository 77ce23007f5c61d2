// Header records of JWC and JWK files, built byte by byte.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/TestSupport.h"
#include "support/Func_2.h"

namespace legacyfixtures {

inline constexpr std::string_view kJwcSignatureBytes = "jw_cad(c)data.......";
inline constexpr std::string_view kJwkSignatureBytes = "jw_cad(c)sym........";

// Pads or cuts Text to exactly Size bytes.
inline Bytes Fixed(std::string_view Text, std::size_t Size) {
  Bytes B(Text.begin(), Text.end());
  B.resize(Size, 0);
  return B;
}

// Record 1: the identification text in 40 bytes, then the two comments in 32
// bytes each, then 96 bytes that are not read.
inline Bytes TitleRecord(std::string_view Id, std::string_view Comment1, std::string_view Comment2) {
  testsupport::ByteBuilder B;
  B.raw(Fixed(Id, 40)).raw(Fixed(Comment1, 32)).raw(Fixed(Comment2, 32)).fill('#', 96);
  return B.bytes;
}

// A record of numbers as text, zero-padded to 200 bytes.
inline Bytes NumberRecord(std::string_view Text) { return Fixed(Text, 200); }

// "first,first+1,..." with N fields.
inline std::string Counting(int N, int First = 1) {
  std::string S;
  for (int K = 0; K < N; ++K) S += (K ? "," : "") + std::to_string(First + K);
  return S;
}

inline Bytes Concat(std::initializer_list<Bytes> Parts) {
  Bytes All;
  for (const Bytes& P : Parts) All.insert(All.end(), P.begin(), P.end());
  return All;
}

// Writes a file and reads its header with a document object of type Doc.
template <class Doc>
class HeaderReading : public testing::Test {
 protected:
  bool Read(const Bytes& File) {
    testsupport::WriteFileBytes(Dir_ / "x", File);
    return Doc_.FileHeaderIn(testsupport::U16(Dir_ / "x"));
  }
  const auto& H() const { return Doc_.Enthd; }

  testsupport::TempDir Dir_;
  Doc Doc_;
};

}  // namespace legacyfixtures
