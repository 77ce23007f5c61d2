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

TEntJwwBlock InsertOf(std::uint32_t N) {
  TEntJwwBlock B = Samples(600).block;
  B.nNumber = N;
  B.DPKijunTen_x = 100 + N;
  return B;
}

TEntJwwBlockDef Definition(std::uint32_t N) {
  TEntJwwBlockDef D;
  D.att = Pen(1, 2, 0, 3, 4);
  D.nNumber = N;
  D.dtime = 5000 + N;
  D.strName = u"block " + std::u16string(1, static_cast<char16_t>(u'A' + N % 26));
  return D;
}

// A drawing with a line and the given inserts in its entity list and the
// given definitions, each holding a line and its inserts. numberOf maps a
// stored number to the number written (identity for the file as stored).
ByteVec BlockFile(
    const std::vector<std::uint32_t>& Roots, const std::vector<Def>& Defs,
    const std::function<std::uint32_t(std::uint32_t)>& NumberOf = [](std::uint32_t N) { return N; }) {
  const SampleEntities S = Samples(600);
  JwFile F(600);
  WriteJwwHeader(F, CanonicalHeader(600));
  F.Count(static_cast<std::uint32_t>(Roots.size() + 1)).Line(S.line);
  for (std::uint32_t N : Roots) {
    TEntJwwBlock B = InsertOf(N);
    B.nNumber = NumberOf(N);
    F.Block(B);
  }
  F.Count(static_cast<std::uint32_t>(Defs.size()));
  for (const Def& D : Defs) {
    TEntJwwBlockDef Def = Definition(D.number);
    Def.nNumber = NumberOf(D.number);
    F.BlockDef(Def, static_cast<std::uint32_t>(D.inserts.size() + 1)).Line(S.line);
    for (std::uint32_t N : D.inserts) {
      TEntJwwBlock B = InsertOf(N);
      B.nNumber = NumberOf(N);
      F.Block(B);
    }
  }
  return F.bytes();
}

struct RenumberCase {
  const char* what;
  std::vector<std::uint32_t> roots;
  std::vector<Def> defs;
  std::vector<Def> savedDefs;                      // in stored numbers
  std::map<std::uint32_t, std::uint32_t> numbers;  // stored -> saved
};

TEST(JwwBlocks, OnlyUsedDefinitionsAreSavedAndNumberedFromZero) {
  const RenumberCase Cases[] = {
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
  for (const RenumberCase& C : Cases) {
    TJwwData Doc;
    ASSERT_TRUE(Load(Doc, BlockFile(C.roots, C.defs))) << C.what;
    EXPECT_EQ(Doc.EntBlockNum, static_cast<std::int32_t>(C.savedDefs.size())) << C.what;
    for (const auto& [stored, saved] : C.numbers) EXPECT_EQ(Doc.ChangeBlockNo(stored), saved) << C.what;
    const auto Saved = Save(Doc, 600);
    ASSERT_TRUE(Saved);
    // The duplicate definition keeps its number: nothing refers to it.
    const auto Expected = BlockFile(C.roots, C.savedDefs, [&](std::uint32_t N) { return C.numbers.at(N); });
    EXPECT_TRUE(*Saved == Expected) << C.what;
  }
}

TEST(JwwBlocks, ChangeBlockNoKeepsUnusedNumbers) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, BlockFile({9}, {{5, {}}, {9, {}}})));
  EXPECT_EQ(Doc.ChangeBlockNo(9), 0u);
  EXPECT_EQ(Doc.ChangeBlockNo(5), 5u) << "a definition that is not used";
  EXPECT_EQ(Doc.ChangeBlockNo(6), 0u) << "no definition";
  EXPECT_FALSE(Doc.EntBlockDef[0].ref_flag);
  EXPECT_EQ(Doc.EntBlockDef[0].ref_no, -1);
  EXPECT_TRUE(Doc.EntBlockDef[1].ref_flag);
  EXPECT_EQ(Doc.EntBlockDef[1].ref_no, 0);
}

