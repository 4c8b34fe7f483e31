// The themed screens as JSON, for a few settings files, against what the theme does to those
// views. The host loads the library once; each case writes its settings and builds the screens
// again, as the settings are read afresh at every query.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <sstream>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/SettingsWriter.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"
#include "tools/preview/ScreenJson.h"
#include "tools/preview/Screens.h"

namespace {

device::SimulatedHost* host = nullptr;

// The screens' JSON with `settings` in place (none: no settings file).
std::string ThemedJson(const device::SettingEntries* settings) {
  std::error_code ignored;
  std::filesystem::remove(host->SettingsPath(), ignored);
  if (settings != nullptr) device::WriteSettingsFile(host->SettingsPath(), *settings);
  device::PausedTrace quiet;
  device::AutoreleasePool pool;
  std::vector<preview::Screen> screens = preview::BuildScreens();
  std::string json = preview::ScreensJson(screens);
  preview::ReleaseScreens(screens);
  return json;
}

// The JSON object of the view at `path` in the screen titled `title`, parsed.
nlohmann::json ViewObject(const std::string& json, const std::string& title,
                          const std::string& path) {
  const nlohmann::json parsed = nlohmann::json::parse(json);
  for (const nlohmann::json& screen : parsed.at("screens")) {
    if (screen.at("title") != title) continue;
    for (const nlohmann::json& view : screen.at("views")) {
      if (view.at("path") == path) return view;
    }
  }
  ADD_FAILURE() << "no view " << path << " on " << title;
  return nlohmann::json::object();
}

struct Expectation {
  const char* screen;
  const char* path;
  const char* field;  // "backgroundColor": "#000000FF"
};

// Each expectation's field, written as `"name": value`, must be what the view holds.
void ExpectViews(const std::string& json, const std::vector<Expectation>& expectations) {
  for (const Expectation& e : expectations) {
    const nlohmann::json object = ViewObject(json, e.screen, e.path);
    const nlohmann::json field = nlohmann::json::parse(std::string("{") + e.field + "}");
    for (const auto& [name, value] : field.items()) {
      EXPECT_EQ(object.value(name, nlohmann::json()), value)
          << e.screen << " " << e.path << " should hold " << e.field << "\n  " << object.dump();
    }
  }
}

const char* kFeedRoot = "UIView";
const char* kFeedUserName = "UIView/IGFeedView[4]/UILabel[1]";
const char* kFeedCaption = "UIView/UILabel[7]";
const char* kComposerBackground = "UIView/IGFeedItemInlineComposerCell[11]/UIImageView[0]";
const char* kInboxTable = "UIView/UITableView[4]";
const char* kInboxMessage = "UIView/UITableView[4]/IGDirectInboxThreadCell[0]/UILabel[0]";
const char* kComposeField = "UIView/UITextField[4]";
const char* kComposerText = "UIView/IGFeedItemInlineComposerCell[11]/IGGrowingTextView[1]";

TEST(PreviewJsonTest, BuiltInColoursPaintTheScreensDark) {
  const std::string json = ThemedJson(nullptr);
  ExpectViews(
      json,
      {
          {"Feed", kFeedRoot, R"("backgroundColor": "#000000FF")"},
          {"Feed", kFeedUserName, R"("textColor": "#FF6400FF")"},
          {"Feed", kFeedCaption, R"("textColor": "#FFFFFFFF")"},
          {"Feed", kComposerBackground, "\"attached\": false"},
          {"Direct inbox", kInboxTable, R"("backgroundColor": "#000000FF")"},
          {"Direct inbox", kInboxMessage, R"("textColor": "#E7E7E7FF")"},
          // A listed border takes the main background; one in no list stays.
          {"Compose", kComposeField, R"("frame": [16, 80, 288, 36], "borderColor": "#000000FF")"},
          {"Feed", kComposerText, R"("frame": [12, 8, 296, 34], "borderColor": "#DBDBDBFF")"},
      });
}

TEST(PreviewJsonTest, ThemeOffLeavesTheHostsOwnColoursButStillDetachesBackgrounds) {
  const device::SettingEntries off = {{"enabled", false}};
  const std::string json = ThemedJson(&off);
  ExpectViews(json, {
                        {"Feed", kFeedRoot, R"("backgroundColor": "#FFFFFFFF")"},
                        {"Feed", kFeedUserName, R"("textColor": "#262626FF")"},
                        {"Feed", kComposerBackground, "\"attached\": false"},
                        {"Direct inbox", kInboxMessage, R"("textColor": "#3897F0FF")"},
                        {"Compose", kComposeField, R"("borderColor": "#EEEEEEFF")"},
                    });
}

TEST(PreviewJsonTest, AMainBackgroundOfTwoSixIsStoredBySwapsButNotByRepaints) {
  const device::SettingEntries grey = {{"MainBGColor", std::string("262626")}};
  const std::string json = ThemedJson(&grey);
  ExpectViews(json, {
                        // White is swapped for the main background at the setter.
                        {"Feed", kFeedRoot, R"("backgroundColor": "#262626FF")"},
                        // The table's repaint with 262626 is dropped; it keeps the swapped white.
                        {"Direct inbox", kInboxTable, R"("backgroundColor": "#262626FF")"},
                    });
}

// Regression: names were written with only quotes and backslashes escaped, so a control
// character in a class name, a title or a path made the output no JSON at all.
TEST(PreviewJsonTest, WritesAnyNameAsValidJson) {
  device::PausedTrace quiet;
  const std::string className = std::string("Odd\x01\"View\\") + '\t';
  Class odd = objc_allocateClassPair(objc_getClass("UIView"), className.c_str(), 0);
  objc_registerClassPair(odd);
  id view = device::NewView(className.c_str());
  const preview::Screen screen{"Title \"quoted\"\n\x1F", view, {{view, "Odd\x02/Path\x7F"}}, {}};
  const nlohmann::json parsed = nlohmann::json::parse(preview::ScreensJson({screen}));
  const nlohmann::json& written = parsed.at("screens").at(0);
  EXPECT_EQ(written.at("title"), screen.title);
  EXPECT_EQ(written.at("views").at(0).at("class"), className);
  EXPECT_EQ(written.at("views").at(0).at("path"), screen.views[0].path);
  device::Message(view, "release");
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::SimulatedHost launched;
  launched.Launch();
  host = &launched;
  return RUN_ALL_TESTS();
}
