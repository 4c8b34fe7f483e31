#include "settings/SettingsDictionary.h"

#include <array>
#include <string>
#include <utility>

#include "SettingsFileFixture.h"

namespace umbravista {
namespace {

struct ParseCase {
  const char* description;
  std::string bytes;
  bool expectedHasSettings;
};

TEST(SettingsDictionaryTest, OnlyADictionaryRootGivesSettings) {
  const auto cases = std::to_array<ParseCase>({
      {"an XML dictionary", PlistBytes(plist_new_dict(), PlistFormat::kXml), true},
      {"a binary dictionary", PlistBytes(plist_new_dict(), PlistFormat::kBinary), true},
      {"an XML array", PlistBytes(plist_new_array(), PlistFormat::kXml), false},
      {"a binary array", PlistBytes(plist_new_array(), PlistFormat::kBinary), false},
      {"an XML string", PlistBytes(plist_new_string("enabled"), PlistFormat::kXml), false},
      {"a truncated binary dictionary",
       PlistBytes(DictionaryWith("enabled", plist_new_bool(0)), PlistFormat::kBinary).substr(0, 20),
       false},
      {"garbage", std::string("\x01\xFFnot a property list\x00", 22), false},
      {"empty input", "", false},
  });
  for (const ParseCase& testCase : cases) {
    SCOPED_TRACE(testCase.description);
    const SettingsDictionary settings = SettingsDictionary::Parse(testCase.bytes);
    EXPECT_EQ(settings.HasSettings(), testCase.expectedHasSettings);
    EXPECT_EQ(settings.ValueForKey("enabled"), nullptr);
  }
}

TEST(SettingsDictionaryTest, KeysAreCaseSensitive) {
  const SettingsDictionary settings = SettingsDictionary::Parse(
      PlistBytes(DictionaryWith("Enabled", plist_new_bool(0)), PlistFormat::kXml));
  EXPECT_NE(settings.ValueForKey("Enabled"), nullptr);
  EXPECT_EQ(settings.ValueForKey("enabled"), nullptr);
  EXPECT_EQ(settings.ValueForKey(nullptr), nullptr);
}

TEST(SettingsDictionaryTest, MovingHandsOverTheDictionary) {
  SettingsDictionary source = SettingsDictionary::Parse(
      PlistBytes(DictionaryWith("enabled", plist_new_bool(1)), PlistFormat::kBinary));
  SettingsDictionary target = std::move(source);
  EXPECT_TRUE(target.HasSettings());
  EXPECT_NE(target.ValueForKey("enabled"), nullptr);
  EXPECT_FALSE(source.HasSettings());  // NOLINT(bugprone-use-after-move): moved-from is empty.
  source = std::move(target);
  EXPECT_TRUE(source.HasSettings());
}

using SettingsDeviceTest = SettingsFileTest;

TEST_F(SettingsDeviceTest, ReadsTheSettingsFileUnderTheSimulatedRoot) {
  EXPECT_FALSE(SettingsDictionary::ReadFromDevice().HasSettings());
  WriteSettingsBytes(
      PlistBytes(DictionaryWith("MainBGColor", plist_new_string("#101010")), PlistFormat::kBinary));
  const SettingsDictionary settings = SettingsDictionary::ReadFromDevice();
  const char* colour = plist_get_string_ptr(settings.ValueForKey("MainBGColor"), nullptr);
  ASSERT_NE(colour, nullptr);
  EXPECT_STREQ(colour, "#101010");
}

TEST_F(SettingsDeviceTest, AFileOverTheCapIsNoSettings) {
  plist_t oversized = DictionaryWith(
      "padding", plist_new_string(std::string(SettingsDictionary::kSizeCap, 'x').c_str()));
  WriteSettingsBytes(PlistBytes(oversized, PlistFormat::kBinary));
  EXPECT_FALSE(SettingsDictionary::ReadFromDevice().HasSettings());
}

}  // namespace
}  // namespace umbravista
