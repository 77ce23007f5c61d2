// The preview's fuzz property (fuzz/RenderProperties.h) replayed on the
// drawings' and figures' seeds and on every input a fuzzer found fault with,
// so that the ordinary test run guards the fixes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/TestSupport.h"
#include "fuzz/RenderProperties.h"

namespace fs = std::filesystem;

namespace {

struct Target {
  const char* Name;
  const char* Seeds;
  std::string (*Property)(fuzzprops::Input);
};

constexpr Target kTargets[] = {{"JwwRenderFuzz", "JwwLoadFuzz", fuzzprops::JwwRenders},
                               {"JwsRenderFuzz", "JwsLoadFuzz", fuzzprops::JwsRenders}};

class RenderFuzzReplay : public testing::TestWithParam<Target> {};

TEST_P(RenderFuzzReplay, SeedsAndFoundInputsKeepTheProperty) {
  const fs::path Source = LINTORRA_SOURCE_DIR;
  int Replayed = 0;
  for (const fs::path& Folder :
       {Source / "fuzz" / "seeds" / GetParam().Seeds, Source / "tests" / "fuzz-regressions" / GetParam().Seeds,
        Source / "tests" / "fuzz-regressions" / GetParam().Name}) {
    if (!fs::is_directory(Folder)) continue;
    for (const auto& E : fs::directory_iterator(Folder)) {
      EXPECT_EQ(GetParam().Property(testsupport::ReadFileBytes(E.path())), "") << E.path();
      ++Replayed;
    }
  }
  EXPECT_GT(Replayed, 0) << "no seed for " << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(Targets, RenderFuzzReplay, testing::ValuesIn(kTargets),
                         [](const auto& Info) { return std::string(Info.param.Name); });

}  // namespace
