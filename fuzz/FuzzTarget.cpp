// The libFuzzer entry of every fuzz target: LINTORRA_FUZZ_PROPERTY names the
// property of Properties.h that the target checks. A violated property ends
// the run the way a crash does, so libFuzzer keeps the input.
#include <cstdio>
#include <cstdlib>

#include "fuzz/Properties.h"
#ifdef LINTORRA_FUZZ_RENDER
#include "fuzz/RenderProperties.h"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Fault = fuzzprops::LINTORRA_FUZZ_PROPERTY({Data, Size});
  if (!Fault.empty()) {
    std::fprintf(stderr, "property violated: %s\n", Fault.c_str());
    std::abort();
  }
  return 0;
}
