// The studio's pieces without a server: what it makes of the checker's lines, of a request's
// JSON, and of settings files read and written.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tests/studio/StudioTestSupport.h"
#include "tools/studio/CheckFindings.h"
#include "tools/studio/EmbeddedFiles.h"
#include "tools/studio/SettingsAdapter.h"
#include "tools/studio/StudioJson.h"
#include "tools/studio/StudioSettings.h"

namespace studio {
namespace {

using nlohmann::json;
using testing::String;
using testing::XmlSettings;

std::vector<Finding> FindingsOfFile(const std::string& bytes) {
  return FindingsOf(CheckSettingsFile(bytes));
}

std::string Described(const std::vector<Finding>& findings) {
  std::string text;
  for (const Finding& finding : findings) {
    text += "  [" + finding.key + "] " + (finding.warning ? "warning: " : "") + finding.text + "\n";
  }
  return text;
}

// The finding that belongs to `key` and holds `fragment`.
std::optional<Finding> FindingWith(const std::vector<Finding>& findings, const std::string& key,
                                   const std::string& fragment) {
  for (const Finding& finding : findings) {
    if (finding.key == key && finding.text.find(fragment) != std::string::npos) return finding;
  }
  return std::nullopt;
}

struct FindingCase {
  const char* what;
  std::vector<std::pair<std::string, std::string>> entries;
  std::string key;  // Expected owner of the line; "" for the file as a whole.
  std::string fragment;
  bool warning;
  // For contrast lines: "pass", "fail" or "not counted", with the least ratio.
  const char* contrast = nullptr;
  double least = 0;
};

TEST(CheckFindingsTest, PutsEachLineOfTheCheckerBesideItsKey) {
  const std::vector<FindingCase> cases = {
      {"built-in heart on black", {}, "heart", "is 2.17:1", false, "not counted", 3},
      {"built-in text on black", {}, "Text", "is 21.00:1", false, "pass", 4.5},
      {"dark text on dark blue",
       {{"MainBGColor", String("#203040")}, {"Text", String("#111111")}},
       "Text",
       "contrast of Text #111111",
       true,
       "fail",
       4.5},
      {"a pale icon", {{"Icon", String("#FFFFFF")}}, "Icon", "is 21.00:1", false, "pass", 3},
      {"three digits", {{"2text", String("FFF")}}, "2text", "read differently", true},
      {"no colour", {{"Link", String("GGHHII")}}, "Link", "names no colour", true},
      {"a number", {{"heart", "<integer>5</integer>"}}, "heart", "not a colour string", true},
      {"a switch that is a string", {{"enabled", String("yes")}}, "enabled", "not a boolean", true},
      {"a misspelt key", {{"Txt", String("#FFFFFF")}}, "", "did you mean \"Text\"?", true},
      {"the summary", {}, "", "no warnings", false},
  };
  for (const FindingCase& c : cases) {
    const std::vector<Finding> findings = FindingsOfFile(XmlSettings(c.entries));
    const std::optional<Finding> found = FindingWith(findings, c.key, c.fragment);
    ASSERT_TRUE(found) << c.what << ": no line of [" << c.key << "] holds " << c.fragment << "\n"
                       << Described(findings);
    EXPECT_EQ(found->warning, c.warning) << c.what;
    ASSERT_EQ(found->contrast.has_value(), c.contrast != nullptr) << c.what;
    if (c.contrast == nullptr) continue;
    const std::string verdict = found->contrast->passed    ? "pass"
                                : found->contrast->counted ? "fail"
                                                           : "not counted";
    EXPECT_EQ(verdict, c.contrast) << c.what << ": " << found->text;
    EXPECT_EQ(found->contrast->leastRatio, c.least) << c.what;
  }
}

TEST(CheckFindingsTest, GivesAFindingAboutNoKeyOfTheLibraryToNoField) {
  umbravista::check::SettingsCheckReport report;
  report.findings = {{"unknown-key",
                      umbravista::check::Severity::kWarning,
                      "Txt",
                      "key \"Txt\" is not one the library reads",
                      {{"suggestion", "Text"}}}};
  report.lines = {"warning: key \"Txt\" is not one the library reads", "1 warning"};
  const std::vector<Finding> findings = FindingsOf(report);
  ASSERT_EQ(findings.size(), 2U);
  EXPECT_EQ(findings[0].key, "");
  EXPECT_TRUE(findings[0].warning);
  EXPECT_EQ(findings[1].text, "1 warning");
}

TEST(CheckFindingsTest, TakesTheContrastFiguresFromTheFinding) {
  const std::vector<Finding> findings = FindingsOfFile(XmlSettings({{"Link", String("#333333")}}));
  const std::optional<Finding> link = FindingWith(findings, "Link", "contrast of Link");
  ASSERT_TRUE(link) << Described(findings);
  ASSERT_TRUE(link->contrast);
  EXPECT_DOUBLE_EQ(link->contrast->ratio, 1.66);
  EXPECT_DOUBLE_EQ(link->contrast->leastRatio, 4.5);
  EXPECT_FALSE(link->contrast->passed);
  EXPECT_TRUE(link->contrast->counted);
}

struct ChangeCase {
  const char* body;
  ChangeKind kind;
  // The settings afterwards as JSON, or the start of the refusal's message and its key.
  const char* expected;
  const char* refusedKey = nullptr;
};

TEST(ChangedSettingsTest, AppliesWhatTheLibraryReadsAndRefusesTheRest) {
  StudioSettings current;
  current.colours = {{"Text", "#EEEEEE"}, {"heart", "#FF0000"}};
  current.enabled = true;
  const std::vector<ChangeCase> cases = {
      {R"({"Link": "#0AF"})", ChangeKind::kMerge,
       R"({"Link":"#0AF","Text":"#EEEEEE","enabled":true,"heart":"#FF0000"})"},
      {R"({"Text": null, "enabled": false})", ChangeKind::kMerge,
       R"({"enabled":false,"heart":"#FF0000"})"},
      {R"({"enabled": null, "2text": "336699:0.5"})", ChangeKind::kMerge,
       R"({"2text":"336699:0.5","Text":"#EEEEEE","heart":"#FF0000"})"},
      {R"({"MainBGColor": "#10182080"})", ChangeKind::kReplace, R"({"MainBGColor":"#10182080"})"},
      {R"({})", ChangeKind::kReplace, R"({})"},
      {R"({"Text": "#12"})", ChangeKind::kMerge, "\"#12\" names no colour (2 digits", "Text"},
      {R"({"Text": ""})", ChangeKind::kMerge, "\"\" names no colour (it is empty)", "Text"},
      {R"({"Text": "#FFFFFF:0.5000000000000000000000000000"})", ChangeKind::kMerge,
       "\"#FFFFFF:0.5000000000000000000000000000\" is too long", "Text"},
      {R"({"Text": 7})", ChangeKind::kMerge, "\"Text\" takes a colour string or null, not a number",
       "Text"},
      {R"({"enabled": "yes"})", ChangeKind::kMerge, "\"enabled\" takes true, false or null",
       "enabled"},
      {R"({"mainbgcolor": "#000000"})", ChangeKind::kMerge,
       R"("mainbgcolor" is not a key the library reads; did you mean "MainBGColor"?)", ""},
      // One bad key refuses the whole body: the good key before it is not applied either.
      {R"({"Link": "#0AF", "Textt": "#FFF"})", ChangeKind::kMerge, "\"Textt\" is not a key", ""},
      {R"(["Text"])", ChangeKind::kMerge, "the settings must be a JSON object", ""},
  };
  for (const ChangeCase& c : cases) {
    const json body = json::parse(c.body);
    if (c.refusedKey == nullptr) {
      EXPECT_EQ(SettingsJson(ChangedSettings(current, body, c.kind)).dump(), c.expected) << c.body;
      continue;
    }
    try {
      (void)ChangedSettings(current, body, c.kind);
      ADD_FAILURE() << c.body << " was not refused";
    } catch (const BadRequest& refused) {
      EXPECT_TRUE(std::string(refused.what()).starts_with(c.expected))
          << c.body << "\n  " << refused.what();
      EXPECT_EQ(refused.Key(), c.refusedKey) << c.body;
    }
  }
}

TEST(ParsedBodyTest, RefusesWhatIsNoJsonAndDeepNestingBeforeBuildingIt) {
  const std::vector<std::pair<std::string, const char*>> cases = {
      {R"({"Text": "#FFF", "enabled": true})", nullptr},
      {R"({"Text": ["[[[{{{"]})", nullptr},  // Brackets in strings do not count.
      {R"({"Text": "\"[[["})", nullptr},
      {R"({"Text": [[1]]})", "the settings must be a JSON object of strings"},
      {std::string(100000, '[') + std::string(100000, ']'),
       "the settings must be a JSON object of strings"},
      {R"({"Text": )", "the body is not JSON"},
      {"", "the body is not JSON"},
  };
  for (const auto& [body, refusal] : cases) {
    try {
      (void)ParsedBody(body);
      EXPECT_EQ(refusal, nullptr) << body.substr(0, 40) << " was not refused";
    } catch (const BadRequest& refused) {
      ASSERT_NE(refusal, nullptr) << body.substr(0, 40) << ": " << refused.what();
      EXPECT_TRUE(std::string(refused.what()).starts_with(refusal)) << refused.what();
    }
  }
}

TEST(SettingsFileTest, WhatTheStudioWritesReadsBackTheSameInBothFormats) {
  std::vector<StudioSettings> examples(3);
  examples[1].enabled = false;
  examples[2].enabled = true;
  examples[2].colours = {{"MainBGColor", "#101820"}, {"2text", "ABC:0.25"}, {"heart", "#FF000080"}};
  for (const StudioSettings& settings : examples) {
    for (const auto format :
         {device::PropertyListFormat::kXml, device::PropertyListFormat::kBinary}) {
      const std::string bytes = SettingsFileBytes(settings, format);
      const auto read = ReadSettingsFile(bytes);
      ASSERT_TRUE(std::holds_alternative<OpenedSettings>(read)) << std::get<std::string>(read);
      const auto& opened = std::get<OpenedSettings>(read);
      EXPECT_EQ(SettingsJson(opened.settings), SettingsJson(settings))
          << (format == device::PropertyListFormat::kXml ? "XML" : "binary");
      EXPECT_TRUE(opened.notes.empty());
    }
  }
}

TEST(SettingsFileTest, KeepsWhatItCanAndSaysWhatItCannot) {
  const std::string bytes = XmlSettings({
      {"enabled", String("no")},
      {"Text", String("GGHHII")},
      {"Link", "<integer>5</integer>"},
      {"Icon", String(std::string(300, 'F'))},
      {"Unknown", String("#FFFFFF")},
  });
  const auto read = ReadSettingsFile(bytes);
  ASSERT_TRUE(std::holds_alternative<OpenedSettings>(read));
  const auto& opened = std::get<OpenedSettings>(read);
  // A string that names no colour is kept: the checker says so beside its field.
  EXPECT_EQ(SettingsJson(opened.settings).dump(), R"({"Text":"GGHHII","enabled":false})");
  const std::vector<std::string> notes = {
      R"("Link" is the integer 5, not a colour string; left out)",
      R"("Icon" is a string of 300 bytes, too long for a colour; left out)",
      R"("enabled" is the string "no", not a boolean; kept as false, what the theme counts it as)",
  };
  EXPECT_EQ(opened.notes, notes);
}

TEST(SettingsFileTest, SaysWhyBytesAreNoSettings) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "the file is no settings file: the file is empty, not a property list"},
      {"hello", "the file is no settings file: not a property list"},
      {"<plist version=\"1.0\"><array/></plist>",
       "the file is no settings file: its root is an array, not a dictionary"},
      {std::string((std::size_t{1} << 20) + 1, ' '),
       "the file is larger than the library's limit of 1048576 bytes, so it reads as no settings"},
  };
  for (const auto& [bytes, why] : cases) {
    const auto read = ReadSettingsFile(bytes);
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << bytes.substr(0, 40);
    EXPECT_EQ(std::get<std::string>(read), why) << bytes.substr(0, 40);
  }
}

TEST(PresetsTest, OfferTheBuiltInColoursAndEveryNamedThemeAsValidSettings) {
  const json presets = PresetsJson();
  ASSERT_EQ(presets.size(), ThemeFiles().size() + 1) << presets.dump();
  EXPECT_EQ(presets[0].dump(), R"({"name":"Built-in colours","settings":{}})");
  EXPECT_GE(ThemeFiles().size(), 3U);
  for (const json& preset : presets) {
    // A preset goes back through the same door as a person's change.
    const StudioSettings settings = ChangedSettings({}, preset["settings"], ChangeKind::kReplace);
    EXPECT_EQ(SettingsJson(settings), preset["settings"]) << preset["name"];
  }
  EXPECT_EQ(presets[1]["name"], "Deep sea");
}

}  // namespace
}  // namespace studio
