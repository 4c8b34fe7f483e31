#include "tools/check/SettingsCheck.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "device/propertylist/PropertyListBytes.h"
#include "settings/SettingsFile.h"
#include "tests/settings/BinaryPlistBuilder.h"
#include "tools/check/ColourStringForms.h"
#include "tools/check/Contrast.h"
#include "tools/check/KeySpelling.h"

namespace umbravista::check {
namespace {

// The file's dictionary as key and value; the value node is taken over by the dictionary.
using Entries = std::vector<std::pair<const char*, plist_t>>;

plist_t Dictionary(const Entries& entries) {
  plist_t dictionary = plist_new_dict();
  for (const auto& [key, value] : entries) plist_dict_set_item(dictionary, key, value);
  return dictionary;
}

plist_t String(const char* text) {
  return plist_new_string(text);
}

// The nine keys at the theme's built-in colours; "Separators" has four fallbacks, so any one will
// do.
Entries BuiltInEntries() {
  return {{"enabled", plist_new_bool(1)},  {"MainBGColor", String("#000000")},
          {"Username", String("#FF6400")}, {"Link", String("#23F1CC")},
          {"Text", String("#ffffff")},     {"Separators", String("#F3D438")},
          {"2text", String("#00A4E4")},    {"Icon", String("#ffffff")},
          {"heart", String("#6200B3")}};
}

using Format = device::PropertyListFormat;

// The bytes of a settings file of `entries`, in XML unless asked otherwise.
std::string Serialised(const Entries& entries, Format format = Format::kXml) {
  return device::PropertyListBytes(Dictionary(entries), format);
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += "  " + line + "\n";
  return joined;
}

struct FileCase {
  std::string what;
  std::string bytes;
  int exitStatus;
  std::vector<std::string> expectedInLines;  // Each fragment appears in some line.
};

class SettingsCheckTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "umbravista-check-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    directory_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  [[nodiscard]] std::filesystem::path SettingsPath() const { return directory_ / "settings.plist"; }

  void WriteSettings(const std::string& bytes) const {
    std::ofstream(SettingsPath(), std::ios::binary | std::ios::trunc) << bytes;
  }

  // Writes each case's bytes to the settings file, checks it, and compares; the input and the
  // whole report are printed on failure.
  void ExpectChecks(const std::vector<FileCase>& cases) const {
    for (const FileCase& check : cases) {
      WriteSettings(check.bytes);
      const SettingsCheckReport report = CheckSettingsFile(SettingsPath().c_str());
      SCOPED_TRACE(testing::Message() << check.what << "\ninput:\n"
                                      << check.bytes << "\nreport:\n"
                                      << Joined(report.lines));
      EXPECT_EQ(report.exitStatus, check.exitStatus);
      for (const std::string& fragment : check.expectedInLines) {
        EXPECT_TRUE(std::any_of(
            report.lines.begin(), report.lines.end(),
            [&](const std::string& line) { return line.find(fragment) != std::string::npos; }))
            << "no line holds: " << fragment;
      }
    }
  }

