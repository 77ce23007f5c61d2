// The records of the tagged object lists: the seven entity kinds and the
// head of a block definition. The fields of each kind are listed once, in
// file order with their version gates; that one list reads a record, writes
// it and counts its bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "documents/Archive.h"
#include "documents/jwwtype.h"

// Text sizes: non-finite values read become 3.0 (sizes) and 0.0 (spacing);
// sizes are written as absolute values within 1e-10 .. 1e10.
void RepairTextSize(double& X, double& Y, double& Spacing);
double ClampTextSize(double V);

// The attribute block as a record writer writes it for output version Ver:
// pen numbers mapped and validated for the record kind, layer, group and
// width limited.
void WriteAttr(ArchiveOut& Out, std::int32_t Ver, const TEntJwwAttr& Attr, int Kind);
void CopyAttr(const TEntJwwAttr& Source, TEntJwwAttr& Dest);

// Output option bits of the next save (FileOutOpt of the documents).
enum FileOutOption : std::int32_t {
  kOutImageNameOnly = 0x01,  // image references keep only the file name
  kOutImageNoTemp = 0x08,    // image references lose "%temp%"
  kOutUtf16 = 0x20,          // every string in UTF-16 form
};

// Whose string a text is: a text entity's image references follow the output
// options, a dimension's text is written as it is.
enum class TextOf { Entity, Dimension };

// Reads the records of one file version. A short read gives zeros for what
// is missing.
class RecordIn {
 public:
  template <class T>
  using Rec = T;

  RecordIn(ArchiveIn& In, std::int32_t Ver) : In_(In), R_(In.reader()), Ver_(Ver) {}
  std::int32_t Ver() const { return Ver_; }

  // Fields that follow each other.
  template <class... T>
  void operator()(T&... V) {
    constexpr std::size_t N = (sizeof(T) + ...);
    switch (Mode_) {
      case Mode::Sizing: FixedSize_ += N; return;
      case Mode::FromFixed:
        Take(FixedAt_, V...);
        FixedAt_ += N;
        return;
      case Mode::Direct: {
        std::uint8_t B[N] = {};
        R_.Read(B, N);
        Take(B, V...);
        return;
      }
    }
  }
  // Reads a record's fixed part in one block, its size counted from its
  // fields: Fields runs twice, to count and then to take the values, so no
  // field of a fixed part may depend on another one's value. The values are
  // taken in place when the reader's window holds the whole block. True
  // when the read delivered any bytes.
  template <class F>
  bool Checked(F Fields) {
    Mode_ = Mode::Sizing;
    FixedSize_ = 0;
    Fields();
    std::span<const std::uint8_t> Block = R_.TakeInWindow(FixedSize_);
    bool Got = true;
    if (Block.size() != FixedSize_) {
      Fixed_.assign(FixedSize_, 0);
      Got = R_.Read(Fixed_.data(), FixedSize_) > 0;
      Block = Fixed_;
    }
    Mode_ = Mode::FromFixed;
    FixedAt_ = Block.data();
    Fields();
    Mode_ = Mode::Direct;
    return Got;
  }
  void Attr(TEntJwwAttr& A, int Kind);
  void TextSize(double& V);
  void Spacing(double& V);
  void BlockNumber(std::uint32_t& N) { (*this)(N); }
  // A time stamp in its long form (top bit set, 8 bytes more) reads as the
  // definition's position in its list.
  void LongTimeStamp(std::uint32_t& T, std::uint32_t Position);
  void Name(std::u16string& S) { S = In_.ReadStrClean(); }
  void Text(std::u16string& S, TextOf) { S = In_.ReadStrClean(); }
  // A dimension of a file without SXF parts gets them from its own
  // attribute.
  void WithoutSxfPart(TEntJwwSunpo& X);

 private:
  enum class Mode { Direct, Sizing, FromFixed };

  template <class... T>
  static void Take(const std::uint8_t* P, T&... V) {
    ((std::memcpy(&V, P, sizeof(T)), P += sizeof(T)), ...);
  }

