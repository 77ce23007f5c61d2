// Record types of the DOS-era Jw_cad files (JWC drawings, JWK figures) and
// the default text types of a JWC drawing.
#pragma once

#include <array>
#include <cstdint>

// One text type: pen number and sizes in tenths of a millimetre.
struct TEntJwcMojiType {
  std::uint16_t penNo = 0;
  std::uint16_t width = 0;
  std::uint16_t height = 0;
  std::uint16_t dist = 0;
  bool operator==(const TEntJwcMojiType&) const = default;
};

// Body records of JWC and JWK files. Only the headers of these files are
// read, so the body arrays stay empty and their records carry no fields.
struct TEntJwcVten {};
struct TEntJwcLayerGroup {};
struct TEntJwcLayer {};
struct TEntJwcLine {};
struct TEntJwcArc2 {};
struct TEntJwcMoji2 {};
struct TEntJwcTen {};

// A default text type in millimetres.
struct TJwcMojiTypeDefault {
  std::uint16_t penNo = 0;
  double width = 0, height = 0, dist = 0;
};

// Text types 1 to 10 (index 0 is type 1).
constexpr int kJwcMojiTypeDefaults = 10;
extern std::array<TJwcMojiTypeDefault, kJwcMojiTypeDefaults> JwcMojiTypeDef;

// Sets JwcMojiTypeDef to the defaults; run at start-up before the document
// objects are created.
void JwcTypeInit();
