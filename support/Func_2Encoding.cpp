// Code page 932 (through iconv), UTF-16 byte and UTF-8 conversions.
//
// Every string of a drawing passes through the code-page routines, and most
// of them are plain ASCII, which code page 932 maps one to one: those never
// reach iconv. The iconv descriptors stay open per thread, because opening
// one costs far more than converting a short string.
#include "support/Func_2.h"

#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

namespace {

constexpr const char* kUtf16Native = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";
constexpr char16_t kReplacementChar = 0xFFFD;

bool IsHighSurrogate(char16_t C) { return C >= 0xD800 && C <= 0xDBFF; }
bool IsLowSurrogate(char16_t C) { return C >= 0xDC00 && C <= 0xDFFF; }

// First and second bytes of a double-byte character of code page 932.
bool IsLeadByte(std::uint8_t B) { return (B >= 0x81 && B <= 0x9F) || (B >= 0xE0 && B <= 0xFC); }
bool IsTrailByte(std::uint8_t B) { return B >= 0x40 && B <= 0xFC && B != 0x7F; }

template <class T>
bool AllAscii(std::span<const T> S) {
  unsigned Bits = 0;
  for (T C : S) Bits |= C;
  return Bits < 0x80;
}

class Converter {
 public:
  Converter(const char* To, const char* From) : Cd_(iconv_open(To, From)) {}
  ~Converter() {
    if (Ok()) iconv_close(Cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // iconv's result: (size_t)-1 with errno set when it stopped early. Without
  // a descriptor every input counts as unconvertible.
  std::size_t Run(const char*& In, std::size_t& InLeft, char*& Out, std::size_t& OutLeft) {
    if (!Ok()) {
      errno = EILSEQ;
      return static_cast<std::size_t>(-1);
    }
    return iconv(Cd_, const_cast<char**>(&In), &InLeft, &Out, &OutLeft);
  }
  void Reset() {
    if (Ok()) iconv(Cd_, nullptr, nullptr, nullptr, nullptr);
  }

 private:
  bool Ok() const { return Cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Cd_;
};

Converter& Cp932Decoder() {
  thread_local Converter C(kUtf16Native, "CP932");
  return C;
}

Converter& Cp932Encoder() {
  thread_local Converter C("CP932", kUtf16Native);
  return C;
}

// Input bytes spanned by a sequence that cannot be converted (at least 1).
using SkipFn = std::size_t (*)(const char* In, std::size_t InLeft);

// An unassigned double-byte code is one character; anything else one byte.
std::size_t SkipCp932(const char* In, std::size_t InLeft) {
  const auto* P = reinterpret_cast<const std::uint8_t*>(In);
  return InLeft >= 2 && IsLeadByte(P[0]) && IsTrailByte(P[1]) ? 2 : 1;
}

// A surrogate pair is one character; anything else one code unit.
std::size_t SkipUtf16(const char* In, std::size_t InLeft) {
  char16_t U[2] = {};
  std::memcpy(U, In, std::min<std::size_t>(InLeft, sizeof U));
  return InLeft >= 4 && IsHighSurrogate(U[0]) && IsLowSurrogate(U[1]) ? 4 : 2;
}

// Converts Input into Result (replacing its contents). Each sequence that
// cannot be converted becomes Replacement and the conversion goes on after
// it. In both directions code page 932 needs at most one output unit per
// input byte, so the first buffer is normally the only one.
template <class Out>
void Transcode(Converter& Cv, std::span<const char> Input, SkipFn Skip, typename Out::value_type Replacement,
               Out& Result) {
  using Unit = typename Out::value_type;
  const char* In = Input.data();
  std::size_t InLeft = Input.size();
  std::size_t Done = 0;
  Result.resize(Input.size() + 1);
  Cv.Reset();
  while (InLeft > 0) {
    char* Base = reinterpret_cast<char*>(Result.data());
    char* O = Base + Done * sizeof(Unit);
    std::size_t OutLeft = (Result.size() - Done) * sizeof(Unit);
    const std::size_t R = Cv.Run(In, InLeft, O, OutLeft);
    const int Err = errno;
    Done = static_cast<std::size_t>(O - Base) / sizeof(Unit);
    if (R != static_cast<std::size_t>(-1)) break;
    if (Err == E2BIG || Done == Result.size()) {
      Result.resize(Result.size() * 2);
      if (Err == E2BIG) continue;
    }
    Result[Done++] = Replacement;
    const std::size_t N = std::min(Skip(In, InLeft), InLeft);
    In += N;
    InLeft -= N;
  }
  Result.resize(Done);
}

void EncodeCp932(std::u16string_view S, Bytes& Result) {
  if (AllAscii(std::span(S))) {
    Result.assign(S.begin(), S.end());
    return;
  }
  Transcode(Cp932Encoder(), {reinterpret_cast<const char*>(S.data()), S.size() * sizeof(char16_t)}, SkipUtf16,
            std::uint8_t{'?'}, Result);
}

void AppendUtf8(std::string& Out, char32_t C) {
  if (C < 0x80) {
    Out.push_back(static_cast<char>(C));
  } else if (C < 0x800) {
    Out.push_back(static_cast<char>(0xC0 | (C >> 6)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  } else if (C < 0x10000) {
    Out.push_back(static_cast<char>(0xE0 | (C >> 12)));
    Out.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  } else {
    Out.push_back(static_cast<char>(0xF0 | (C >> 18)));
    Out.push_back(static_cast<char>(0x80 | ((C >> 12) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | ((C >> 6) & 0x3F)));
    Out.push_back(static_cast<char>(0x80 | (C & 0x3F)));
  }
}

void AppendUtf16(std::u16string& Out, char32_t C) {
  if (C < 0x10000) {
    Out.push_back(static_cast<char16_t>(C));
  } else {
    C -= 0x10000;
    Out.push_back(static_cast<char16_t>(0xD800 + (C >> 10)));
    Out.push_back(static_cast<char16_t>(0xDC00 + (C & 0x3FF)));
  }
}

struct Utf8Lead {
  int Length;               // bytes of the sequence; 0 for a byte that cannot start one
  std::uint8_t Min2, Max2;  // allowed range of the second byte
};

// Ranges that exclude overlong forms, surrogates and code points above
// U+10FFFF.
Utf8Lead ClassifyUtf8Lead(std::uint8_t B) {
  if (B >= 0xC2 && B <= 0xDF) return {2, 0x80, 0xBF};
  if (B == 0xE0) return {3, 0xA0, 0xBF};
  if (B == 0xED) return {3, 0x80, 0x9F};
  if (B >= 0xE1 && B <= 0xEF) return {3, 0x80, 0xBF};
  if (B == 0xF0) return {4, 0x90, 0xBF};
  if (B >= 0xF1 && B <= 0xF3) return {4, 0x80, 0xBF};
  if (B == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

// Decodes the sequence at S[I]; returns the bytes used, with C set to the
// code point or U+FFFD. An invalid sequence uses its longest valid start
// (at least one byte), so the next character is never swallowed.
std::size_t DecodeUtf8At(std::string_view S, std::size_t I, char32_t& C) {
  const auto Byte = [&](std::size_t K) { return static_cast<std::uint8_t>(S[K]); };
  const Utf8Lead L = ClassifyUtf8Lead(Byte(I));
  C = kReplacementChar;
  if (L.Length == 0) return 1;
  if (I + 1 >= S.size() || Byte(I + 1) < L.Min2 || Byte(I + 1) > L.Max2) return 1;
  char32_t V = Byte(I) & (0x7F >> L.Length);
  V = (V << 6) | (Byte(I + 1) & 0x3F);
  for (int K = 2; K < L.Length; ++K) {
    if (I + K >= S.size() || (Byte(I + K) & 0xC0) != 0x80) return static_cast<std::size_t>(K);
    V = (V << 6) | (Byte(I + K) & 0x3F);
  }
  C = V;
  return static_cast<std::size_t>(L.Length);
}

}  // namespace

// ---- Code page 932 ----

std::u16string AnsiBytesToText(std::span<const std::uint8_t> B) {
  // No double-byte character holds a zero byte, so cutting the bytes at the
  // first zero cuts the text at its first U+0000.
  B = B.first(static_cast<std::size_t>(std::find(B.begin(), B.end(), 0) - B.begin()));
  if (AllAscii(B)) return std::u16string(B.begin(), B.end());
  std::u16string R;
  Transcode(Cp932Decoder(), {reinterpret_cast<const char*>(B.data()), B.size()}, SkipCp932, kReplacementChar, R);
  return R;
}

Bytes TextToAnsiBytes(std::u16string_view S) {
  Bytes R;
  EncodeCp932(S, R);
  return R;
}

Bytes TextToAnsiBytesLimited(std::u16string_view S, std::size_t MaxBytes) {
  Bytes R = TextToAnsiBytes(S);
  if (R.size() <= MaxBytes) return R;
  // Character boundaries can only be found from the start.
  std::size_t End = 0;
  while (End < R.size()) {
    const std::size_t Len = IsLeadByte(R[End]) && End + 1 < R.size() ? 2 : 1;
    if (End + Len > MaxBytes) break;
    End += Len;
  }
  R.resize(End);
  return R;
}

// ---- UTF-16 bytes ----

std::u16string Utf16BytesToText(std::span<const std::uint8_t> B) {
  std::u16string R(B.size() / 2, u'\0');
  if constexpr (std::endian::native == std::endian::little) {
    if (!R.empty()) std::memcpy(R.data(), B.data(), 2 * R.size());
  } else {
    for (std::size_t I = 0; I < R.size(); ++I) R[I] = static_cast<char16_t>(B[2 * I] | (B[2 * I + 1] << 8));
  }
  R.resize(std::min(R.size(), R.find(u'\0')));
  return R;
}

// ---- UTF-8 ----

namespace {

// A stray byte of a file name is kept as the lone surrogate U+DC80..U+DCFF,
// which no valid UTF-8 produces, so such names survive the way back.
constexpr char16_t kStrayByteBase = 0xDC00;

bool IsStrayByte(char16_t C) { return C >= kStrayByteBase + 0x80 && C <= kStrayByteBase + 0xFF; }

std::string EncodeUtf8(std::u16string_view S, bool KeepStrayBytes) {
  std::string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size(); ++I) {
    char32_t C = S[I];
    if (IsHighSurrogate(S[I]) && I + 1 < S.size() && IsLowSurrogate(S[I + 1])) {
      C = 0x10000 + ((C - 0xD800) << 10) + (S[++I] - 0xDC00);
    } else if (KeepStrayBytes && IsStrayByte(S[I])) {
      R.push_back(static_cast<char>(S[I] - kStrayByteBase));
      continue;
    } else if (IsHighSurrogate(S[I]) || IsLowSurrogate(S[I])) {
      C = kReplacementChar;
    }
    AppendUtf8(R, C);
  }
  return R;
}

std::u16string DecodeUtf8(std::string_view S, bool KeepStrayBytes) {
  std::u16string R;
  R.reserve(S.size());
  for (std::size_t I = 0; I < S.size();) {
    if (static_cast<std::uint8_t>(S[I]) < 0x80) {
      R.push_back(static_cast<char16_t>(S[I++]));
      continue;
    }
    char32_t C;
    const std::size_t Used = DecodeUtf8At(S, I, C);
    // U+FFFD itself is valid: only a sequence that did not decode is stray.
    const bool Stray = C == kReplacementChar && S.compare(I, 3, "\xEF\xBF\xBD") != 0;
    if (Stray && KeepStrayBytes) {
      for (std::size_t K = I; K < I + Used; ++K)
        R.push_back(static_cast<char16_t>(kStrayByteBase + static_cast<std::uint8_t>(S[K])));
    } else {
      AppendUtf16(R, C);
    }
    I += Used;
  }
  return R;
}

}  // namespace

std::string ToUtf8(std::u16string_view S) { return EncodeUtf8(S, false); }
std::u16string FromUtf8(std::string_view S) { return DecodeUtf8(S, false); }
std::string ToNativeName(std::u16string_view S) { return EncodeUtf8(S, true); }
std::u16string FromNativeName(std::string_view S) { return DecodeUtf8(S, true); }

std::filesystem::path ToPath(std::u16string_view S) { return std::filesystem::path(ToNativeName(S)); }

std::u16string FromPath(const std::filesystem::path& P) { return FromNativeName(P.native()); }
