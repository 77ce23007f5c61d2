// Block definitions: which are used, how a save renumbers them and their
// inserts, and the nesting tree with its placement matrices.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <numbers>

#include "documents/JwwFixture.h"
#include "documents/JwwUnit.h"

using namespace jwfix;

namespace {

struct Def {
  std::uint32_t number;
  std::vector<std::uint32_t> inserts;  // numbers its member inserts name
};

TEntJwwBlock InsertOf(std::uint32_t n) {
  TEntJwwBlock b = Samples(600).block;
  b.nNumber = n;
  b.DPKijunTen_x = 100 + n;
  return b;
}

TEntJwwBlockDef Definition(std::uint32_t n) {
  TEntJwwBlockDef d;
  d.att = Pen(1, 2, 0, 3, 4);
  d.nNumber = n;
  d.dtime = 5000 + n;
  d.strName = u"block " + std::u16string(1, static_cast<char16_t>(u'A' + n % 26));
  return d;
}

// A drawing with a line and the given inserts in its entity list and the
// given definitions, each holding a line and its inserts. numberOf maps a
// stored number to the number written (identity for the file as stored).
ByteVec BlockFile(
    const std::vector<std::uint32_t>& roots, const std::vector<Def>& defs,
    const std::function<std::uint32_t(std::uint32_t)>& numberOf = [](std::uint32_t n) { return n; }) {
  const SampleEntities s = Samples(600);
  JwFile f(600);
  WriteJwwHeader(f, CanonicalHeader(600));
  f.Count(static_cast<std::uint32_t>(roots.size() + 1)).Line(s.line);
  for (std::uint32_t n : roots) {
    TEntJwwBlock b = InsertOf(n);
    b.nNumber = numberOf(n);
    f.Block(b);
  }
  f.Count(static_cast<std::uint32_t>(defs.size()));
  for (const Def& d : defs) {
    TEntJwwBlockDef def = Definition(d.number);
    def.nNumber = numberOf(d.number);
    f.BlockDef(def, static_cast<std::uint32_t>(d.inserts.size() + 1)).Line(s.line);
    for (std::uint32_t n : d.inserts) {
      TEntJwwBlock b = InsertOf(n);
      b.nNumber = numberOf(n);
      f.Block(b);
    }
  }
  return f.bytes();
}

struct RenumberCase {
  const char* what;
  std::vector<std::uint32_t> roots;
  std::vector<Def> defs;
  std::vector<Def> savedDefs;                      // in stored numbers
  std::map<std::uint32_t, std::uint32_t> numbers;  // stored -> saved
};

TEST(JwwBlocks, OnlyUsedDefinitionsAreSavedAndNumberedFromZero) {
  const RenumberCase cases[] = {
      {"5, 9, 12 of which 9 and 12 are inserted",
       {9, 12, 9},
       {{5, {}}, {9, {}}, {12, {}}},
       {{9, {}}, {12, {}}},
       {{9, 0}, {12, 1}}},
      {"used only inside another: definition order decides",
       {9},
       {{12, {}}, {5, {}}, {9, {12}}},
       {{12, {}}, {9, {12}}},
       {{12, 0}, {9, 1}}},
      {"no insert at all", {}, {{5, {}}, {9, {5}}}, {}, {}},
      {"insert of an unknown number", {77, 9}, {{5, {}}, {9, {}}}, {{9, {}}}, {{77, 0}, {9, 0}}},
      {"duplicate numbers: the first one", {9}, {{9, {}}, {9, {}}}, {{9, {}}}, {{9, 0}}},
      {"three levels",
       {3},
       {{1, {}}, {2, {1}}, {3, {2, 2}}, {4, {1}}},
       {{1, {}}, {2, {1}}, {3, {2, 2}}},
       {{1, 0}, {2, 1}, {3, 2}}},
  };
  for (const RenumberCase& c : cases) {
    TJwwData doc;
    ASSERT_TRUE(Load(doc, BlockFile(c.roots, c.defs))) << c.what;
    EXPECT_EQ(doc.EntBlockNum, static_cast<std::int32_t>(c.savedDefs.size())) << c.what;
    for (const auto& [stored, saved] : c.numbers) EXPECT_EQ(doc.ChangeBlockNo(stored), saved) << c.what;
    const auto saved = Save(doc, 600);
    ASSERT_TRUE(saved);
    // The duplicate definition keeps its number: nothing refers to it.
    const auto expected = BlockFile(c.roots, c.savedDefs, [&](std::uint32_t n) { return c.numbers.at(n); });
    EXPECT_TRUE(*saved == expected) << c.what;
  }
}

TEST(JwwBlocks, ChangeBlockNoKeepsUnusedNumbers) {
  TJwwData doc;
  ASSERT_TRUE(Load(doc, BlockFile({9}, {{5, {}}, {9, {}}})));
  EXPECT_EQ(doc.ChangeBlockNo(9), 0u);
  EXPECT_EQ(doc.ChangeBlockNo(5), 5u) << "a definition that is not used";
  EXPECT_EQ(doc.ChangeBlockNo(6), 0u) << "no definition";
  EXPECT_FALSE(doc.EntBlockDef[0].ref_flag);
  EXPECT_EQ(doc.EntBlockDef[0].ref_no, -1);
  EXPECT_TRUE(doc.EntBlockDef[1].ref_flag);
  EXPECT_EQ(doc.EntBlockDef[1].ref_no, 0);
}

TEST(JwwBlocks, TreeNodesAndPlacementMatrices) {
  // Root insert of 1 at (10, 20), rotated by pi/2, scaled 2 and 3; inside 1
  // an insert of 2 at (1, 2) rotated by pi/6, scaled 0.5 and 4; and an insert
  // of an unknown number.
  const SampleEntities s = Samples(600);
  TEntJwwBlock root = s.block;
  root.nNumber = 1;
  root.DPKijunTen_x = 10;
  root.DPKijunTen_y = 20;
  root.radKaitenKaku = std::numbers::pi / 2;
  root.dBairitsuX = 2;
  root.dBairitsuY = 3;
  TEntJwwBlock inner = root;
  inner.nNumber = 2;
  inner.DPKijunTen_x = 1;
  inner.DPKijunTen_y = 2;
  inner.radKaitenKaku = std::numbers::pi / 6;
  inner.dBairitsuX = 0.5;
  inner.dBairitsuY = 4;
  TEntJwwBlock unknown = inner;
  unknown.nNumber = 99;
  JwFile f(600);
  WriteJwwHeader(f, CanonicalHeader(600));
  f.Count(1).Block(root);
  TEntJwwBlockDef d1 = Definition(1), d2 = Definition(2);
  d1.att = Pen(4, 5, 0, 6, 7);
  f.Count(2).BlockDef(d1, 2).Block(inner).Block(unknown).BlockDef(d2, 0);
  TJwwData doc;
  ASSERT_TRUE(Load(doc, f.bytes()));
  ASSERT_EQ(doc.EntBlockTree.size(), 3u);

  const TEntJwwBlockTree& r = doc.EntBlockTree[0];
  EXPECT_EQ(r.level, 0);
  EXPECT_EQ(r.parent, -1);
  EXPECT_EQ(r.no, 1u);
  EXPECT_EQ(r.defno, 0);
  EXPECT_EQ(r.name, d1.strName);
  EXPECT_EQ(r.att, root.att);
  EXPECT_EQ(r.x, 10);
  EXPECT_EQ(r.y, 20);
  EXPECT_NEAR(r.r1, 0, 1e-15);
  EXPECT_DOUBLE_EQ(r.r2, -3);
  EXPECT_DOUBLE_EQ(r.r3, 2);
  EXPECT_NEAR(r.r4, 0, 1e-15);

  const double c = std::cos(std::numbers::pi / 6), sn = std::sin(std::numbers::pi / 6);
  const double c1 = c * 0.5, c2 = -sn * 4, c3 = sn * 0.5, c4 = c * 4;
  const TEntJwwBlockTree& k = doc.EntBlockTree[1];
  EXPECT_EQ(k.level, 1);
  EXPECT_EQ(k.parent, 0);
  EXPECT_EQ(k.no, 2u);
  EXPECT_EQ(k.defno, 1);
  EXPECT_EQ(k.name, d2.strName);
  EXPECT_EQ(k.att, d1.att) << "the attribute of the definition holding the insert";
  EXPECT_DOUBLE_EQ(k.x, 10 + r.r1 * 1 + r.r2 * 2);
  EXPECT_DOUBLE_EQ(k.y, 20 + r.r3 * 1 + r.r4 * 2);
  EXPECT_NEAR(k.r1, r.r1 * c1 + r.r2 * c3, 1e-12);
  EXPECT_NEAR(k.r2, r.r1 * c2 + r.r2 * c4, 1e-12);
  EXPECT_NEAR(k.r3, r.r3 * c1 + r.r4 * c3, 1e-12);
  EXPECT_NEAR(k.r4, r.r3 * c2 + r.r4 * c4, 1e-12);

  const TEntJwwBlockTree& u = doc.EntBlockTree[2];
  EXPECT_EQ(u.no, 99u);
  EXPECT_EQ(u.defno, -1);
  EXPECT_TRUE(u.name.empty());
  EXPECT_EQ(doc.EntBlockNum, 2);
}

// Definitions that insert themselves, directly or through another, end the
// expansion; the marks still name exactly the reachable definitions.
TEST(JwwBlocks, SelfInsertingDefinitionsTerminateWithExactMarks) {
  TJwwData doc;
  ASSERT_TRUE(Load(doc, BlockFile({1, 2}, {{1, {1}}, {2, {3}}, {3, {2, 5}}, {4, {4}}, {5, {}}})));
  const bool used[] = {true, true, true, false, true};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(doc.EntBlockDef[i].ref_flag, used[i]) << i;
  EXPECT_EQ(doc.EntBlockDef[4].ref_no, 3);
  EXPECT_EQ(doc.EntBlockNum, 4);
  EXPECT_LT(doc.EntBlockTree.size(), 100u);
  const auto saved = Save(doc, 600);
  ASSERT_TRUE(saved);
  const std::map<std::uint32_t, std::uint32_t> numbers = {{1, 0}, {2, 1}, {3, 2}, {5, 3}};
  EXPECT_TRUE(*saved == BlockFile({1, 2}, {{1, {1}}, {2, {3}}, {3, {2, 5}}, {5, {}}},
                                  [&](std::uint32_t n) { return numbers.at(n); }));
}

// Each definition inserting the next one twice: the tree would double at
// every level. Marks and numbers come out all the same.
TEST(JwwBlocks, DoublingNestingStaysBounded) {
  std::vector<Def> defs;
  for (std::uint32_t n = 0; n < 40; ++n)
    defs.push_back({n, n + 1 < 40 ? std::vector<std::uint32_t>{n + 1, n + 1} : std::vector<std::uint32_t>{}});
  TJwwData doc;
  ASSERT_TRUE(Load(doc, BlockFile({0}, defs)));
  EXPECT_EQ(doc.EntBlockNum, 40);
  for (std::uint32_t n = 0; n < 40; ++n) EXPECT_EQ(doc.ChangeBlockNo(n), n);
  EXPECT_LE(doc.EntBlockTree.size(), 1u + (1u << 18));
  EXPECT_TRUE(*Save(doc, 600) == BlockFile({0}, defs));
}

// A long chain of definitions, each inserting the next and the last the
// first: every one is used, and the display tree stops at a bounded depth
// instead of walking ever longer ancestor paths.
TEST(JwwBlocks, LongChainsAreMarkedAndTheTreeStaysShallow) {
  constexpr std::uint32_t kChain = 3000;
  std::vector<Def> defs;
  for (std::uint32_t n = 0; n < kChain; ++n) defs.push_back({n, {(n + 1) % kChain}});
  TJwwData doc;
  ASSERT_TRUE(Load(doc, BlockFile({0}, defs)));
  EXPECT_EQ(doc.EntBlockNum, static_cast<std::int32_t>(kChain));
  EXPECT_EQ(doc.ChangeBlockNo(kChain - 1), kChain - 1);
  std::int32_t deepest = 0;
  for (const TEntJwwBlockTree& t : doc.EntBlockTree) deepest = std::max(deepest, t.level);
  EXPECT_LE(deepest, 1000);
  EXPECT_GE(deepest, 100) << "ordinary nesting is still expanded";
}

}  // namespace
