// String, number and file-name helpers. Code-page and UTF conversions live
// in Func_2Encoding.cpp, file-system helpers in Func_2Files.cpp.
#include "support/Func_2.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cwctype>
#include <string>

namespace {

bool IsSurrogate(char16_t C) { return C >= 0xD800 && C <= 0xDFFF; }
bool IsControl(char16_t C) { return C < 0x20; }
bool IsDigit(char16_t C) { return C >= u'0' && C <= u'9'; }

// Maps each code unit through the locale's case function; a unit that would
// leave the Basic Multilingual Plane, and every surrogate, stays as it is so
// the length never changes.
template <class CaseFn>
std::u16string MapCase(std::u16string_view S, CaseFn Fn) {
  std::u16string R(S);
  for (char16_t& C : R) {
    if (IsSurrogate(C)) continue;
    const std::wint_t M = Fn(static_cast<std::wint_t>(C));
    if (M <= 0xFFFF && !IsSurrogate(static_cast<char16_t>(M))) C = static_cast<char16_t>(M);
  }
  return R;
}

template <class Drop>
std::u16string RemoveIf(std::u16string_view S, Drop Fn) {
  std::u16string R;
  R.reserve(S.size());
  for (char16_t C : S)
    if (!Fn(C)) R.push_back(C);
  return R;
}

// A U+0000 ends a number as it ends the text.
std::u16string_view UpToNul(std::u16string_view S) { return S.substr(0, S.find(u'\0')); }

std::size_t SkipSpaces(std::u16string_view S) {
  std::size_t I = 0;
  while (I < S.size() && S[I] == u' ') ++I;
  return I;
}

int HexDigit(char16_t C) {
  if (IsDigit(C)) return C - u'0';
  if (C >= u'a' && C <= u'f') return C - u'a' + 10;
  if (C >= u'A' && C <= u'F') return C - u'A' + 10;
  return -1;
}

// Length of a hexadecimal prefix ($, x, X, 0x, 0X) at the start of S, or 0.
std::size_t HexPrefixLength(std::u16string_view S) {
  if (S.empty()) return 0;
  if (S[0] == u'$' || S[0] == u'x' || S[0] == u'X') return 1;
  if (S.size() >= 2 && S[0] == u'0' && (S[1] == u'x' || S[1] == u'X')) return 2;
  return 0;
}

// The digits must fill Digits completely; false when they do not or when the
// value needs more than 32 bits.
bool ParseHex(std::u16string_view Digits, std::uint32_t& Value) {
  if (Digits.empty()) return false;
  std::uint64_t V = 0;
  for (char16_t C : Digits) {
    const int D = HexDigit(C);
    if (D < 0) return false;
    V = V * 16 + static_cast<unsigned>(D);
    if (V > 0xFFFFFFFFu) return false;
  }
  Value = static_cast<std::uint32_t>(V);
  return true;
}

// Decimal digits filling Digits, at most Limit in value.
bool ParseDecimal(std::u16string_view Digits, std::uint64_t Limit, std::uint64_t& Value) {
  if (Digits.empty()) return false;
  std::uint64_t V = 0;
  for (char16_t C : Digits) {
    if (!IsDigit(C)) return false;
    V = V * 10 + (C - u'0');
    if (V > Limit) return false;
  }
  Value = V;
  return true;
}

// Length of the run of decimal digits starting at Pos.
std::size_t DigitRun(std::u16string_view S, std::size_t Pos) {
  std::size_t I = Pos;
  while (I < S.size() && IsDigit(S[I])) ++I;
  return I - Pos;
}

// Checks the decimal real grammar (sign, digits, optional fraction, optional
// exponent) over all of S and returns its ASCII form without a leading "+",
// or an empty string when S does not match.
std::string RealSyntax(std::u16string_view S) {
  std::size_t I = 0;
  if (I < S.size() && (S[I] == u'+' || S[I] == u'-')) ++I;
  const std::size_t IntDigits = DigitRun(S, I);
  I += IntDigits;
  std::size_t FracDigits = 0;
  if (I < S.size() && S[I] == u'.') {
    FracDigits = DigitRun(S, ++I);
    I += FracDigits;
  }
  if (IntDigits + FracDigits == 0) return {};
  if (I < S.size() && (S[I] == u'e' || S[I] == u'E')) {
    ++I;
    if (I < S.size() && (S[I] == u'+' || S[I] == u'-')) ++I;
    const std::size_t ExpDigits = DigitRun(S, I);
    if (ExpDigits == 0) return {};
    I += ExpDigits;
  }
  if (I != S.size()) return {};
  return std::string(S.begin() + (S[0] == u'+' ? 1 : 0), S.end());
}

// Separators that end a folder part in the names the system meets.
bool IsPathSeparator(char16_t C) { return C == u'\\' || C == u'/' || C == u':'; }

bool IsForbiddenInPath(char16_t C) { return IsControl(C) || C == u'"' || C == u'<' || C == u'>' || C == u'|'; }

// Position just after the last separator (0 when there is none).
std::size_t LastComponentStart(std::u16string_view Path) {
  const auto It = std::find_if(Path.rbegin(), Path.rend(), IsPathSeparator);
  return static_cast<std::size_t>(Path.rend() - It);
}

// Position of the extension's dot in the last path component, or npos.
std::size_t ExtensionDot(std::u16string_view Path) {
  const std::size_t Dot = Path.rfind(u'.');
  return Dot != std::u16string_view::npos && Dot >= LastComponentStart(Path) ? Dot : std::u16string_view::npos;
}

}  // namespace

