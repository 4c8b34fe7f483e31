// The settings reader against libplist: the verdict, and every key's presence, kind and value,
// wherever libplist itself stays bounded. The reader runs on every input, bounded or not.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/settings/ReferenceReading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  const umbravista::testkit::ComparisonResult result =
      umbravista::testkit::CompareWithReference(document);
  if (result.comparison == umbravista::testkit::Comparison::kDisagree) {
    std::fprintf(stderr, "the reader and libplist disagree: %s\n", result.difference.c_str());
    std::abort();
  }
  return 0;
}
