// Faults the fuzzers found in the drawing readers and writers, each shown on
// a small document built through the public API.
#include <cstdint>
#include <vector>

#include "common/TestSupport.h"
#include "documents/JwsUnit.h"
#include "documents/JwwUnit.h"

namespace {

std::vector<std::uint8_t> Saved(TJwwData& Doc, std::int32_t Ver) {
  MemorySink Sink;
  ByteWriter W(Sink);
  EXPECT_TRUE(Doc.SaveTo(W, Ver));
  return Sink.bytes;
}

bool Loaded(TJwwData& Doc, const std::vector<std::uint8_t>& Bytes) {
  ByteReader R(Bytes);
  return Doc.LoadFrom(R);
}

// A drawing of version 4.20 whose print packing field holds a raw value: at
// 4.20 the writer stores the flag digit alone.
std::vector<std::uint8_t> Version420WithPacking(std::int32_t Stored) {
  TJwwData Doc;
  Doc.SizeHeaderTables();
  Doc.Enthd.jwVer = 420;
  Doc.Enthd.nPrtDispOnlyNonDraw = Stored;
  return Saved(Doc, 420);
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
  TJwwData Doc;
  ASSERT_TRUE(Loaded(Doc, Version420WithPacking(GetParam().stored)));
  const auto First = Saved(Doc, 600);
  TJwwData Again;
  ASSERT_TRUE(Loaded(Again, First));
  EXPECT_EQ(Again.Enthd.nPrtDpi, GetParam().dpi);
  EXPECT_EQ(Again.Enthd.nPrtDispOnlyNonDraw, GetParam().flag);
  EXPECT_EQ(Saved(Again, 600), First);
}

INSTANTIATE_TEST_SUITE_P(Values, PrintPacking,
                         testing::Values(PackingCase{3, 1, 3}, PackingCase{0, 1, 0}, PackingCase{-5, 1, 0},
                                         PackingCase{-9, 1, 0}));

// A drawing of a few kilobytes whose definitions each insert the next one
// eight times, seven levels deep, under long names: expanded in full the
// block tree would hold two million nodes, each with its own copy of a name.
std::vector<std::uint8_t> DeeplyNestedBlocks() {
  TJwwData Doc;
  Doc.SizeHeaderTables();
  Doc.Enthd.jwVer = 700;
  auto Insert = [](RecordArray<TEntJwwBlock>& Blocks, std::vector<TEntJwwNo>& No, std::uint32_t Number) {
    No.push_back({kBlock, static_cast<std::int32_t>(Blocks.size())});
    TEntJwwBlock& B = Blocks.emplace_back();
    B.dBairitsuX = B.dBairitsuY = 1;
    B.nNumber = Number;
  };
  Insert(Doc.EntBlock, Doc.EntNo, 1);
  for (std::uint32_t Level = 1; Level <= 7; ++Level) {
    TEntJwwBlockDef& D = Doc.EntBlockDef.emplace_back();
    D.nNumber = Level;
    D.strName = std::u16string(2000, u'A' + static_cast<char16_t>(Level));
    for (int I = 0; I < 8 && Level < 7; ++I) Insert(D.mBlock, D.mNo, Level + 1);
  }
  Doc.MakeBlockTree();
  return Saved(Doc, 700);
}

// The tree serves display only: its nested part stays within a fixed memory
// budget (names included), while every definition is still marked used and
// saved.
TEST(BlockTree, NestingCannotExhaustMemory) {
  const auto Bytes = DeeplyNestedBlocks();
  ASSERT_LT(Bytes.size(), 64u * 1024);
  TJwwData Doc;
  ASSERT_TRUE(Loaded(Doc, Bytes));
  std::size_t Footprint = 0;
  for (const TEntJwwBlockTree& T : Doc.EntBlockTree) Footprint += sizeof T + T.name.size() * sizeof(char16_t);
  EXPECT_LE(Footprint, std::size_t{33} << 20);
  EXPECT_GT(Doc.EntBlockTree.size(), 5000u);
  EXPECT_EQ(Doc.EntBlockNum, 7);
  for (const TEntJwwBlockDef& D : Doc.EntBlockDef) EXPECT_TRUE(D.ref_flag) << D.nNumber;
}

}  // namespace
