// The studio's pieces without a server: what it makes of the checker's lines and of a request's
// JSON, and its presets.
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
  // For contrast lines: "pass", "fail" or "not counted", with the least ratio and the ratio.
  const char* contrast = nullptr;
  double least = 0;
  double ratio = 0;
};

TEST(CheckFindingsTest, PutsEachLineOfTheCheckerBesideItsKey) {
  const std::vector<FindingCase> cases = {
      {"built-in heart on black", {}, "heart", "is 2.17:1", false, "not counted", 3, 2.17},
      {"built-in text on black", {}, "Text", "is 21.00:1", false, "pass", 4.5, 21},
      {"dark link", {{"Link", String("#333333")}}, "Link", "of Link", true, "fail", 4.5, 1.66},
      {"a pale icon", {{"Icon", String("#FFFFFF")}}, "Icon", "is 21.00:1", false, "pass", 3, 21},
      {"three digits", {{"2text", String("FFF")}}, "2text", "read differently", true},
      {"no colour", {{"Link", String("GGHHII")}}, "Link", "names no colour", true},
      {"a number", {{"heart", "<integer>5</integer>"}}, "heart", "not a colour string", true},
      {"a switch that is a string", {{"enabled", String("yes")}}, "enabled", "not a boolean", true},
      {"a misspelt key", {{"Txt", String("#FFFFFF")}}, "", "did you mean \"Text\"?", true},
      {"the summary", {}, "", "no warnings", false},
  };
  for (const FindingCase& c : cases) {
    const std::vector<Finding> findings = FindingsOf(CheckSettingsFile(XmlSettings(c.entries)));
    const std::optional<Finding> found = FindingWith(findings, c.key, c.fragment);
    ASSERT_TRUE(found) << c.what << ": no line of [" << c.key << "] holds " << c.fragment;
    EXPECT_EQ(found->warning, c.warning) << c.what;
    ASSERT_EQ(found->contrast.has_value(), c.contrast != nullptr) << c.what;
    if (c.contrast == nullptr) continue;
    const std::string verdict = found->contrast->passed    ? "pass"
                                : found->contrast->counted ? "fail"
                                                           : "not counted";
    EXPECT_EQ(verdict, c.contrast) << c.what << ": " << found->text;
    EXPECT_EQ(found->contrast->leastRatio, c.least) << c.what;
    EXPECT_DOUBLE_EQ(found->contrast->ratio, c.ratio) << c.what;
  }
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
      {R"({"Text": "#12"})", ChangeKind::kMerge, "\"#12\" names no colour (2 digits", "Text"},
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
