#include "settings/ThemeGate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "SettingsFileFixture.h"
#include "settings/SettingsFile.h"

namespace umbravista {
namespace {

struct SwitchCase {
  const char* description;
  plist_t (*makeSettings)();
  bool expectedThemeOn;
};

const auto kSwitchCases = std::to_array<SwitchCase>({
    {"enabled true", [] { return DictionaryWith("enabled", plist_new_bool(1)); }, true},
    {"enabled absent", [] { return DictionaryWith("Icon", plist_new_string("#FF6400")); }, true},
    {"enabled false", [] { return DictionaryWith("enabled", plist_new_bool(0)); }, false},
    {"enabled integer 0", [] { return DictionaryWith("enabled", plist_new_uint(0)); }, false},
    {"enabled integer 2", [] { return DictionaryWith("enabled", plist_new_uint(2)); }, true},
    {"enabled real 0.0", [] { return DictionaryWith("enabled", plist_new_real(0.0)); }, false},
    {"enabled \"YES\"", [] { return DictionaryWith("enabled", plist_new_string("YES")); }, true},
    {"enabled \"1\"", [] { return DictionaryWith("enabled", plist_new_string("1")); }, true},
    {"enabled \"y\"", [] { return DictionaryWith("enabled", plist_new_string("y")); }, true},
    {"enabled \"NO\"", [] { return DictionaryWith("enabled", plist_new_string("NO")); }, false},
    {"enabled \"0\"", [] { return DictionaryWith("enabled", plist_new_string("0")); }, false},
    {"enabled data", [] { return DictionaryWith("enabled", plist_new_data("", 0)); }, true},
    {"Enabled false", [] { return DictionaryWith("Enabled", plist_new_bool(0)); }, true},
    {"array root", [] { return plist_new_array(); }, true},
});

using ThemeGateTest = SettingsFileTest;

void ExpectThemeOn(const std::string& what, bool expectedThemeOn) {
  SCOPED_TRACE(what);
  EXPECT_EQ(ThemeGate(), expectedThemeOn);
}

TEST_F(ThemeGateTest, FollowsTheStoredSwitchInBothFormats) {
  for (const PlistFormat format : {PlistFormat::kXml, PlistFormat::kBinary}) {
    for (const SwitchCase& testCase : kSwitchCases) {
      WriteSettingsBytes(PlistBytes(testCase.makeSettings(), format));
      ExpectThemeOn(std::string(FormatName(format)) + " " + testCase.description,
                    testCase.expectedThemeOn);
    }
  }
}

TEST_F(ThemeGateTest, IsOnWithoutUsableSettings) {
  RemoveSettings();
  ExpectThemeOn("no file", true);
  WriteSettingsBytes("");
  ExpectThemeOn("an empty file", true);
  WriteSettingsBytes("\x7F\x01garbage<dict>");
  ExpectThemeOn("garbage", true);
}

TEST_F(ThemeGateTest, SeesTheFileRewrittenBetweenQueries) {
  for (const bool stored : {false, true, false}) {
    WriteSettingsBytes(PlistBytes(DictionaryWith("enabled", plist_new_bool(stored ? 1 : 0)),
                                  PlistFormat::kBinary));
    ExpectThemeOn(std::string("rewritten with enabled ") + (stored ? "true" : "false"), stored);
  }
}

TEST_F(ThemeGateTest, NeverWritesTheSettingsFile) {
  WriteSettingsBytes(PlistBytes(DictionaryWith("enabled", plist_new_bool(1)), PlistFormat::kXml));
  const auto readBack = [this] {
    std::ifstream stream(SettingsPath(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
  };
  const std::string bytesBefore = readBack();
  const auto modifiedBefore = std::filesystem::last_write_time(SettingsPath());
  for (int query = 0; query < 3; ++query) {
    static_cast<void>(ThemeGate());
    SettingsRead read;
    static_cast<void>(read.LookUp("enabled"));
  }
  EXPECT_EQ(readBack(), bytesBefore);
  EXPECT_EQ(std::filesystem::last_write_time(SettingsPath()), modifiedBefore);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(SettingsPath().parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

struct TwoReadCase {
  const char* description;
  std::string firstRead;
  std::string secondRead;
  bool expectedThemeOn;
  int expectedReads;
};

std::string SwitchFile(plist_t enabled) {
  return PlistBytes(DictionaryWith("enabled", enabled), PlistFormat::kBinary);
}

TEST(ThemeGateFromTest, TakesPresenceFromTheFirstReadAndTruthFromTheSecond) {
  const std::string absent = PlistBytes(plist_new_dict(), PlistFormat::kBinary);
  const auto cases = std::to_array<TwoReadCase>({
      {"absent, not read again", absent, SwitchFile(plist_new_bool(0)), true, 1},
      {"no settings, not read again", "", SwitchFile(plist_new_bool(0)), true, 1},
      {"false, then deleted", SwitchFile(plist_new_bool(0)), "", false, 2},
      {"true, then deleted", SwitchFile(plist_new_bool(1)), "", false, 2},
      {"true, then rewritten without it", SwitchFile(plist_new_bool(1)), absent, false, 2},
      {"true, then false", SwitchFile(plist_new_bool(1)), SwitchFile(plist_new_bool(0)), false, 2},
      {"false, then true", SwitchFile(plist_new_bool(0)), SwitchFile(plist_new_bool(1)), true, 2},
      {"data both times", SwitchFile(plist_new_data("x", 1)), SwitchFile(plist_new_data("x", 1)),
       true, 2},
  });
  for (const TwoReadCase& testCase : cases) {
    SCOPED_TRACE(testCase.description);
    const std::vector<std::string> reads = {testCase.firstRead, testCase.secondRead};
    int readCount = 0;
    const bool themeOn = ThemeGateFrom([&] {
      std::string bytes = reads[std::min(readCount, 1)];
      ++readCount;
      std::vector<std::uint64_t> work(WorkBytesFor(bytes.size()) / 8 + 1);
      return SwitchIn(LookUpKey({bytes, std::as_writable_bytes(std::span(work))}, "enabled"));
    });
    EXPECT_EQ(themeOn, testCase.expectedThemeOn);
    EXPECT_EQ(readCount, testCase.expectedReads);
  }
}

}  // namespace
}  // namespace umbravista
