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
  const fs::path Source = LINTORRA_SOURCE_DIR;
  int Replayed = 0;
  for (const fs::path& Folder :
       {Source / "fuzz" / "seeds" / GetParam().name, Source / "tests" / "fuzz-regressions" / GetParam().name}) {
    if (!fs::is_directory(Folder)) continue;
    for (const auto& E : fs::directory_iterator(Folder)) {
      const auto Bytes = testsupport::ReadFileBytes(E.path());
      EXPECT_EQ(GetParam().property(Bytes), "") << E.path();
      ++Replayed;
    }
  }
  EXPECT_GT(Replayed, 0) << "no seed for " << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, testing::ValuesIn(kTargets),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
