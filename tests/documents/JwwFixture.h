// Byte-level JWW and JWS files for the document tests, written field by field
// from the format tables (header rows with their version gates, tagged object
// lists with one running object index per file, records, block definitions,
// image section). Nothing here calls the document writers, so a fixture is
// an independent statement of what the bytes must be.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/TestSupport.h"
#include "documents/JwBody.h"
#include "documents/jwwtype.h"

class TJwwData;
class TJwsData;

namespace jwfix {

using ByteVec = std::vector<std::uint8_t>;

enum class Form { CodePage, Utf16 };

// One file under construction. Strings take the file's form; object tags
// follow the archive rules: a new-class tag (schema, name) for the first
// object of a class, a class reference afterwards.
class JwFile {
 public:
  explicit JwFile(std::int32_t Version, Form Form = Form::CodePage);

  std::int32_t ver;
  Form form;
  std::uint16_t schema;  // written in new-class tags; the version by default
  testsupport::ByteBuilder b;

  // ---- Archive primitives ----
  JwFile& Str(std::u16string_view S);                  // in the file's form
  JwFile& CpStr(std::span<const std::uint8_t> Bytes);  // code-page form, these bytes
  JwFile& Utf16Str(std::u16string_view S);
  JwFile& Count(std::uint32_t N);
  // The tag of the next object of class cls.
  JwFile& Tag(const std::string& Cls);
  // An object has been written: it takes the next running index.
  JwFile& Took() {
    ++Running_;
    return *this;
  }
  std::uint32_t Running() const { return Running_; }
  std::uint32_t ClassIndex(const std::string& Cls) const;

  // ---- Records without tags ----
  JwFile& Attr(const TEntJwwAttr& A);
  JwFile& LineRec(const TEntJwwLine& X);
  JwFile& EnkoRec(const TEntJwwEnko& X);
  JwFile& TenRec(const TEntJwwTen& X);
  JwFile& MojiRec(const TEntJwwMoji& X);
  JwFile& SunpoRec(const TEntJwwSunpo& X);
  JwFile& SolidRec(const TEntJwwSolid& X);
  JwFile& BlockRec(const TEntJwwBlock& X);

  // ---- Tagged objects (tag, record, index) ----
  JwFile& Line(const TEntJwwLine& X) {
    Tag("CDataSen").LineRec(X);
    return Took();
  }
  JwFile& Enko(const TEntJwwEnko& X) {
    Tag("CDataEnko").EnkoRec(X);
    return Took();
  }
  JwFile& Ten(const TEntJwwTen& X) {
    Tag("CDataTen").TenRec(X);
    return Took();
  }
  JwFile& Moji(const TEntJwwMoji& X) {
    Tag("CDataMoji").MojiRec(X);
    return Took();
  }
  JwFile& Sunpo(const TEntJwwSunpo& X) {
    Tag("CDataSunpou").SunpoRec(X);
    return Took();
  }
  JwFile& Solid(const TEntJwwSolid& X) {
    Tag("CDataSolid").SolidRec(X);
    return Took();
  }
  JwFile& Block(const TEntJwwBlock& X) {
    Tag("CDataBlock").BlockRec(X);
    return Took();
  }
  // A block definition up to its member count; its members follow. With
  // longTime the time stamp is the 8-byte form (0xFFFFFFFF and 8 bytes).
  JwFile& BlockDef(const TEntJwwBlockDef& D, std::uint32_t Members, bool LongTime = false);

  // The image section: count, then name, size and bytes per entry.
  JwFile& Images(const std::vector<std::pair<std::u16string, ByteVec>>& Images);

  const ByteVec& bytes() const { return b.bytes; }