 private:
  std::filesystem::path directory_;
};

TEST_F(SettingsCheckTest, PassesTheBuiltInColoursWrittenOrAbsent) {
  ExpectChecks({
      {"all nine keys at their built-in values",
       Serialised(BuiltInEntries()),
       kNothingWrong,
       {"contrast of heart #6200B3 on MainBGColor #000000 is 2.17:1, under 3:1 (built-in colours, "
        "not counted)",
        "contrast of Text #FFFFFF on MainBGColor #000000 is 21.00:1 (at least 4.5:1)",
        "no warnings"}},
      {"an empty dictionary",
       Serialised({}),
       kNothingWrong,
       {"(built-in colours, not counted)", "no warnings"}},
      // The built-in heart on a background of the user's own is the user's to fix.
      {"the built-in heart on another background",
       Serialised({{"MainBGColor", String("#010101")}}),
       kWarnings,
       {"warning: contrast of heart #6200B3 on MainBGColor #010101 is 2.1", "1 warning"}},
  });
}

TEST_F(SettingsCheckTest, NamesAMisspeltKeyABadColourAndLowContrastInXmlAndBinary) {
  for (const Format format : {Format::kXml, Format::kBinary}) {
    const Entries entries = {
        {"Heart", String("#6200B3")}, {"Link", String("#GG0000")}, {"Text", String("#111111")}};
    ExpectChecks({{format == Format::kXml ? "XML" : "binary",
                   Serialised(entries, format),
                   kWarnings,
                   {R"(warning: key "Heart" is not one the library reads; did you mean "heart"?)",
                    "warning: \"Link\" is \"#GG0000\", which names no colour (bad digit 'G'); the "
                    "theme falls back to #23F1CC (linkColor)",
                    "warning: contrast of Text #111111 on MainBGColor #000000 is 1.11:1, under "
                    "4.5:1",
                    "3 warnings"}}});
  }
}

TEST_F(SettingsCheckTest, ListsUnknownKeysInByteOrderOnce) {
  WriteSettings(
      "<plist><dict><key>zeta</key><true/><key>Alpha</key><true/><key>beta</key><true/>"
      "<key>zeta</key><false/></dict></plist>");
  std::string unknown;
  for (const Finding& finding : CheckSettingsFile(SettingsPath().c_str()).findings) {
    if (finding.kind == "unknown-key") unknown += finding.key + " ";
  }
  EXPECT_EQ(unknown, "Alpha beta zeta ");
}

TEST_F(SettingsCheckTest, ListsColoursThatNameNoneInTheOrderOfTheKeyTable) {
  // Written in the reverse of the key table's order, so that the file's order cannot pass.
  const std::vector<std::string> keyTable = {"MainBGColor", "Username", "Link", "Text",
                                             "Separators",  "2text",    "Icon", "heart"};
  Entries entries;
  for (auto key = keyTable.rbegin(); key != keyTable.rend(); ++key) {
    entries.emplace_back(key->c_str(), String("#GG0000"));
  }
  WriteSettings(Serialised(entries));
  const SettingsCheckReport report = CheckSettingsFile(SettingsPath().c_str());
  std::vector<std::string> warned;
  for (const std::string& line : report.lines) {
    for (const std::string& key : keyTable) {
      if (line.starts_with("warning: \"" + key + "\" is")) warned.push_back(key);
    }
  }
  EXPECT_EQ(warned, keyTable) << Joined(report.lines);
}

TEST_F(SettingsCheckTest, SaysWhichFallbacksReplaceAColourThatNamesNone) {
  ExpectChecks({
      {"an integer background",
       Serialised({{"MainBGColor", plist_new_uint(5)}}),
       kWarnings,
       {"\"MainBGColor\" is the integer 5, not a colour string; the theme falls back to #000000 "
        "(main background, navigationBarOverlayColor, navigationBarBackgroundColor) and #202020 "
        "(separatorColor)"}},
      {"an empty separator colour",
       Serialised({{"Separators", String("")}}),
       kWarnings,
       {"(it is empty); the theme falls back to #F3D438 (veryLightTextColor), #7DB0F1 "
        "(boldLinkHighlightedColor), #CC233C (linkHighlightedColor) and #24A81A "
        "(IGRichTextFormat)"}},
      {"a bad alpha",
       Serialised({{"Icon", String("#FFFFFF:x")}}),
       kWarnings,
       {"its alpha \"x\" is not a plain decimal"}},
      {"a NUL after the colour",
       std::string("<plist><dict><key>Link</key><string>#FF0000\0</string></dict></plist>", 68),
       kWarnings,
       {"\"Link\" is \"#FF0000\\x00\", which names no colour (bad digit '\\x00'); the theme "
        "falls back to #23F1CC (linkColor)"}},
  });
}

TEST_F(SettingsCheckTest, FlagsColoursInFormsThatNotEveryLibraryReadsAlike) {
  // "Separators" is in no contrast pair, so the form is the only finding.
  ExpectChecks({
      {"no hash",
       Serialised({{"Separators", String("FFFFFF")}}),
       kWarnings,
       {"\"Separators\" is \"FFFFFF\", a colour in a form that some colour-picker libraries read "
        "differently; write \"#FFFFFF\""}},
      {"three digits",
       Serialised({{"Separators", String("#FFF")}}),
       kWarnings,
       {"write \"#FFFFFF\""}},
      {"eight digits",
       Serialised({{"Separators", String("#FF000080")}}),
       kWarnings,
       {"write \"#FF0000:0.50\""}},
      {"a one-character alpha",
       Serialised({{"Separators", String("#FF0000:1")}}),
       kWarnings,
       {"write \"#FF0000\""}},
      {"a portable alpha",
       Serialised({{"Separators", String("#FF0000:0.50")}}),
       kNothingWrong,
       {"no warnings"}},
  });
}

TEST_F(SettingsCheckTest, SaysWhatAnEnabledThatIsNotABooleanCountsAs) {
  ExpectChecks({
      {"the string yes",
       Serialised({{"enabled", String("yes")}}),
       kWarnings,
       {R"("enabled" is the string "yes", not a boolean; the theme counts it as on)"}},
      {"the integer 2",
       Serialised({{"enabled", plist_new_uint(2)}}),
       kWarnings,
       {"\"enabled\" is the integer 2, not a boolean; the theme counts it as on"}},
      {"a negative integer",
       "<plist><dict><key>enabled</key><integer>-5</integer></dict></plist>",
       kWarnings,
       {"\"enabled\" is the integer -5, not a boolean; the theme counts it as on"}},
      {"the real 0.0",
       Serialised({{"enabled", plist_new_real(0.0)}}),
       kWarnings,
       {"\"enabled\" is the real number 0, not a boolean; the theme counts it as off"}},
      {"a date",
       Serialised({{"enabled", plist_new_date(0, 0)}}),
       kWarnings,
       {"\"enabled\" is a date, which has no truth value, not a boolean; the theme counts it as "
        "on"}},
      {"a boolean false",
       Serialised({{"enabled", plist_new_bool(0)}}),
       kNothingWrong,
       {"no warnings"}},
  });
}

TEST_F(SettingsCheckTest, GivesOneLineAndStatusTwoForWhatIsNotSettings) {
  plist_t array = plist_new_array();
  plist_array_append_item(array, String("#000000"));
  ExpectChecks({
      {"an array root",
       device::PropertyListBytes(array, Format::kXml),
       kUnreadableSettings,
       {"cannot be read as settings: its root is an array, not a dictionary"}},
      {"garbage",
       "not a property list at all {",
       kUnreadableSettings,
       {"cannot be read as settings: not a property list"}},
      {"an empty file", "", kUnreadableSettings, {"the file is empty, not a property list"}},
      {"arrays nested 600 deep",
       [] {
         std::string document = "<plist><dict><key>a</key>";
         for (int level = 0; level < 600; ++level) document += "<array>";
         return document;
       }(),
       kUnreadableSettings,
       {"cannot be read as settings: nesting deeper than 512 levels"}},
      {"a binary array that holds itself",
       [] {
         umbravista::testkit::BinaryPlistBuilder builder;
         const auto loop = builder.Array({});
         builder.SetElements(loop, {loop});
         return builder.Build(builder.Dictionary({{builder.Ascii("a"), loop}}));
       }(),
       kUnreadableSettings,
       {"cannot be read as settings: an object refers to itself"}},
      {"two binary arrays that hold each other",
       [] {
         umbravista::testkit::BinaryPlistBuilder builder;
         const auto first = builder.Array({});
         builder.SetElements(first, {builder.Array({first})});
         return builder.Build(builder.Dictionary({{builder.Ascii("a"), first}}));
       }(),
       kUnreadableSettings,
       {"cannot be read as settings: an object refers to itself"}},
      {"one byte over the size cap",
       std::string(kSettingsSizeCap + 1, ' '),
       kUnreadableSettings,
       {"larger than the library's limit of 1048576 bytes"}},
  });
  WriteSettings("garbage");
  EXPECT_EQ(CheckSettingsFile(SettingsPath().c_str()).lines.size(), 1U);

  std::filesystem::remove(SettingsPath());
  const SettingsCheckReport missing = CheckSettingsFile(SettingsPath().c_str());
  EXPECT_EQ(missing.exitStatus, kUnreadableSettings);
  EXPECT_EQ(missing.lines, std::vector<std::string>{"error: \"" + SettingsPath().string() +
                                                    "\" cannot be read as settings: no such file"});

  std::filesystem::create_directory(SettingsPath());
  const SettingsCheckReport directory = CheckSettingsFile(SettingsPath().c_str());
  EXPECT_EQ(directory.exitStatus, kUnreadableSettings);
  ASSERT_EQ(directory.lines.size(), 1U);
  EXPECT_NE(directory.lines[0].find("not a regular file"), std::string::npos) << directory.lines[0];
}

TEST_F(SettingsCheckTest, GivesTheSameFindingsAsJsonObjects) {
  WriteSettings(Serialised({{"Heart", String("#6200B3")},
                            {"Link", String("#GG0000")},
                            {"Text", String("#111111")},
                            {"enabled", String("NO")}}));
  const SettingsCheckReport report = CheckSettingsFile(SettingsPath().c_str());
  const nlohmann::json json = ReportJson(report, "settings.plist");
  EXPECT_EQ(json.at("source"), "settings.plist");
  EXPECT_EQ(json.at("status"), kWarnings);
  EXPECT_EQ(json.at("warnings"), 4);
  const auto finding = [&](const std::string& kind, const std::string& key) {
    for (const nlohmann::json& entry : json.at("findings")) {
      if (entry.at("kind") == kind && entry.at("key") == key) return entry;
    }
    ADD_FAILURE() << "no " << kind << " finding for " << key << " in " << json.dump(2);
    return nlohmann::json::object();
  };
  EXPECT_EQ(finding("unknown-key", "Heart").at("suggestion"), "heart");
  const nlohmann::json link = finding("no-colour", "Link");
  EXPECT_EQ(link.at("severity"), "warning");
  EXPECT_EQ(link.at("reason"), "bad digit 'G'");
  EXPECT_EQ(link.at("fallbacks"),
            nlohmann::json::parse(R"([{"colour": "#23F1CC", "users": ["linkColor"]}])"));
  EXPECT_EQ(finding("enabled-not-boolean", "enabled").at("countsAs"), "off");
  const nlohmann::json text = finding("contrast", "Text");
  EXPECT_EQ(text.at("ratio"), 1.11);
  EXPECT_EQ(text.at("passes"), false);
  EXPECT_EQ(text.at("background"),
            nlohmann::json::parse(R"({"key": "MainBGColor", "colour": "#000000"})"));
  EXPECT_EQ(finding("contrast", "heart").at("builtIn"), true);
  // One finding per line, the summary line aside, and each message is its line.
  ASSERT_EQ(report.findings.size() + 1, report.lines.size());
  for (std::size_t i = 0; i < report.findings.size(); ++i) {
    EXPECT_TRUE(report.lines[i].ends_with(report.findings[i].message)) << report.lines[i];
  }
  std::filesystem::remove(SettingsPath());
  const nlohmann::json missing = ReportJson(CheckSettingsFile(SettingsPath().c_str()), "gone");
  EXPECT_EQ(missing.at("status"), kUnreadableSettings);
  EXPECT_EQ(missing.at("findings").at(0).at("reason"), "no such file");
  EXPECT_TRUE(missing.at("findings").at(0).at("key").is_null());
}

TEST(KeySpellingTest, SuggestsTheKnownKeyAMisspellingIsNearest) {
  const std::vector<std::pair<std::string_view, std::optional<std::string_view>>> cases = {
      {"Heart", "heart"},
      {"mainbgcolor", "MainBGColor"},
      {"MainBGColour", "MainBGColor"},
      {"Enabled", "enabled"},
      {"2Text", "2text"},
      // Equally near "Text" and "2text": the first in the key table wins.
      {"1text", "Text"},
      {"Iconxx", "Icon"},
      {"Iconxxx", std::nullopt},
      {"Seperators", "Separators"},
      {"heart", std::nullopt},
      {"background", std::nullopt},
      {"x", std::nullopt},
  };
  for (const auto& [key, expected] : cases) {
    EXPECT_EQ(LikelyIntendedKey(key), expected) << "key \"" << key << "\"";
  }
}

Colour Parsed(std::string_view text) {
  return device::ParseColorString(text).value();
}

TEST(ContrastTest, MatchesWcagRatiosComputedIndependently) {
  struct Case {
    std::string_view foreground;
    std::string_view background;
    double ratio;
  };
  const Case cases[] = {
      {"#FFFFFF", "#000000", 21.0},
      {"#000000", "#FFFFFF", 21.0},
      {"#FFFFFF", "#FFFFFF", 1.0},
      // A channel of 10 is linear below 0.03928; 119 goes through the power curve.
      {"#0A0A0A", "#000000", 1.060705},
      {"#777777", "#FFFFFF", 4.478089},
      // Each channel's weight.
      {"#FF0000", "#000000", 5.252},
      {"#00FF00", "#000000", 15.304},
      {"#0000FF", "#000000", 2.444},
      // Half white over the black window, or a half-white background behind black text.
      {"#FFFFFF:0.5", "#000000", 5.280823},
      {"#000000", "#FFFFFF:0.5", 5.280823},
      // Fully transparent text shows only its background.
      {"#FFFFFF:0", "#000000", 1.0},
  };
  for (const Case& check : cases) {
    EXPECT_NEAR(ContrastRatio(Parsed(check.foreground), Parsed(check.background)), check.ratio,
                1e-6)
        << check.foreground << " on " << check.background;
  }
}

}  // namespace
}  // namespace umbravista::check
