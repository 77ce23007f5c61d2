#include "documents/RecordArray.h"

#include <gtest/gtest.h>

#include <cstdint>

// Records are addressed across the chunk boundaries (1, 2, 4, ... 4096 and
// then 4096 each) and stay where they were put while more are appended.
TEST(RecordArray, IndexesAcrossChunkBoundariesAndKeepsRecordsInPlace) {
  RecordArray<std::uint32_t> A;
  const std::uint32_t* First = &A.emplace_back();
  for (std::uint32_t I = 1; I < 20000; ++I) A.emplace_back() = I * 3;
  EXPECT_EQ(First, &A[0]);
  for (std::size_t I : {0u, 1u, 2u, 3u, 4u, 4095u, 4096u, 8191u, 8192u, 19999u}) EXPECT_EQ(A[I], I * 3) << I;
  std::uint64_t Sum = 0;
  for (std::uint32_t V : A) Sum += V;
  EXPECT_EQ(Sum, 3ull * 19999 * 20000 / 2);
}

TEST(RecordArray, PopAndShrinkKeepTheRest) {
  RecordArray<int> A;
  for (int I = 0; I < 5000; ++I) A.emplace_back() = I;
  while (A.size() > 4096) A.pop_back();
  A.shrink_to_fit();
  A.emplace_back() = -1;  // a chunk released by the shrink is made again
  ASSERT_EQ(A.size(), 4097u);
  EXPECT_EQ(A[4095], 4095);
  EXPECT_EQ(A[4096], -1);
  A.clear();
  EXPECT_TRUE(A.empty());
  EXPECT_EQ(A.emplace_back(), 0) << "a new record is value-initialised";
}

namespace {

struct Counted {
  static inline int Alive = 0;
  Counted() { ++Alive; }
  Counted(const Counted&) = delete;
  Counted& operator=(const Counted&) = delete;
  ~Counted() { --Alive; }
};

}  // namespace

// Each record is made when it is appended and destroyed exactly once: when it
// is popped, cleared, or goes with its array, also after a move.
TEST(RecordArray, MakesAndDestroysEachRecordOnce) {
  {
    RecordArray<Counted> A;
    for (int I = 0; I < 5000; ++I) A.emplace_back();
    EXPECT_EQ(Counted::Alive, 5000) << "only appended records exist, not the rest of a chunk";
    for (int I = 0; I < 1000; ++I) A.pop_back();
    A.shrink_to_fit();
    EXPECT_EQ(Counted::Alive, 4000);
    RecordArray<Counted> B = std::move(A);
    EXPECT_EQ(Counted::Alive, 4000);
    A.emplace_back();
    A = std::move(B);
    EXPECT_EQ(Counted::Alive, 4000);
    EXPECT_EQ(A.size(), 4000u);
    B.emplace_back();
    B.clear();
    EXPECT_EQ(Counted::Alive, 4000);
  }
  EXPECT_EQ(Counted::Alive, 0);
}
