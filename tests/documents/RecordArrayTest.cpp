#include "documents/RecordArray.h"

#include <gtest/gtest.h>

#include <cstdint>

// Records are addressed across the chunk boundaries (1, 2, 4, ... 4096 and
// then 4096 each) and stay where they were put while more are appended.
TEST(RecordArray, IndexesAcrossChunkBoundariesAndKeepsRecordsInPlace) {
  RecordArray<std::uint32_t> a;
  const std::uint32_t* first = &a.emplace_back();
  for (std::uint32_t i = 1; i < 20000; ++i) a.emplace_back() = i * 3;
  EXPECT_EQ(first, &a[0]);
  for (std::size_t i : {0u, 1u, 2u, 3u, 4u, 4095u, 4096u, 8191u, 8192u, 19999u}) EXPECT_EQ(a[i], i * 3) << i;
  std::uint64_t sum = 0;
  for (std::uint32_t v : a) sum += v;
  EXPECT_EQ(sum, 3ull * 19999 * 20000 / 2);
}

TEST(RecordArray, PopAndShrinkKeepTheRest) {
  RecordArray<int> a;
  for (int i = 0; i < 5000; ++i) a.emplace_back() = i;
  while (a.size() > 4096) a.pop_back();
  a.shrink_to_fit();
  a.emplace_back() = -1;  // a chunk released by the shrink is made again
  ASSERT_EQ(a.size(), 4097u);
  EXPECT_EQ(a[4095], 4095);
  EXPECT_EQ(a[4096], -1);
  a.clear();
  EXPECT_TRUE(a.empty());
  EXPECT_EQ(a.emplace_back(), 0) << "a new record is value-initialised";
}
