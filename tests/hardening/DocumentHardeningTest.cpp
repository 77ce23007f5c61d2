// Faults the fuzzers found in the drawing readers and writers, each shown on
// a small document built through the public API.
#include <cstdint>
#include <vector>

#include "common/TestSupport.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace {

std::vector<std::uint8_t> Saved(TJwwData& doc, std::int32_t ver) {
  MemorySink sink;
  ByteWriter w(sink);
  EXPECT_TRUE(doc.SaveTo(w, ver));
  return sink.bytes;
}

bool Loaded(TJwwData& doc, const std::vector<std::uint8_t>& bytes) {
  ByteReader r(bytes);
  return doc.LoadFrom(r);
}

// A drawing of version 4.20 whose print packing field holds a raw value: at
// 4.20 the writer stores the flag digit alone.
std::vector<std::uint8_t> Version420WithPacking(std::int32_t stored) {
  TJwwData doc;
  doc.SizeHeaderTables();
  doc.Enthd.jwVer = 420;
  doc.Enthd.nPrtDispOnlyNonDraw = stored;
  return Saved(doc, 420);
}

struct PackingCase {
  std::int32_t stored;          // the field as a corrupt or ordinary file holds it
  std::int32_t dpi, flag;       // as read back after a save at 6.00
};

class PrintPacking : public testing::TestWithParam<PackingCase> {};

// Raised to 6.00, the field also carries the resolution. A negative flag
// digit used to come back as another digit (-5 was written as 5, read back
// as flag 5 and written as 15 by the next save).
TEST_P(PrintPacking, RaisedSaveIsStable) {
  TJwwData doc;
  ASSERT_TRUE(Loaded(doc, Version420WithPacking(GetParam().stored)));
  const auto first = Saved(doc, 600);
  TJwwData again;
  ASSERT_TRUE(Loaded(again, first));
  EXPECT_EQ(again.Enthd.nPrtDpi, GetParam().dpi);
  EXPECT_EQ(again.Enthd.nPrtDispOnlyNonDraw, GetParam().flag);
  EXPECT_EQ(Saved(again, 600), first);
}

INSTANTIATE_TEST_SUITE_P(Values, PrintPacking,
                         testing::Values(PackingCase{3, 1, 3}, PackingCase{0, 1, 0}, PackingCase{-5, 1, 0},
                                         PackingCase{-9, 1, 0}));

}  // namespace
