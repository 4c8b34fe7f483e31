#include "tools/check/SettingsCheck.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/propertylist/PropertyListBytes.h"
#include "settings/SettingsFile.h"
#include "device/propertylist/BinaryPlistBuilder.h"
#include "tools/check/Contrast.h"
#include "tools/check/KeySpelling.h"

namespace umbravista::check {
namespace {

// An XML settings file of `entries`, each written out as "<key>K</key>" and its value element.
std::string Xml(const std::vector<std::pair<std::string, std::string>>& entries) {
  std::string body;
  for (const auto& [key, value] : entries) body += "<key>" + key + "</key>" + value;
  return "<plist><dict>" + body + "</dict></plist>";
}

// An XML settings file holding the string `text` under `key`.
std::string One(const std::string& key, const std::string& text) {
  return Xml({{key, "<string>" + text + "</string>"}});
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string joined;
  for (const std::string& line : lines) joined += "  " + line + "\n";
  return joined;
}

struct CheckCase {
  std::string what;
  std::string bytes;
  int exitStatus;
  std::vector<std::string> expectedInLines;  // Each fragment appears in some line.
};

// Checks each case's bytes and compares; the input and the whole report are printed on failure.
void ExpectChecks(const std::vector<CheckCase>& cases) {
  for (const CheckCase& check : cases) {
    const SettingsCheckReport report = CheckSettingsBytes(check.bytes, "settings.plist");
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

TEST(SettingsCheckTest, PassesTheBuiltInColoursAndCountsWhatTheUserChose) {
  // The nine keys at the theme's built-in colours, in both forms.
  plist_t builtIn = plist_new_dict();
  plist_dict_set_item(builtIn, "enabled", plist_new_bool(1));
  for (const auto& [key, colour] : {std::pair{"MainBGColor", "#000000"},
                                    {"Username", "#FF6400"},
                                    {"Link", "#23F1CC"},
                                    {"Text", "#ffffff"},
                                    {"Separators", "#F3D438"},
                                    {"2text", "#00A4E4"},
                                    {"Icon", "#ffffff"},
                                    {"heart", "#6200B3"}}) {
    plist_dict_set_item(builtIn, key, plist_new_string(colour));
  }
  const std::string heart =
      "contrast of heart #6200B3 on MainBGColor #000000 is 2.17:1, under 3:1 (built-in colours, "
      "not counted)";
  ExpectChecks({
      {"every key at its built-in value, XML",
       device::PropertyListBytes(plist_copy(builtIn), device::PropertyListFormat::kXml),
       kNothingWrong,
       {heart, "contrast of Text #FFFFFF on MainBGColor #000000 is 21.00:1 (at least 4.5:1)",
        "no warnings"}},
      {"every key at its built-in value, binary",
       device::PropertyListBytes(builtIn, device::PropertyListFormat::kBinary),
       kNothingWrong,
       {heart, "no warnings"}},
      {"an empty dictionary", Xml({}), kNothingWrong, {heart, "no warnings"}},
      // The built-in heart on a background of the user's own is the user's to fix.
      {"the built-in heart on another background",
       One("MainBGColor", "#010101"),
       kWarnings,
       {"warning: contrast of heart #6200B3 on MainBGColor #010101 is 2.1", "1 warning"}},
      {"a misspelt key, a bad colour and low contrast",
       Xml({{"Heart", "<string>#6200B3</string>"},
            {"Link", "<string>#GG0000</string>"},
            {"Text", "<string>#111111</string>"}}),
       kWarnings,
       {R"(warning: key "Heart" is not one the library reads; did you mean "heart"?)",
        "warning: \"Link\" is \"#GG0000\", which names no colour (bad digit 'G'); the theme falls "
        "back to #23F1CC (linkColor)",
        "warning: contrast of Text #111111 on MainBGColor #000000 is 1.11:1, under 4.5:1",
        "3 warnings"}},
  });
}

TEST(SettingsCheckTest, SaysWhyAColourNamesNoneAndWhichFallbacksThenApply) {
  ExpectChecks({
      {"an integer background",
       Xml({{"MainBGColor", "<integer>5</integer>"}}),
       kWarnings,
       {"\"MainBGColor\" is the integer 5, not a colour string; the theme falls back to #000000 "
        "(main background, navigationBarOverlayColor, navigationBarBackgroundColor) and #202020 "
        "(separatorColor)"}},
      {"an empty separator colour",
       One("Separators", ""),
       kWarnings,
       {"(it is empty); the theme falls back to #F3D438 (veryLightTextColor), #7DB0F1 "
        "(boldLinkHighlightedColor), #CC233C (linkHighlightedColor) and #24A81A "
        "(IGRichTextFormat)"}},
      {"a bad alpha",
       One("Icon", "#FFFFFF:x"),
       kWarnings,
       {"its alpha \"x\" is not a plain decimal"}},
      {"a NUL after the colour",
       One("Link", std::string("#FF0000\0", 8)),
       kWarnings,
       {"\"Link\" is \"#FF0000\\x00\", which names no colour (bad digit '\\x00'); the theme "
        "falls back to #23F1CC (linkColor)"}},
      // "Separators" is in no contrast pair, so the form is the only finding.
      {"no hash",
       One("Separators", "FFFFFF"),
       kWarnings,
       {"\"Separators\" is \"FFFFFF\", a colour in a form that some colour-picker libraries read "
        "differently; write \"#FFFFFF\""}},
      {"three digits", One("Separators", "#FFF"), kWarnings, {"write \"#FFFFFF\""}},
      {"eight digits", One("Separators", "#FF000080"), kWarnings, {"write \"#FF0000:0.50\""}},
      {"a one-character alpha", One("Separators", "#FF0000:1"), kWarnings, {"write \"#FF0000\""}},
      {"a portable alpha", One("Separators", "#FF0000:0.50"), kNothingWrong, {"no warnings"}},
  });
}

TEST(SettingsCheckTest, SaysWhatAnEnabledThatIsNotABooleanCountsAs) {
  const auto enabled = [](const std::string& value) { return Xml({{"enabled", value}}); };
  const std::string warning = ", not a boolean; the theme counts it as ";
  ExpectChecks({
      {"the string yes",
       One("enabled", "yes"),
       kWarnings,
       {"\"enabled\" is the string \"yes\"" + warning + "on"}},
      {"the integer 2",
       enabled("<integer>2</integer>"),
       kWarnings,
       {"\"enabled\" is the integer 2" + warning + "on"}},
      {"a negative integer",
       enabled("<integer>-5</integer>"),
       kWarnings,
       {"\"enabled\" is the integer -5" + warning + "on"}},
      {"the real 0.0",
       enabled("<real>0.0</real>"),
       kWarnings,
       {"\"enabled\" is the real number 0" + warning + "off"}},
      {"a date",
       enabled("<date>2001-01-01T00:00:00Z</date>"),
       kWarnings,
       {"\"enabled\" is a date, which has no truth value" + warning + "on"}},
      {"a boolean false", enabled("<false/>"), kNothingWrong, {"no warnings"}},
  });
}

TEST(SettingsCheckTest, ListsUnknownKeysInByteOrderOnceAndBadColoursInKeyTableOrder) {
  // The colour keys written in the reverse of the key table's order, so that the file's order
  // cannot pass.
  std::vector<std::pair<std::string, std::string>> entries = {
      {"zeta", "<true/>"}, {"Alpha", "<true/>"}, {"beta", "<true/>"}, {"zeta", "<false/>"}};
  const std::vector<std::string> keyTable = {"MainBGColor", "Username", "Link", "Text",
                                             "Separators",  "2text",    "Icon", "heart"};
  for (auto key = keyTable.rbegin(); key != keyTable.rend(); ++key) {
    entries.emplace_back(*key, "<string>#GG0000</string>");
  }
  std::string unknown;
  std::string noColour;
  for (const Finding& finding : CheckSettingsBytes(Xml(entries), "settings.plist").findings) {
    if (finding.kind == "unknown-key") unknown += finding.key + " ";
    if (finding.kind == "no-colour") noColour += finding.key + " ";
  }
  EXPECT_EQ(unknown, "Alpha beta zeta ");
  EXPECT_EQ(noColour, "MainBGColor Username Link Text Separators 2text Icon heart ");
}

std::string SelfReferring(bool throughAnother) {
  device::BinaryPlistBuilder builder;
  const auto first = builder.Array({});
  builder.SetElements(first, {throughAnother ? builder.Array({first}) : first});
  return builder.Build(builder.Dictionary({{builder.Ascii("a"), first}}));
}

TEST(SettingsCheckTest, GivesOneLineAndStatusTwoForWhatIsNotSettings) {
  const std::string cannot = "cannot be read as settings: ";
  ExpectChecks({
      {"an array root",
       "<plist><array><string>#000000</string></array></plist>",
       kUnreadableSettings,
       {cannot + "its root is an array, not a dictionary"}},
      {"garbage",
       "not a property list at all {",
       kUnreadableSettings,
       {cannot + "not a property list"}},
      {"an empty file", "", kUnreadableSettings, {"the file is empty, not a property list"}},
      {"a binary array that holds itself",
       SelfReferring(false),
       kUnreadableSettings,
       {cannot + "an object refers to itself"}},
      {"two binary arrays that hold each other",
       SelfReferring(true),
       kUnreadableSettings,
       {cannot + "an object refers to itself"}},
  });
  std::string deep = "<plist><dict><key>a</key>";
  for (int level = 0; level < 600; ++level) deep += "<array>";
  const SettingsCheckReport report = CheckSettingsBytes(deep, "deep.plist");
  EXPECT_EQ(report.lines, std::vector<std::string>{"error: \"deep.plist\" " + cannot +
                                                   "nesting deeper than 512 levels"});
}

// Reads from the file system: a special file, a missing or an oversized one, each said at once.
TEST(SettingsCheckTest, ReportsAFileThatCannotBeReadWithTheReasonAlsoAsJson) {
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("umbravista-check-" + std::to_string(getpid()));
  std::filesystem::remove_all(path);
  const std::string source = "\"" + path.string() + "\" cannot be read as settings: ";
  EXPECT_EQ(CheckSettingsFile(path.c_str()).lines,
            std::vector<std::string>{"error: " + source + "no such file"});
  const nlohmann::json missing = ReportJson(CheckSettingsFile(path.c_str()), "gone");
  EXPECT_EQ(missing.at("status"), kUnreadableSettings);
  EXPECT_EQ(missing.at("findings").at(0).at("reason"), "no such file");
  EXPECT_TRUE(missing.at("findings").at(0).at("key").is_null());
  std::ofstream(path) << std::string(kSettingsSizeCap + 1, ' ');
  EXPECT_EQ(CheckSettingsFile(path.c_str()).lines,
            std::vector<std::string>{"error: " + source +
                                     "larger than the library's limit of 65536 bytes"});
  std::filesystem::remove(path);
  std::filesystem::create_directory(path);
  const SettingsCheckReport directory = CheckSettingsFile(path.c_str());
  EXPECT_EQ(directory.exitStatus, kUnreadableSettings);
  EXPECT_EQ(directory.lines.size(), 1U);
  EXPECT_TRUE(directory.lines.at(0).find("not a regular file") != std::string::npos)
      << directory.lines[0];
  std::filesystem::remove(path);
}

TEST(SettingsCheckTest, GivesTheSameFindingsAsJsonObjects) {
  const SettingsCheckReport report = CheckSettingsBytes(Xml({{"Heart", "<string>#6200B3</string>"},
                                                             {"Link", "<string>#GG0000</string>"},
                                                             {"Text", "<string>#111111</string>"},
                                                             {"enabled", "<string>NO</string>"}}),
                                                        "settings.plist");
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
}

TEST(KeySpellingTest, SuggestsTheKnownKeyAMisspellingIsNearest) {
  const std::pair<std::string_view, std::optional<std::string_view>> cases[] = {
      {"Heart", "heart"},
      {"mainbgcolor", "MainBGColor"},
      {"MainBGColour", "MainBGColor"},
      {"Enabled", "enabled"},
      {"2Text", "2text"},
      {"Seperators", "Separators"},
      // Equally near "Text" and "2text": the first in the key table wins.
      {"1text", "Text"},
      {"Iconxx", "Icon"},
      {"Iconxxx", std::nullopt},
      {"heart", std::nullopt},
      {"background", std::nullopt},
      {"x", std::nullopt},
  };
  for (const auto& [key, expected] : cases) {
    EXPECT_EQ(LikelyIntendedKey(key), expected) << "key \"" << key << "\"";
  }
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
    const Colour foreground = device::ParseColorString(check.foreground).value();
    const Colour background = device::ParseColorString(check.background).value();
    EXPECT_NEAR(ContrastRatio(foreground, background), check.ratio, 1e-6)
        << check.foreground << " on " << check.background;
  }
}

}  // namespace
}  // namespace umbravista::check