// The marks are a step of their own: after inserts change, marking again
// decides what a save keeps, without rebuilding the display tree.
TEST(JwwBlocks, MarkingAgainDecidesWhatASaveKeeps) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, BlockFile({9}, {{5, {}}, {9, {}}})));
  const std::vector<TEntJwwBlockTree> Tree = Doc.EntBlockTree;
  Doc.EntBlock[0].nNumber = 5;
  EXPECT_TRUE(Doc.EntBlockDef[1].ref_flag) << "marks stay until marked again";
  Doc.MarkUsedBlockDefs();
  EXPECT_TRUE(Doc.EntBlockDef[0].ref_flag);
  EXPECT_EQ(Doc.EntBlockDef[0].ref_no, 0);
  EXPECT_FALSE(Doc.EntBlockDef[1].ref_flag);
  EXPECT_EQ(Doc.EntBlockDef[1].ref_no, -1);
  EXPECT_EQ(Doc.EntBlockNum, 1);
  ASSERT_EQ(Doc.EntBlockTree.size(), Tree.size());
  EXPECT_EQ(Doc.EntBlockTree[0].no, Tree[0].no) << "the tree is left as it was";

  const auto Saved = Save(Doc, 600);
  TJwwData Back;
  ASSERT_TRUE(Saved && Load(Back, *Saved));
  ASSERT_EQ(Back.EntBlockDef.size(), 1u);
  EXPECT_EQ(Back.EntBlockDef[0].strName, Doc.EntBlockDef[0].strName);
  EXPECT_EQ(Back.EntBlockDef[0].nNumber, 0u);
  EXPECT_EQ(Back.EntBlock[0].nNumber, 0u);
}

// A stamp with its top bit set in memory is saved in the long form that
// such a stamp reads as, so everything after it still reads in step.
TEST(JwwBlocks, AStampWithItsTopBitSetSavesAsTheLongForm) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, BlockFile({5, 9}, {{5, {}}, {9, {}}})));
  Doc.EntBlockDef[0].dtime = 0x80000001u;
  const auto Saved = Save(Doc, 600);
  TJwwData Back;
  ASSERT_TRUE(Saved && Load(Back, *Saved));
  ASSERT_EQ(Back.EntBlockDef.size(), 2u);
  EXPECT_EQ(Back.EntBlockDef[0].dtime, 1u) << "the long form reads as the definition's 1-based position";
  EXPECT_EQ(Back.EntBlockDef[0].strName, Doc.EntBlockDef[0].strName);
  EXPECT_EQ(Back.EntBlockDef[1].dtime, Doc.EntBlockDef[1].dtime);
  EXPECT_EQ(Back.EntBlockDef[1].strName, Doc.EntBlockDef[1].strName);
  EXPECT_EQ(Back.EntLine.size(), Doc.EntLine.size());
}

TEST(JwwBlocks, TreeNodesAndPlacementMatrices) {
  // Root insert of 1 at (10, 20), rotated by pi/2, scaled 2 and 3; inside 1
  // an insert of 2 at (1, 2) rotated by pi/6, scaled 0.5 and 4; and an insert
  // of an unknown number.
  const SampleEntities S = Samples(600);
  TEntJwwBlock Root = S.block;
  Root.nNumber = 1;
  Root.DPKijunTen_x = 10;
  Root.DPKijunTen_y = 20;
  Root.radKaitenKaku = std::numbers::pi / 2;
  Root.dBairitsuX = 2;
  Root.dBairitsuY = 3;
  TEntJwwBlock Inner = Root;
  Inner.nNumber = 2;
  Inner.DPKijunTen_x = 1;
  Inner.DPKijunTen_y = 2;
  Inner.radKaitenKaku = std::numbers::pi / 6;
  Inner.dBairitsuX = 0.5;
  Inner.dBairitsuY = 4;
  TEntJwwBlock Unknown = Inner;
  Unknown.nNumber = 99;
  JwFile F(600);
  WriteJwwHeader(F, CanonicalHeader(600));
  F.Count(1).Block(Root);
  TEntJwwBlockDef D1 = Definition(1), D2 = Definition(2);
  D1.att = Pen(4, 5, 0, 6, 7);
  F.Count(2).BlockDef(D1, 2).Block(Inner).Block(Unknown).BlockDef(D2, 0);
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, F.bytes()));
  ASSERT_EQ(Doc.EntBlockTree.size(), 3u);

  const TEntJwwBlockTree& R = Doc.EntBlockTree[0];
  EXPECT_EQ(R.level, 0);
  EXPECT_EQ(R.parent, -1);
  EXPECT_EQ(R.no, 1u);
  EXPECT_EQ(R.defno, 0);
  EXPECT_EQ(R.name, D1.strName);
  EXPECT_EQ(R.att, Root.att);
  EXPECT_EQ(R.x, 10);
  EXPECT_EQ(R.y, 20);
  EXPECT_NEAR(R.r1, 0, 1e-15);
  EXPECT_DOUBLE_EQ(R.r2, -3);
  EXPECT_DOUBLE_EQ(R.r3, 2);
  EXPECT_NEAR(R.r4, 0, 1e-15);

  const double C = std::cos(std::numbers::pi / 6), Sn = std::sin(std::numbers::pi / 6);
  const double C1 = C * 0.5, C2 = -Sn * 4, C3 = Sn * 0.5, C4 = C * 4;
  const TEntJwwBlockTree& K = Doc.EntBlockTree[1];
  EXPECT_EQ(K.level, 1);
  EXPECT_EQ(K.parent, 0);
  EXPECT_EQ(K.no, 2u);
  EXPECT_EQ(K.defno, 1);
  EXPECT_EQ(K.name, D2.strName);
  EXPECT_EQ(K.att, D1.att) << "the attribute of the definition holding the insert";
  EXPECT_DOUBLE_EQ(K.x, 10 + R.r1 * 1 + R.r2 * 2);
  EXPECT_DOUBLE_EQ(K.y, 20 + R.r3 * 1 + R.r4 * 2);
  EXPECT_NEAR(K.r1, R.r1 * C1 + R.r2 * C3, 1e-12);
  EXPECT_NEAR(K.r2, R.r1 * C2 + R.r2 * C4, 1e-12);
  EXPECT_NEAR(K.r3, R.r3 * C1 + R.r4 * C3, 1e-12);
  EXPECT_NEAR(K.r4, R.r3 * C2 + R.r4 * C4, 1e-12);

  const TEntJwwBlockTree& U = Doc.EntBlockTree[2];
  EXPECT_EQ(U.no, 99u);
  EXPECT_EQ(U.defno, -1);
  EXPECT_TRUE(U.name.empty());
  EXPECT_EQ(Doc.EntBlockNum, 2);
}

