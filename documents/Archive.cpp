#include "documents/Archive.h"

#include <algorithm>
#include <bit>

#include "support/Func_2.h"

namespace {

void WriteLength(ByteWriter& W, std::size_t N) {
  if (N < 255) {
    W.Put(static_cast<std::uint8_t>(N));
  } else {
    W.Put(std::uint8_t{0xFF});
    W.Put(static_cast<std::uint16_t>(N));
  }
}

// Cuts a UTF-16 string to the format's limit without splitting a surrogate pair.
std::u16string_view CutUtf16(std::u16string_view S) {
  if (S.size() <= kMaxUtf16StringUnits) return S;
  std::size_t N = kMaxUtf16StringUnits;
  if (S[N - 1] >= 0xD800 && S[N - 1] <= 0xDBFF) --N;
  return S.substr(0, N);
}

}  // namespace

TJwError ReasonOf(const TJwError& E, const ByteReader& R) {
  if (R.ReadError() != 0) return {TJwFault::ReadFailed, R.Position(), R.ReadError()};
  return E;
}

// Reads up to n bytes for decoding; never more than the data still holds.
std::span<const std::uint8_t> ArchiveIn::ReadBlock(std::size_t N) {
  if (const std::span<const std::uint8_t> InPlace = R_.TakeInWindow(N); InPlace.size() == N) return InPlace;
  Scratch_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(N, R_.Remaining())));
  return {Scratch_.data(), R_.Read(Scratch_.data(), Scratch_.size())};
}

std::u16string ArchiveIn::ReadStr() {
  std::uint8_t B = 0;
  R_.Get(B);
  if (B != 0xFF) return AnsiBytesToText(ReadBlock(B));
  std::uint16_t W = 0;
  R_.Get(W);
  if (W != 0xFFFE) return AnsiBytesToText(ReadBlock(W));
  MojiEncode_ = true;
  std::uint8_t C8 = 0;
  R_.Get(C8);
  std::size_t C = C8;
  if (C8 == 0xFF) {
    std::uint16_t C16 = 0;
    R_.Get(C16);
    C = C16;
  }
  return Utf16BytesToText(ReadBlock(2 * C));
}

std::u16string ArchiveIn::ReadStrClean() { return StripControlChars(ReadStr()); }

bool ArchiveIn::ReadCount(std::uint32_t& N) {
  std::uint16_t W = 0;
  if (R_.Get(W) == 0) return false;
  N = W;
  if (W == 0xFFFF) R_.Get(N);
  return true;
}

// The code-page bytes of s up to its first zero byte, within the limits.
Bytes ArchiveOut::AnsiForm(std::u16string_view S) const {
  Bytes B = TextToAnsiBytesLimited(S, kMaxAnsiStringBytes);
  B.resize(static_cast<std::size_t>(std::find(B.begin(), B.end(), 0) - B.begin()));
  if (B.size() == kAnsiLengthMarker) B = TextToAnsiBytesLimited(S, kAnsiLengthMarker - 1);
  return B;
}

void ArchiveOut::WriteStr(std::u16string_view S) {
  if (Utf16_) {
    const std::u16string_view T = CutUtf16(S);
    W_.Write("\xFF\xFE\xFF", 3);
    WriteLength(W_, T.size());
    static_assert(std::endian::native == std::endian::little);
    W_.Write(T.data(), 2 * T.size());
    return;
  }
  WriteAnsiForm(AnsiForm(S));
}

void ArchiveOut::WriteAnsiForm(const Bytes& B) {
  WriteLength(W_, B.size());
  if (!B.empty()) W_.Write(B.data(), B.size());
}

std::u16string ArchiveOut::ReadBack(std::u16string_view S) const {
  if (Utf16_) return std::u16string(CutUtf16(S));
  return AnsiBytesToText(AnsiForm(S));
}

std::u16string ArchiveOut::CleanText(std::u16string_view S) const {
  std::u16string Cleaned = CleanOutText(S);
  if (Utf16_ && Cleaned.size() <= kMaxUtf16StringUnits) return Cleaned;
  const std::u16string Back = ReadBack(Cleaned);
  if (Back == Cleaned) return Cleaned;
  // The way back made a marker or cut the text; what is left of it after
  // cleaning is shorter and only cut once more if it ends at the length
  // marker, and a cut of a clean text is clean.
  return ReadBack(CleanOutText(Back));
}

void ArchiveOut::WriteCleanText(std::u16string_view S) {
  if (IsCleanText(S)) {
    if (Utf16_ && S.size() <= kMaxUtf16StringUnits) return WriteStr(S);
    if (!Utf16_) {
      Bytes B = AnsiForm(S);
      if (AnsiBytesToText(B) == S) return WriteAnsiForm(B);
    }
  }
  WriteStr(CleanText(S));
}

void ArchiveOut::WriteCount(std::uint32_t N) {
  if (N < 0xFFFF) {
    W_.Put(static_cast<std::uint16_t>(N));
  } else {
    W_.Put(std::uint16_t{0xFFFF});
    W_.Put(N);
  }
}

void ArchiveOut::WriteClassRef(std::uint32_t I) {
  if (I < 0x7FFF) {
    W_.Put(static_cast<std::uint16_t>(I + 0x8000));
  } else {
    W_.Put(std::uint16_t{0x7FFF});
    W_.Put(static_cast<std::uint32_t>(I + 0x80000000u));
  }
}

void ArchiveOut::WriteNewClass(std::uint16_t Schema, std::string_view ClassName) {
  W_.Put(std::uint16_t{0xFFFF});
  W_.Put(Schema);
  W_.Put(static_cast<std::uint16_t>(ClassName.size()));
  W_.Write(ClassName.data(), ClassName.size());
}
