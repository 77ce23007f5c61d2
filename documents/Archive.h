// The archive encoding of JWW and JWS files: strings in their code-page and
// UTF-16 forms, object counts and the tags of tagged object lists.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "documents/ByteStream.h"
#include "documents/JwError.h"
#include "support/Func_2.h"

// Raised inside the readers for a failure that ends the load; the document
// classes turn it into a false result and keep its reason.
struct ArchiveError {
  TJwError Error;
};

[[noreturn]] inline void ThrowFault(TJwFault Fault, std::uint64_t Offset, std::string Detail = {}) {
  throw ArchiveError{{Fault, Offset, 0, std::move(Detail)}};
}

// The reason a load that ended with E gives: a read the system refused
// explains the data ending early better than the part that ended.
TJwError ReasonOf(const TJwError& E, const ByteReader& R);

// Reading side. MojiEncode becomes true when a string in UTF-16 form is read.
class ArchiveIn {
 public:
  ArchiveIn(ByteReader& R, bool& MojiEncode) : R_(R), MojiEncode_(MojiEncode) {}
  ByteReader& reader() { return R_; }

  std::u16string ReadStr();
  std::u16string ReadStrClean();
  // A count of a tagged object list; false when its first two bytes are not
  // there at all.
  bool ReadCount(std::uint32_t& N);

  template <class T>
  T Get() {
    T V{};
    R_.Get(V);
    return V;
  }

 private:
  std::span<const std::uint8_t> ReadBlock(std::size_t N);

  ByteReader& R_;
  bool& MojiEncode_;
  std::vector<std::uint8_t> Scratch_;  // a block that the reader's window does not hold whole
};

// Writing side. Strings take the UTF-16 form when utf16 is set.
class ArchiveOut {
 public:
  ArchiveOut(ByteWriter& W, bool Utf16) : W_(W), Utf16_(Utf16) {}
  ByteWriter& writer() { return W_; }

  void WriteStr(std::u16string_view S);
  // A name or text as a save writes it: CleanOutText of s, such that the
  // text a reader gets back holds no marker either, and a second save writes
  // the same bytes.
  std::u16string CleanText(std::u16string_view S) const;
  // WriteStr(CleanText(s)); a text that is clean already and reads back as
  // it is written goes out without a copy or a second encoding.
  void WriteCleanText(std::u16string_view S);
  void WriteCount(std::uint32_t N);
  void WriteClassRef(std::uint32_t ClassIndex);
  void WriteNewClass(std::uint16_t Schema, std::string_view ClassName);
  template <class T>
  void Put(T V) {
    W_.Put(V);
  }

 private:
  Bytes AnsiForm(std::u16string_view S) const;
  void WriteAnsiForm(const Bytes& B);
  // The text a reader gets back from WriteStr(s): the code page may change
  // characters (¥ becomes "\") and both forms cut what is too long.
  std::u16string ReadBack(std::u16string_view S) const;

  ByteWriter& W_;
  bool Utf16_;
};

// Longest strings the format can hold: a 16-bit length in bytes (code page)
// or in code units (UTF-16). A code-page length of exactly 0xFFFE cannot be
// written: it would read as the UTF-16 marker.
constexpr std::size_t kMaxAnsiStringBytes = 0xFFFF;
constexpr std::size_t kAnsiLengthMarker = 0xFFFE;
constexpr std::size_t kMaxUtf16StringUnits = 0xFFFF;
