// The archive encoding of JWW and JWS files: strings in their code-page and
// UTF-16 forms, object counts and the tags of tagged object lists.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "documents/ByteStream.h"
#include "support/Func_2.h"

// Raised inside the readers for a failure that ends the load; the document
// classes turn it into a false result.
struct ArchiveError {
  const char* reason;  // "JWW-Header Error", "File I/O Error", ...
};

// Reading side. MojiEncode becomes true when a string in UTF-16 form is read.
class ArchiveIn {
 public:
  ArchiveIn(ByteReader& r, bool& mojiEncode) : r_(r), mojiEncode_(mojiEncode) {}
  ByteReader& reader() { return r_; }

  std::u16string ReadStr();
  std::u16string ReadStrClean();
  // A count of a tagged object list; false when its first two bytes are not
  // there at all.
  bool ReadCount(std::uint32_t& n);

  template <class T>
  T Get() {
    T v{};
    r_.Get(v);
    return v;
  }

 private:
  std::span<const std::uint8_t> ReadBlock(std::size_t n);

  ByteReader& r_;
  bool& mojiEncode_;
  std::vector<std::uint8_t> scratch_;
};

// Writing side. Strings take the UTF-16 form when utf16 is set.
class ArchiveOut {
 public:
  ArchiveOut(ByteWriter& w, bool utf16) : w_(w), utf16_(utf16) {}
  ByteWriter& writer() { return w_; }

  void WriteStr(std::u16string_view s);
  // A name or text as a save writes it: CleanOutText of s, such that the
  // text a reader gets back holds no marker either, and a second save writes
  // the same bytes.
  std::u16string CleanText(std::u16string_view s) const;
  void WriteCount(std::uint32_t n);
  void WriteClassRef(std::uint32_t classIndex);
  void WriteNewClass(std::uint16_t schema, std::string_view className);
  template <class T>
  void Put(T v) {
    w_.Put(v);
  }

 private:
  Bytes AnsiForm(std::u16string_view s) const;
  // The text a reader gets back from WriteStr(s): the code page may change
  // characters (¥ becomes "\") and both forms cut what is too long.
  std::u16string ReadBack(std::u16string_view s) const;

  ByteWriter& w_;
  bool utf16_;
};

// Longest strings the format can hold: a 16-bit length in bytes (code page)
// or in code units (UTF-16). A code-page length of exactly 0xFFFE cannot be
// written: it would read as the UTF-16 marker.
constexpr std::size_t kMaxAnsiStringBytes = 0xFFFF;
constexpr std::size_t kAnsiLengthMarker = 0xFFFE;
constexpr std::size_t kMaxUtf16StringUnits = 0xFFFF;
