// Building the display tree of block insertions when definitions nest
// without end: each definition inserts the next one twice, so the expansion
// runs into its node cap on every build.
//
//   block_tree_bench [benchmark options]
#include <benchmark/benchmark.h>

#include "documents/JwwUnit.h"

namespace {

void InsertBlock(TEntJwwBlockDef& d, std::uint32_t number) {
  d.mNo.push_back({kBlock, static_cast<std::int32_t>(d.mBlock.size())});
  TEntJwwBlock& b = d.mBlock.emplace_back();
  b.dBairitsuX = b.dBairitsuY = 1.0;
  b.DPKijunTen_x = 10.0;
  b.nNumber = number;
}

void AddDoublingDefinitions(TJwwData& d, int levels, std::size_t nameLength) {
  d.EntNo.push_back({kBlock, 0});
  TEntJwwBlock& root = d.EntBlock.emplace_back();
  root.dBairitsuX = root.dBairitsuY = 1.0;
  for (int n = 0; n < levels; ++n) {
    TEntJwwBlockDef& def = d.EntBlockDef.emplace_back();
    def.nNumber = static_cast<std::uint32_t>(n);
    def.strName = std::u16string(nameLength, u'部');
    if (n + 1 < levels) {
      InsertBlock(def, static_cast<std::uint32_t>(n + 1));
      InsertBlock(def, static_cast<std::uint32_t>(n + 1));
    }
    def.N = static_cast<std::int32_t>(def.mNo.size());
  }
}

void BM_MakeBlockTreeAtTheCap(benchmark::State& state) {
  TJwwData d;
  AddDoublingDefinitions(d, 40, static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) {
    d.EntBlockTree = {};  // as in a fresh load
    d.MakeBlockTree();
    benchmark::DoNotOptimize(d.EntBlockTree.data());
  }
  state.counters["nodes"] = static_cast<double>(d.EntBlockTree.size());
}

}  // namespace

// Short names stay in the string itself; long ones take the memory budget.
BENCHMARK(BM_MakeBlockTreeAtTheCap)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
