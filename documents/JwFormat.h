// The facts of the Jw_cad file formats that several readers and writers
// share, each defined once: signatures, accepted versions, the versions from
// which parts of a file exist, and the lengths of the JWW header tables.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// A signature: ASCII characters that stand in the file as code-page bytes
// and read back as the same text.
class TJwSignature {
 public:
  template <std::size_t N>
  explicit consteval TJwSignature(const char (&S)[N]) : Size_(N - 1) {
    static_assert(N - 1 <= kMaxSize);
    for (std::size_t I = 0; I < Size_; ++I) {
      Bytes_[I] = S[I];
      Text_[I] = static_cast<char16_t>(S[I]);
    }
  }
  constexpr std::string_view Bytes() const { return {Bytes_, Size_}; }
  constexpr std::u16string_view Text() const { return {Text_, Size_}; }
  constexpr std::size_t Size() const { return Size_; }

 private:
  static constexpr std::size_t kMaxSize = 20;
  char Bytes_[kMaxSize] = {};
  char16_t Text_[kMaxSize] = {};
  std::size_t Size_;
};

inline constexpr TJwSignature kJwwSignature{"JwwData."};  // at offset 0, the version follows
inline constexpr TJwSignature kJwsSignature{"JwsData"};   // at offset 0, then filler up to the version
inline constexpr std::size_t kJwsFillerBytes = 193;
inline constexpr TJwSignature kJwcSignature{"jw_cad(c)data......."};
inline constexpr TJwSignature kJwkSignature{"jw_cad(c)sym........"};

// The versions that FileCheck and the header readers accept.
struct TJwVersions {
  std::int32_t Min;
  std::int32_t Max;
  constexpr bool Holds(std::int32_t Ver) const { return Ver >= Min && Ver <= Max; }
};
inline constexpr TJwVersions kJwwVersions{220, 700};
inline constexpr TJwVersions kJwsVersions{230, 700};
// No figure is saved as version 3.00: a save writes 3.51 instead.
inline constexpr std::int32_t kJwsVerSavedAsPenWidth = 300;

// Version gates: a part of the file exists from this version on (the file's
// version when reading, the output version when writing).
inline constexpr std::int32_t kVerDrawTime = 223;        // header: drawing time and eye positions
inline constexpr std::int32_t kVerDimensionSizes = 225;  // header: dimension sizes of lengths, boxes, radii
inline constexpr std::int32_t kVerSolidColor = 230;      // header: the solid colour settings
// Header: eight zoom jumps with their layer groups (four without before),
// then the dimension and text background settings.
inline constexpr std::int32_t kVerZoomJumps = 231;
inline constexpr std::int32_t kVerTenkuuZu = 300;     // header: the sky-view levels
inline constexpr std::int32_t kVerPenWidth = 351;     // every attribute carries its line width
inline constexpr std::int32_t kVerSxf = 420;          // SXF pens, header tables and dimension parts
inline constexpr std::int32_t kVerPrintDpi = 600;     // the print resolution shares a field with a flag
inline constexpr std::int32_t kVerBoundImages = 700;  // the image section at the end
// Up to and including this version a line-width mode below -101 is written
// as -101.
inline constexpr std::int32_t kLastVerMaxDrawWidFloor = 420;

// Lengths of the JWW header tables.
inline constexpr std::size_t kLayerGroups = 16;
inline constexpr std::size_t kLayersPerGroup = 16;
inline constexpr std::size_t kLayers = kLayerGroups * kLayersPerGroup;  // layer l of group g at g * 16 + l
inline constexpr std::size_t kPenColors = 10;                           // EntCol
inline constexpr std::size_t kLineTypes = 8;                            // EntLtp1
inline constexpr std::size_t kRandomLines = 5;                          // EntLtp2
inline constexpr std::size_t kDoubleLineTypes = 4;                      // EntLtp3
inline constexpr std::size_t kSxfColors = 257;                          // EntColS
inline constexpr std::size_t kSxfLineTypes = 33;                        // EntLtpS
// SXF table entries below this one are the standard ones; user-defined
// colours and line types follow.
inline constexpr std::size_t kSxfStandardEntries = 17;
inline constexpr std::size_t kTextTypes = 10;  // EntMoj
inline constexpr std::size_t kZoomJumps = 8;
inline constexpr std::size_t kOldZoomJumps = 4;  // before kVerZoomJumps

// Pen numbers as records carry them.
struct TJwPenNumbers {
  std::int32_t Min;
  std::int32_t Max;
  constexpr bool Holds(std::int32_t V) const { return V >= Min && V <= Max; }
};
inline constexpr TJwPenNumbers kStandardColorNumbers{1, 9};  // 9 is the auxiliary colour
inline constexpr TJwPenNumbers kSxfColorNumbers{101, 356};   // SXF colours 1..256; 101..116 are named
inline constexpr TJwPenNumbers kStandardLtypeNumbers{1, 9};  // 9 is the auxiliary line type
inline constexpr TJwPenNumbers kRandomAndDoubleLtypeNumbers{11, 19};
inline constexpr TJwPenNumbers kSxfLtypeNumbers{31, 62};  // SXF line types 1..32
inline constexpr std::int32_t kSolidOwnColor = 10;        // a solid that carries its own colour value
inline constexpr std::int32_t kMaxPenWidth = 30000;       // in 1/100 mm