// Definitions that insert themselves, directly or through another, end the
// expansion; the marks still name exactly the reachable definitions.
TEST(JwwBlocks, SelfInsertingDefinitionsTerminateWithExactMarks) {
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, BlockFile({1, 2}, {{1, {1}}, {2, {3}}, {3, {2, 5}}, {4, {4}}, {5, {}}})));
  const bool Used[] = {true, true, true, false, true};
  for (int I = 0; I < 5; ++I) EXPECT_EQ(Doc.EntBlockDef[I].ref_flag, Used[I]) << I;
  EXPECT_EQ(Doc.EntBlockDef[4].ref_no, 3);
  EXPECT_EQ(Doc.EntBlockNum, 4);
  EXPECT_LT(Doc.EntBlockTree.size(), 100u);
  const auto Saved = Save(Doc, 600);
  ASSERT_TRUE(Saved);
  const std::map<std::uint32_t, std::uint32_t> Numbers = {{1, 0}, {2, 1}, {3, 2}, {5, 3}};
  EXPECT_TRUE(*Saved == BlockFile({1, 2}, {{1, {1}}, {2, {3}}, {3, {2, 5}}, {5, {}}},
                                  [&](std::uint32_t n) { return Numbers.at(n); }));
}

// Each definition inserting the next one twice: the tree would double at
// every level. Marks and numbers come out all the same.
TEST(JwwBlocks, DoublingNestingStaysBounded) {
  std::vector<Def> Defs;
  for (std::uint32_t N = 0; N < 40; ++N)
    Defs.push_back({N, N + 1 < 40 ? std::vector<std::uint32_t>{N + 1, N + 1} : std::vector<std::uint32_t>{}});
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, BlockFile({0}, Defs)));
  EXPECT_EQ(Doc.EntBlockNum, 40);
  for (std::uint32_t N = 0; N < 40; ++N) EXPECT_EQ(Doc.ChangeBlockNo(N), N);
  EXPECT_LE(Doc.EntBlockTree.size(), 1u + (1u << 18));
  EXPECT_TRUE(*Save(Doc, 600) == BlockFile({0}, Defs));
}

// A long chain of definitions, each inserting the next and the last the
// first: every one is used, and the display tree stops at a bounded depth
// instead of walking ever longer ancestor paths.
TEST(JwwBlocks, LongChainsAreMarkedAndTheTreeStaysShallow) {
  constexpr std::uint32_t kChain = 3000;
  std::vector<Def> Defs;
  for (std::uint32_t N = 0; N < kChain; ++N) Defs.push_back({N, {(N + 1) % kChain}});
  TJwwData Doc;
  ASSERT_TRUE(Load(Doc, BlockFile({0}, Defs)));
  EXPECT_EQ(Doc.EntBlockNum, static_cast<std::int32_t>(kChain));
  EXPECT_EQ(Doc.ChangeBlockNo(kChain - 1), kChain - 1);
  std::int32_t Deepest = 0;
  for (const TEntJwwBlockTree& T : Doc.EntBlockTree) Deepest = std::max(Deepest, T.level);
  EXPECT_LE(Deepest, 1000);
  EXPECT_GE(Deepest, 100) << "ordinary nesting is still expanded";
}

}  // namespace
