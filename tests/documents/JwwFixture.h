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
  explicit JwFile(std::int32_t version, Form form = Form::CodePage);

  std::int32_t ver;
  Form form;
  std::uint16_t schema;  // written in new-class tags; the version by default
  testsupport::ByteBuilder b;

  // ---- Archive primitives ----
  JwFile& Str(std::u16string_view s);                  // in the file's form
  JwFile& CpStr(std::span<const std::uint8_t> bytes);  // code-page form, these bytes
  JwFile& Utf16Str(std::u16string_view s);
  JwFile& Count(std::uint32_t n);
  // The tag of the next object of class cls.
  JwFile& Tag(const std::string& cls);
  // An object has been written: it takes the next running index.
  JwFile& Took() {
    ++running_;
    return *this;
  }
  std::uint32_t Running() const { return running_; }
  std::uint32_t ClassIndex(const std::string& cls) const;

  // ---- Records without tags ----
  JwFile& Attr(const TEntJwwAttr& a);
  JwFile& LineRec(const TEntJwwLine& x);
  JwFile& EnkoRec(const TEntJwwEnko& x);
  JwFile& TenRec(const TEntJwwTen& x);
  JwFile& MojiRec(const TEntJwwMoji& x);
  JwFile& SunpoRec(const TEntJwwSunpo& x);
  JwFile& SolidRec(const TEntJwwSolid& x);
  JwFile& BlockRec(const TEntJwwBlock& x);

  // ---- Tagged objects (tag, record, index) ----
  JwFile& Line(const TEntJwwLine& x) {
    Tag("CDataSen").LineRec(x);
    return Took();
  }
  JwFile& Enko(const TEntJwwEnko& x) {
    Tag("CDataEnko").EnkoRec(x);
    return Took();
  }
  JwFile& Ten(const TEntJwwTen& x) {
    Tag("CDataTen").TenRec(x);
    return Took();
  }
  JwFile& Moji(const TEntJwwMoji& x) {
    Tag("CDataMoji").MojiRec(x);
    return Took();
  }
  JwFile& Sunpo(const TEntJwwSunpo& x) {
    Tag("CDataSunpou").SunpoRec(x);
    return Took();
  }
  JwFile& Solid(const TEntJwwSolid& x) {
    Tag("CDataSolid").SolidRec(x);
    return Took();
  }
  JwFile& Block(const TEntJwwBlock& x) {
    Tag("CDataBlock").BlockRec(x);
    return Took();
  }
  // A block definition up to its member count; its members follow. With
  // longTime the time stamp is the 8-byte form (0xFFFFFFFF and 8 bytes).
  JwFile& BlockDef(const TEntJwwBlockDef& d, std::uint32_t members, bool longTime = false);

  // The image section: count, then name, size and bytes per entry.
  JwFile& Images(const std::vector<std::pair<std::u16string, ByteVec>>& images);

  const ByteVec& bytes() const { return b.bytes; }

 private:
  std::map<std::string, std::uint32_t> classes_;
  std::uint32_t running_ = 1;
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
JwwHeaderSpec CanonicalHeader(std::int32_t ver);
// All zero, empty tables of the fixed lengths, reset header values.
JwwHeaderSpec EmptyHeader();
// The header and tables a document holds.
JwwHeaderSpec HeaderOf(const TJwwData& doc);
// What the writer rules make of a header written at version ver.
JwwHeaderSpec AsWritten(JwwHeaderSpec s, std::int32_t ver);

// Rows 1 to 43, gated by f.ver, values as given (no clamps). A missing
// reserved area is written as 56 spaces / 4 zero bytes.
HeaderMarks WriteJwwHeader(JwFile& f, const JwwHeaderSpec& s);

// ---- JWS header ----

struct JwsHeaderSpec {
  TEntJwsHeader h;
  std::array<double, 16> scales{};
  std::uint8_t filler = '.';
};
JwsHeaderSpec CanonicalJwsHeader();
// Signature, filler, f.ver at offset 200 and the fields up to My2.
void WriteJwsHeader(JwFile& f, const JwsHeaderSpec& s);

// ---- Bodies ----

// The entity list of a document or the members of a definition: the count
// of valid entries, then those objects in order.
void WriteObjects(JwFile& f, const ConstEntityLists& L);
// Every definition with its members, as stored (no renumbering).
void WriteBlockDefs(JwFile& f, const std::vector<TEntJwwBlockDef>& defs);

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
SampleEntities Samples(std::int32_t ver);

TEntJwwAttr Pen(int style, int color, int width = 0, int layer = 0, int glayer = 0);

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
Drawing CanonicalDrawing(std::int32_t ver, Form form = Form::CodePage);
// The entity list and definitions of the canonical drawing (also the body of
// a canonical JWS figure).
void WriteCanonicalBody(JwFile& f);
// The definitions of the canonical drawing.
std::vector<TEntJwwBlockDef> CanonicalDefinitions(std::int32_t ver);

// ---- The writer's rules, as a model ----

// The attribute a save writes for a record of this kind at version ver.
TEntJwwAttr WrittenAttr(TEntJwwAttr a, int kind, std::int32_t ver);
// Changes a loaded document into what a save at ver (with no image options
// and no SXF dimension expansion) writes: pens, layers and widths, cleaned
// strings, clamped text sizes, used definitions only, renumbered by their
// ref_no. Compare BodyOf of this with BodyOf of the document reloaded.
void ApplyWriterRules(TJwBody& doc, std::int32_t ver);

// ---- Documents in memory ----

template <class Doc>
bool Load(Doc& doc, const ByteVec& bytes);
// The bytes SaveTo writes, or nullopt when it refuses or fails.
template <class Doc>
std::optional<ByteVec> Save(Doc& doc, std::int32_t ver);

// A document's entity list and definitions as the fixture writes them, for
// comparing what a reader delivered with the bytes it read.
ByteVec BodyOf(std::int32_t ver, Form form, const TJwBody& doc);

}  // namespace jwfix
