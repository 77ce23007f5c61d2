// Building the display tree of block insertions when definitions nest
// without end: each definition inserts the next one twice, so the expansion
// runs into its node cap on every build.
//
//   block_tree_bench [benchmark options]
#include <benchmark/benchmark.h>

#include "documents/JwwUnit.h"

namespace {

void InsertBlock(TEntJwwBlockDef& D, std::uint32_t Number) {
  D.mNo.push_back({kBlock, static_cast<std::int32_t>(D.mBlock.size())});
  TEntJwwBlock& B = D.mBlock.emplace_back();
  B.dBairitsuX = B.dBairitsuY = 1.0;
  B.DPKijunTen_x = 10.0;
  B.nNumber = Number;
}

void AddDoublingDefinitions(TJwwData& D, int Levels, std::size_t NameLength) {
  D.EntNo.push_back({kBlock, 0});
  TEntJwwBlock& Root = D.EntBlock.emplace_back();
  Root.dBairitsuX = Root.dBairitsuY = 1.0;
  for (int N = 0; N < Levels; ++N) {
    TEntJwwBlockDef& Def = D.EntBlockDef.emplace_back();
    Def.nNumber = static_cast<std::uint32_t>(N);
    Def.strName = std::u16string(NameLength, u'部');
    if (N + 1 < Levels) {
      InsertBlock(Def, static_cast<std::uint32_t>(N + 1));
      InsertBlock(Def, static_cast<std::uint32_t>(N + 1));
    }
    Def.N = static_cast<std::int32_t>(Def.mNo.size());
  }
}

void BM_MakeBlockTreeAtTheCap(benchmark::State& State) {
  TJwwData D;
  AddDoublingDefinitions(D, 40, static_cast<std::size_t>(State.range(0)));
  for (auto _ : State) {
    D.EntBlockTree = {};  // as in a fresh load
    D.MakeBlockTree();
    benchmark::DoNotOptimize(D.EntBlockTree.data());
  }
  State.counters["nodes"] = static_cast<double>(D.EntBlockTree.size());
}

}  // namespace

// Short names stay in the string itself; long ones take the memory budget.
BENCHMARK(BM_MakeBlockTreeAtTheCap)->Arg(4)->Arg(40)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
