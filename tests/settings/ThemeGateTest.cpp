#include "settings/ThemeGate.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "SettingsFileFixture.h"

namespace umbravista {
namespace {

using device::PropertyListBytes;
using device::PropertyListFormat;

// A settings file whose root holds `value` under "enabled" (nullptr: an empty dictionary).
std::string SwitchFile(plist_t value, PropertyListFormat format = PropertyListFormat::kBinary) {
  return PropertyListBytes(value ? DictionaryWith("enabled", value) : plist_new_dict(), format);
}

using ThemeGateTest = SettingsFileTest;

TEST_F(ThemeGateTest, FollowsTheStoredSwitchInBothFormsAndIsOnWithoutSettings) {
  struct Case {
    const char* what;
    std::string (*file)(PropertyListFormat);
    bool themeOn;
  };
  using F = PropertyListFormat;
  const Case cases[] = {
      {"true", [](F f) { return SwitchFile(plist_new_bool(1), f); }, true},
      {"absent",
       [](F f) {
         return PropertyListBytes(DictionaryWith("Icon", plist_new_string("#FF6400")), f);
       },
       true},
      {"false", [](F f) { return SwitchFile(plist_new_bool(0), f); }, false},
      {"integer 0", [](F f) { return SwitchFile(plist_new_uint(0), f); }, false},
      {"integer 2", [](F f) { return SwitchFile(plist_new_uint(2), f); }, true},
      {"real 0.0", [](F f) { return SwitchFile(plist_new_real(0.0), f); }, false},
      {"\"YES\"", [](F f) { return SwitchFile(plist_new_string("YES"), f); }, true},
      {"\"NO\"", [](F f) { return SwitchFile(plist_new_string("NO"), f); }, false},
      {"data", [](F f) { return SwitchFile(plist_new_data("", 0), f); }, true},
      {"\"Enabled\" false",
       [](F f) { return PropertyListBytes(DictionaryWith("Enabled", plist_new_bool(0)), f); },
       true},
      {"an array root", [](F f) { return PropertyListBytes(plist_new_array(), f); }, true},
      {"an empty file", [](F) { return std::string(); }, true},
      {"garbage", [](F) { return std::string("\x7F\x01garbage<dict>"); }, true},
  };
  for (const F format : {F::kXml, F::kBinary}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(format == F::kXml ? "XML, " : "binary, ") + c.what);
      WriteSettingsBytes(c.file(format));
      EXPECT_EQ(ThemeGate(), c.themeOn);
    }
  }
  RemoveSettings();
  EXPECT_TRUE(ThemeGate()) << "no file";
}

TEST(ThemeGateFromTest, TakesPresenceFromTheFirstReadAndTruthFromTheSecond) {
  struct Case {
    const char* what;
    std::string firstRead, secondRead;
    bool themeOn;
    int reads;
  };
  const std::string absent = SwitchFile(nullptr);
  const Case cases[] = {
      {"absent, not read again", absent, SwitchFile(plist_new_bool(0)), true, 1},
      {"no settings, not read again", "", SwitchFile(plist_new_bool(0)), true, 1},
      {"false, then deleted", SwitchFile(plist_new_bool(0)), "", false, 2},
      {"true, then deleted", SwitchFile(plist_new_bool(1)), "", false, 2},
      {"true, then rewritten without it", SwitchFile(plist_new_bool(1)), absent, false, 2},
      {"true, then false", SwitchFile(plist_new_bool(1)), SwitchFile(plist_new_bool(0)), false, 2},
      {"false, then true", SwitchFile(plist_new_bool(0)), SwitchFile(plist_new_bool(1)), true, 2},
      {"data both times", SwitchFile(plist_new_data("x", 1)), SwitchFile(plist_new_data("x", 1)),
       true, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string reads[] = {c.firstRead, c.secondRead};
    int readCount = 0;
    const bool themeOn = ThemeGateFrom([&] {
      std::string bytes = reads[std::min(readCount++, 1)];
      std::vector<std::uint64_t> work(WorkBytesFor(bytes.size()) / 8 + 1);
      return SwitchIn(LookUpKey({bytes, std::as_writable_bytes(std::span(work))}, "enabled"));
    });
    EXPECT_EQ(themeOn, c.themeOn);
    EXPECT_EQ(readCount, c.reads);
  }
}

}  // namespace
}  // namespace umbravista
