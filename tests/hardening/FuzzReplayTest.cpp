// The fuzz targets' properties (fuzz/Properties.h) replayed on their seeds
// and on every input a fuzzer found fault with (tests/fuzz-regressions), so
// that the ordinary test run guards the fixes.
#include <filesystem>
#include <string>

#include "common/TestSupport.h"
#include "fuzz/Properties.h"

namespace fs = std::filesystem;

namespace {

struct Target {
  const char* name;
  std::string (*property)(fuzzprops::Input);
};

constexpr Target kTargets[] = {{"JwwLoadFuzz", fuzzprops::JwwRoundTrip},
                               {"JwsLoadFuzz", fuzzprops::JwsRoundTrip},
                               {"HeaderFuzz", fuzzprops::HeadersRead},
                               {"IniFuzz", fuzzprops::IniRoundTrip},
                               {"SettingsFileFuzz", fuzzprops::SettingsFileRoundTrip}};

class FuzzReplay : public testing::TestWithParam<Target> {};

TEST_P(FuzzReplay, SeedsAndFoundInputsKeepTheProperty) {
  const fs::path source = LINTORRA_SOURCE_DIR;
  int replayed = 0;
  for (const fs::path& folder :
       {source / "fuzz" / "seeds" / GetParam().name, source / "tests" / "fuzz-regressions" / GetParam().name}) {
    if (!fs::is_directory(folder)) continue;
    for (const auto& e : fs::directory_iterator(folder)) {
      const auto bytes = testsupport::ReadFileBytes(e.path());
      EXPECT_EQ(GetParam().property(bytes), "") << e.path();
      ++replayed;
    }
  }
  EXPECT_GT(replayed, 0) << "no seed for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