// ---- Strings ----

std::u16string TextUpper(std::u16string_view S) {
  return MapCase(S, [](std::wint_t C) { return std::towupper(C); });
}
std::u16string TextLower(std::u16string_view S) {
  return MapCase(S, [](std::wint_t C) { return std::towlower(C); });
}

std::u16string TextCopyPart(std::u16string_view S, int Start, int Count) {
  if (Count <= 0) return {};
  const std::size_t From = static_cast<std::size_t>(std::max(Start, 0));
  return From >= S.size() ? std::u16string() : std::u16string(S.substr(From, static_cast<std::size_t>(Count)));
}

std::u16string StripControlChars(std::u16string_view S) { return StripControlChars(std::u16string(S)); }

std::u16string StripControlChars(std::u16string&& S) {
  // A lambda, not the function's address, so that the scan is inlined.
  std::erase_if(S, [](char16_t C) { return IsControl(C); });
  return std::move(S);
}

// A marker that only comes together once the characters inside it are gone
// (backslash, "^m", "n"; or "^", a control character, "m") goes as well: a
// cleaned text holds none, so cleaning it again, as every later save does,
// changes nothing.
std::u16string CleanOutText(std::u16string_view S) {
  if (IsCleanText(S)) return std::u16string(S);
  std::u16string R;
  R.reserve(S.size());
  for (const char16_t C : S) {
    if (IsControl(C)) continue;
    if (!R.empty() && ((R.back() == u'^' && C == u'm') || (R.back() == u'\\' && C == u'n'))) {
      R.pop_back();
      continue;
    }
    R.push_back(C);
  }
  if (R.empty() && !S.empty()) R.push_back(u' ');
  return R;
}

bool IsCleanText(std::u16string_view S) {
  for (std::size_t I = 0; I < S.size(); ++I) {
    const char16_t C = S[I];
    if (C > u'n') continue;  // most characters: neither control nor the end of a marker
    if (IsControl(C)) return false;
    if (I > 0 && ((C == u'm' && S[I - 1] == u'^') || (C == u'n' && S[I - 1] == u'\\'))) return false;
  }
  return true;
}

std::u16string StripBlanks(std::u16string_view S) {
  return RemoveIf(S, [](char16_t C) { return C == u' ' || C == u'\u3000' || IsControl(C); });
}

// ---- Numbers and truth values ----

std::u16string IntToText(long long N) {
  const std::string A = std::to_string(N);
  return std::u16string(A.begin(), A.end());
}

std::int32_t TextToInt(std::u16string_view S) { return TryTextToInt(S).value_or(0); }

std::optional<std::int32_t> TryTextToInt(std::u16string_view S) {
  S = UpToNul(S);
  std::size_t I = SkipSpaces(S);
  bool Negative = false;
  if (I < S.size() && (S[I] == u'+' || S[I] == u'-')) Negative = S[I++] == u'-';
  const std::u16string_view Rest = S.substr(I);
  if (const std::size_t Prefix = HexPrefixLength(Rest)) {
    std::uint32_t V = 0;
    if (!ParseHex(Rest.substr(Prefix), V)) return std::nullopt;
    return static_cast<std::int32_t>(Negative ? 0u - V : V);
  }
  std::uint64_t V = 0;
  if (!ParseDecimal(Rest, Negative ? 2147483648u : 2147483647u, V)) return std::nullopt;
  return static_cast<std::int32_t>(Negative ? -static_cast<std::int64_t>(V) : static_cast<std::int64_t>(V));
}

long double TextToReal(std::u16string_view S) {
  S = UpToNul(S);
  const std::string A = RealSyntax(S.substr(SkipSpaces(S)));
  long double V = 0;
  // from_chars is independent of the locale's decimal separator.
  const auto [End, Err] = std::from_chars(A.data(), A.data() + A.size(), V);
  return Err == std::errc() && End == A.data() + A.size() ? V : 0.0L;
}

bool TextToBool(std::u16string_view S) {
  static constexpr std::u16string_view kTrue[] = {u"T", u"TR", u"TRU", u"TRUE", u"1", u"１", u"○", u"ON", u"真", u"正"};
  const std::u16string U = TextUpper(S);
  return std::find(std::begin(kTrue), std::end(kTrue), U) != std::end(kTrue);
}

std::u16string BoolToText(bool B) { return B ? u"1" : u"0"; }

bool DoubleIsFinite(double X) { return std::isfinite(X); }

// ---- File names and paths ----

char16_t PathDelimChar() { return u'/'; }

std::u16string PathJoin(std::u16string_view Folder, std::u16string_view Name) {
  std::u16string R(Folder);
  if (R.empty() || R.back() != PathDelimChar()) R += PathDelimChar();
  R.append(Name);
  return R;
}

std::u16string WithTrailingDelim(std::u16string_view Folder) { return PathJoin(Folder, {}); }

std::u16string FileNameOnly(std::u16string_view Path) {
  if (std::any_of(Path.begin(), Path.end(), IsForbiddenInPath)) return {};
  return std::u16string(Path.substr(LastComponentStart(Path)));
}

std::u16string FileExtLower(std::u16string_view Path) {
  const std::size_t Dot = ExtensionDot(Path);
  return Dot == std::u16string_view::npos ? std::u16string() : TextLower(Path.substr(Dot));
}

std::u16string FileExtChange(std::u16string_view Path, std::u16string_view Ext) {
  std::u16string R(Path.substr(0, std::min(ExtensionDot(Path), Path.size())));
  R.append(Ext);
  return R;
}
