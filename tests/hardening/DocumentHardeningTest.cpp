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
  std::int32_t stored;     // the field as a corrupt or ordinary file holds it
  std::int32_t dpi, flag;  // as read back after a save at 6.00
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

// A drawing of a few kilobytes whose definitions each insert the next one
// eight times, seven levels deep, under long names: expanded in full the
// block tree would hold two million nodes, each with its own copy of a name.
std::vector<std::uint8_t> DeeplyNestedBlocks() {
  TJwwData doc;
  doc.SizeHeaderTables();
  doc.Enthd.jwVer = 700;
  auto insert = [](RecordArray<TEntJwwBlock>& blocks, std::vector<TEntJwwNo>& no, std::uint32_t number) {
    no.push_back({kBlock, static_cast<std::int32_t>(blocks.size())});
    TEntJwwBlock& b = blocks.emplace_back();
    b.dBairitsuX = b.dBairitsuY = 1;
    b.nNumber = number;
  };
  insert(doc.EntBlock, doc.EntNo, 1);
  for (std::uint32_t level = 1; level <= 7; ++level) {
    TEntJwwBlockDef& d = doc.EntBlockDef.emplace_back();
    d.nNumber = level;
    d.strName = std::u16string(2000, u'A' + static_cast<char16_t>(level));
    for (int i = 0; i < 8 && level < 7; ++i) insert(d.mBlock, d.mNo, level + 1);
  }
  doc.MakeBlockTree();
  return Saved(doc, 700);
}

// The tree serves display only: its nested part stays within a fixed memory
// budget (names included), while every definition is still marked used and
// saved.
TEST(BlockTree, NestingCannotExhaustMemory) {
  const auto bytes = DeeplyNestedBlocks();
  ASSERT_LT(bytes.size(), 64u * 1024);
  TJwwData doc;
  ASSERT_TRUE(Loaded(doc, bytes));
  std::size_t footprint = 0;
  for (const TEntJwwBlockTree& t : doc.EntBlockTree) footprint += sizeof t + t.name.size() * sizeof(char16_t);
  EXPECT_LE(footprint, std::size_t{33} << 20);
  EXPECT_GT(doc.EntBlockTree.size(), 5000u);
  EXPECT_EQ(doc.EntBlockNum, 7);
  for (const TEntJwwBlockDef& d : doc.EntBlockDef) EXPECT_TRUE(d.ref_flag) << d.nNumber;
}

}  // namespace