 private:
  std::map<std::string, std::uint32_t> Classes_;
  std::uint32_t Running_ = 1;
};

// ---- JWW header ----

struct JwwHeaderSpec {
  TEntJwwHeader h;
  std::vector<TEntJwwLayerGroup> lgrp;
  std::vector<TEntJwwLayer> lay;
  std::vector<TEntJwwColorNo> col;
  std::vector<TEntJwwLineTypeNo> ltp1;
  std::vector<TEntJwwRandomLineNo> ltp2;
  std::vector<TEntJwwLineTypeNo> ltp3;
  std::vector<TEntJwwColorExNo> colS;
  std::vector<TEntJwwLineTypeExNo> ltpS;
  std::vector<TEntJwwMojiType> moj;
};

// Where rows of a written header start.
struct HeaderMarks {
  std::size_t reserved56 = 0, reserved4 = 0, maxDrawWid = 0, penTables = 0, printPacking = 0, sxfColors = 0,
              textTypes = 0, end = 0;
};

// A header whose every field holds its own value and that a save writes
// back unchanged: valid pens, text sizes in range, SXF tables that need no
// fix-up, a print packing that fits the version, reserved areas with
// content. The version field is the file's version.
JwwHeaderSpec CanonicalHeader(std::int32_t Ver);
// All zero, empty tables of the fixed lengths, reset header values.
JwwHeaderSpec EmptyHeader();
// The header and tables a document holds.
JwwHeaderSpec HeaderOf(const TJwwData& Doc);
// What the writer rules make of a header written at version ver.
JwwHeaderSpec AsWritten(JwwHeaderSpec S, std::int32_t Ver);

// Rows 1 to 43, gated by f.ver, values as given (no clamps). A missing
// reserved area is written as 56 spaces / 4 zero bytes.
HeaderMarks WriteJwwHeader(JwFile& F, const JwwHeaderSpec& S);

// ---- JWS header ----

struct JwsHeaderSpec {
  TEntJwsHeader h;
  std::array<double, 16> scales{};
  std::uint8_t filler = '.';
};
JwsHeaderSpec CanonicalJwsHeader();
// Signature, filler, f.ver at offset 200 and the fields up to My2.
void WriteJwsHeader(JwFile& F, const JwsHeaderSpec& S);

// ---- Bodies ----

// The entity list of a document or the members of a definition: the count
// of valid entries, then those objects in order.
void WriteObjects(JwFile& F, const ConstEntityLists& L);
// Every definition with its members, as stored (no renumbering).
void WriteBlockDefs(JwFile& F, const std::vector<TEntJwwBlockDef>& Defs);

// One record of each kind with distinct values in every field, valid for the
// writer (pens, layers, text sizes); members of no definition.
struct SampleEntities {
  TEntJwwLine line;
  TEntJwwEnko enko;
  TEntJwwTen ten, ten100;
  TEntJwwMoji moji;
  TEntJwwSunpo sunpo;
  TEntJwwSolid solid, solid10;
  TEntJwwBlock block;
};
SampleEntities Samples(std::int32_t Ver);

TEntJwwAttr Pen(int Style, int Color, int Width = 0, int Layer = 0, int Glayer = 0);

// A drawing whose bytes a load and a save at the same version give back
// exactly: the canonical header; a line, an arc, two points, a text, a
// dimension, two solids, a block insert, a second line and a text with a
// long string; then two definitions, 0 (inserted by the entity list, holding
// a line, a text and an insert of 1) and 1 (an arc, a dimension, a solid).
struct Drawing {
  ByteVec bytes;
  std::size_t headerEnd = 0;
  std::size_t bodyEnd = 0;  // before the image section
};
Drawing CanonicalDrawing(std::int32_t Ver, Form Form = Form::CodePage);
// The entity list and definitions of the canonical drawing (also the body of
// a canonical JWS figure).
void WriteCanonicalBody(JwFile& F);
// The definitions of the canonical drawing.
std::vector<TEntJwwBlockDef> CanonicalDefinitions(std::int32_t Ver);

// ---- The writer's rules, as tables ----

// The attribute a save writes for a record of this kind at version ver, and
// what a reader then gets back: the pen numbers looked up in tables of rows
// (kinds, versions, stored numbers) -> written number, the other fields
// through a table of limits.
TEntJwwAttr WrittenAttr(TEntJwwAttr A, int Kind, std::int32_t Ver);
// Changes a loaded document into what a save at ver (with no image options
// and no SXF dimension expansion) writes: pens, layers and widths, cleaned
// strings, clamped text sizes, used definitions only, renumbered by their
// ref_no. Compare BodyOf of this with BodyOf of the document reloaded.
void ApplyWriterRules(TJwBody& Doc, std::int32_t Ver);

// ---- Documents in memory ----

template <class TDoc>
bool Load(TDoc& Doc, const ByteVec& Bytes);
// The bytes SaveTo writes, or nullopt when it refuses or fails.
template <class TDoc>
std::optional<ByteVec> Save(TDoc& Doc, std::int32_t Ver);

// A document's entity list and definitions as the fixture writes them, for
// comparing what a reader delivered with the bytes it read.
ByteVec BodyOf(std::int32_t Ver, Form Form, const TJwBody& Doc);

}  // namespace jwfix
