#include <gtest/gtest.h>

#include <string_view>

#include "platform/SystemVersion.h"

namespace umbravista::platform {
namespace {

struct VersionCase {
  std::string_view version;
  bool atLeastEleven;  // At least 11.0.0.
};

TEST(VersionTextTest, ComparesNumbersOneByOneAgainstElevenZeroZero) {
  constexpr VersionCase kCases[] = {
      {"6.1.3", false},    {"7.0", false},
      {"10.3.3", false},   {"11.0", true},
      {"11.0.1", true},    {"11", true},
      {"10.99.99", false}, {"12.4", true},
      {"9.10", false},     {"11.0 beta", true},
      {"", false},         {"x11", false},
      {"10.x.9", false},   {"99999999999999999999999.0", true},
  };
  for (const VersionCase& versionCase : kCases) {
    EXPECT_EQ(VersionTextIsAtLeast(versionCase.version, 11, 0, 0), versionCase.atLeastEleven)
        << "for \"" << versionCase.version << "\"";
  }
  EXPECT_TRUE(VersionTextIsAtLeast("7.0.1", 7, 0, 1));
  EXPECT_FALSE(VersionTextIsAtLeast("7.0", 7, 0, 1));
  EXPECT_TRUE(VersionTextIsAtLeast("7.1", 7, 0, 9));
}

}  // namespace
}  // namespace umbravista::platform