  ArchiveIn& In_;
  ByteReader& R_;
  std::int32_t Ver_;
  Mode Mode_ = Mode::Direct;
  std::vector<std::uint8_t> Fixed_;  // a fixed part that the window does not hold whole
  std::size_t FixedSize_ = 0;
  const std::uint8_t* FixedAt_ = nullptr;
};

// Writes records for one output version. Values are clamped and mapped in
// the bytes only.
class RecordOut {
 public:
  template <class T>
  using Rec = const T;
  // SavedNumber gives the number under which a block number is saved.
  using BlockNumbering = std::function<std::uint32_t(std::uint32_t)>;

  RecordOut(ArchiveOut& Out, std::int32_t Ver, std::int32_t Options, BlockNumbering SavedNumber)
      : Out_(Out), Ver_(Ver), Options_(Options), SavedNumber_(std::move(SavedNumber)) {}
  std::int32_t Ver() const { return Ver_; }

  // Fields that follow each other, in one write.
  template <class... T>
  void operator()(const T&... V) {
    std::uint8_t B[(sizeof(T) + ...)];
    std::uint8_t* P = B;
    ((std::memcpy(P, &V, sizeof(T)), P += sizeof(T)), ...);
    Out_.writer().Write(B, sizeof B);
  }
  template <class F>
  bool Checked(F Fields) {
    Fields();
    return true;
  }
  void Attr(const TEntJwwAttr& A, int Kind);
  void TextSize(double V) { (*this)(ClampTextSize(V)); }
  void Spacing(double V) { (*this)(V); }
  void BlockNumber(std::uint32_t N) { (*this)(SavedNumber_(N)); }
  // A stamp read from a file is always below the top bit and keeps its
  // four-byte form. One set in memory with the top bit reads back as the long
  // form, so the eight bytes that form carries follow it, or the rest of the
  // file would be read out of step.
  void LongTimeStamp(std::uint32_t T, std::uint32_t) {
    if (T & 0x80000000u) (*this)(std::uint64_t{0});
  }
  void Name(const std::u16string& S) { Out_.WriteCleanText(S); }
  void Text(const std::u16string& S, TextOf Of);
  void WithoutSxfPart(const TEntJwwSunpo&) {}

 private:
  ArchiveOut& Out_;
  std::int32_t Ver_;
  std::int32_t Options_;
  BlockNumbering SavedNumber_;
};

// Each Read reads one record and returns whether its checked part delivered
// any bytes: the fixed part; for a dimension the fixed part of its text and,
// from 4.20 on, that of its last point.
bool Read(RecordIn& F, TEntJwwLine& X);
bool Read(RecordIn& F, TEntJwwEnko& X);
bool Read(RecordIn& F, TEntJwwTen& X);
bool Read(RecordIn& F, TEntJwwMoji& X);
bool Read(RecordIn& F, TEntJwwSunpo& X);
bool Read(RecordIn& F, TEntJwwSolid& X);
bool Read(RecordIn& F, TEntJwwBlock& X);
// A block definition up to its name; Position is its place in the list,
// from 1. Its member count and members follow.
bool Read(RecordIn& F, TEntJwwBlockDef& D, std::uint32_t Position);

void Write(RecordOut& F, const TEntJwwLine& X);
void Write(RecordOut& F, const TEntJwwEnko& X);
void Write(RecordOut& F, const TEntJwwTen& X);
void Write(RecordOut& F, const TEntJwwMoji& X);
void Write(RecordOut& F, const TEntJwwSunpo& X);
void Write(RecordOut& F, const TEntJwwSolid& X);
void Write(RecordOut& F, const TEntJwwBlock& X);
void Write(RecordOut& F, const TEntJwwBlockDef& D, std::uint32_t Position);

// The bytes of the smallest object an entity list can hold at any version,
// its tag included: what a declared count may reserve is bounded by it.
std::uint64_t SmallestObjectBytes();
