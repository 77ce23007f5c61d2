#include "documents/Archive.h"

#include <algorithm>
#include <bit>

#include "support/Func_2.h"

namespace {

void WriteLength(ByteWriter& w, std::size_t n) {
  if (n < 255) {
    w.Put(static_cast<std::uint8_t>(n));
  } else {
    w.Put(std::uint8_t{0xFF});
    w.Put(static_cast<std::uint16_t>(n));
  }
}

// Cuts a UTF-16 string to the format's limit without splitting a surrogate pair.
std::u16string_view CutUtf16(std::u16string_view s) {
  if (s.size() <= kMaxUtf16StringUnits) return s;
  std::size_t n = kMaxUtf16StringUnits;
  if (s[n - 1] >= 0xD800 && s[n - 1] <= 0xDBFF) --n;
  return s.substr(0, n);
}

}  // namespace

// Reads up to n bytes for decoding; never more than the data still holds.
std::span<const std::uint8_t> ArchiveIn::ReadBlock(std::size_t n) {
  scratch_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(n, r_.Remaining())));
  return {scratch_.data(), r_.Read(scratch_.data(), scratch_.size())};
}

std::u16string ArchiveIn::ReadStr() {
  std::uint8_t b = 0;
  r_.Get(b);
  if (b != 0xFF) return AnsiBytesToText(ReadBlock(b));
  std::uint16_t w = 0;
  r_.Get(w);
  if (w != 0xFFFE) return AnsiBytesToText(ReadBlock(w));
  mojiEncode_ = true;
  std::uint8_t c8 = 0;
  r_.Get(c8);
  std::size_t c = c8;
  if (c8 == 0xFF) {
    std::uint16_t c16 = 0;
    r_.Get(c16);
    c = c16;
  }
  return Utf16BytesToText(ReadBlock(2 * c));
}

std::u16string ArchiveIn::ReadStrClean() { return StripControlChars(ReadStr()); }

bool ArchiveIn::ReadCount(std::uint32_t& n) {
  std::uint16_t w = 0;
  if (r_.Get(w) == 0) return false;
  n = w;
  if (w == 0xFFFF) r_.Get(n);
  return true;
}

// The code-page bytes of s up to its first zero byte, within the limits.
Bytes ArchiveOut::AnsiForm(std::u16string_view s) const {
  Bytes b = TextToAnsiBytesLimited(s, kMaxAnsiStringBytes);
  b.resize(static_cast<std::size_t>(std::find(b.begin(), b.end(), 0) - b.begin()));
  if (b.size() == kAnsiLengthMarker) b = TextToAnsiBytesLimited(s, kAnsiLengthMarker - 1);
  return b;
}

void ArchiveOut::WriteStr(std::u16string_view s) {
  if (utf16_) {
    const std::u16string_view t = CutUtf16(s);
    w_.Write("\xFF\xFE\xFF", 3);
    WriteLength(w_, t.size());
    static_assert(std::endian::native == std::endian::little);
    w_.Write(t.data(), 2 * t.size());
    return;
  }
  const Bytes b = AnsiForm(s);
  WriteLength(w_, b.size());
  if (!b.empty()) w_.Write(b.data(), b.size());
}

std::u16string ArchiveOut::ReadBack(std::u16string_view s) const {
  if (utf16_) return std::u16string(CutUtf16(s));
  return AnsiBytesToText(AnsiForm(s));
}

std::u16string ArchiveOut::CleanText(std::u16string_view s) const {
  const std::u16string cleaned = CleanOutText(s);
  const std::u16string back = ReadBack(cleaned);
  if (back == cleaned) return cleaned;
  // The way back made a marker or cut the text; what is left of it after
  // cleaning is shorter and only cut once more if it ends at the length
  // marker, and a cut of a clean text is clean.
  return ReadBack(CleanOutText(back));
}

void ArchiveOut::WriteCount(std::uint32_t n) {
  if (n < 0xFFFF) {
    w_.Put(static_cast<std::uint16_t>(n));
  } else {
    w_.Put(std::uint16_t{0xFFFF});
    w_.Put(n);
  }
}

void ArchiveOut::WriteClassRef(std::uint32_t i) {
  if (i < 0x7FFF) {
    w_.Put(static_cast<std::uint16_t>(i + 0x8000));
  } else {
    w_.Put(std::uint16_t{0x7FFF});
    w_.Put(static_cast<std::uint32_t>(i + 0x80000000u));
  }
}

void ArchiveOut::WriteNewClass(std::uint16_t schema, std::string_view className) {
  w_.Put(std::uint16_t{0xFFFF});
  w_.Put(schema);
  w_.Put(static_cast<std::uint16_t>(className.size()));
  w_.Write(className.data(), className.size());
}
