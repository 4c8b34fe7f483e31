// The navigation and table controllers. The system version is read once per process, so this
// runs once per version, in processes of their own, with the version on the command line.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "tests/host/HostTest.h"

namespace {

device::SimulatedHost* launchedHost = nullptr;
bool largeTitles = false;  // Whether this process's system is 11.0.0 or later.

}  // namespace

device::SimulatedHost& Host() {
  return *launchedHost;
}

namespace {

class NavigationControllerTest : public HostTest {
 protected:
  id LoadedController(const char* className = "UINavigationController") {
    id controller = Keep(device::NewNavigationController(className));
    device::ClearTrace();
    Send(controller, "viewDidLoad");
    return controller;
  }
};

TEST_F(NavigationControllerTest, BarsTurnBlackAndOpaqueWithWhiteTitlesInElevenSteps) {
  id controller = LoadedController();
  std::vector<std::string> steps;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.receiverClass != "UIColor" && call.receiverClass != "NSString" &&
        call.receiverClass != "NSProcessInfo" && call.receiverClass != "UIDevice") {
      steps.push_back(call.Describe());
    }
  }
  std::vector<std::string> expected = {
      "UINavigationController viewDidLoad",
      "NSDictionary dictionaryWithObjects:forKeys:count: 1",
      "UINavigationController navigationBar",
      "UINavigationBar setBarStyle: 1",
      "UINavigationController navigationBar",
      "UINavigationBar setTranslucent: NO",
      "UINavigationController navigationBar",
      "UINavigationBar setBarTintColor: #00000000",
      "UINavigationController toolbar",
      "UIToolbar setBarTintColor: #00000000",
      "UINavigationController toolbar",
      "UIToolbar setBarStyle: 1",
      "UINavigationController navigationBar",
      "UINavigationBar setTitleTextAttributes: NSDictionary",
  };
  if (largeTitles) {
    expected.emplace_back("UINavigationController navigationBar");
    expected.emplace_back("UINavigationBar setLargeTitleTextAttributes: NSDictionary");
  }
  for (const char* step : {"UINavigationController navigationBar", "UINavigationBar setBarStyle: 1",
                           "UINavigationController setNeedsStatusBarAppearanceUpdate"}) {
    expected.emplace_back(step);
  }
  EXPECT_EQ(steps, expected);
  // Systems before 8.0 have no version question; their device tells the version as text.
  const bool oldSystem = device::SystemVersionAnswered()->majorVersion < 8;
  EXPECT_EQ(device::CountCalls("isOperatingSystemAtLeastVersion:"), oldSystem ? 0U : 1U);
  EXPECT_EQ(device::CountCalls("systemVersion"), oldSystem ? 1U : 0U);

  const device::BarState bar = device::NavigationBarStateOf(controller);
  const device::BarState toolbar = device::ToolbarStateOf(controller);
  EXPECT_EQ(bar.barStyle, 1);
  EXPECT_FALSE(bar.translucent);
  EXPECT_EQ(bar.barTintColor, "#00000000");
  EXPECT_EQ(toolbar.barStyle, 1);
  EXPECT_EQ(toolbar.barTintColor, "#00000000");
  const std::vector<std::pair<id, id>> entries = device::DictionaryEntries(bar.titleTextAttributes);
  ASSERT_EQ(entries.size(), 1u) << "white text colour and nothing else";
  EXPECT_EQ(device::StringText(entries[0].first), "NSColor");
  EXPECT_EQ(device::ColorText(entries[0].second), "#FFFFFFFF");
  EXPECT_EQ(bar.titleAttributesShared, largeTitles);
  EXPECT_EQ(bar.largeTitleTextAttributes != nullptr, largeTitles);
}

TEST_F(NavigationControllerTest, TheBarsAreSetWhateverTheControllerAndTheSettingsSaid) {
  WriteSettings({{"enabled", false}});
  id controller = LoadedController("IGNavigationController");
  const device::BarState bar = device::NavigationBarStateOf(controller);
  EXPECT_EQ(bar.barStyle, 1);
  EXPECT_FALSE(bar.translucent);
  EXPECT_EQ(bar.barTintColor, "#00000000");
  EXPECT_EQ(device::ToolbarStateOf(controller).barStyle, 1);
}

// Controllers whose bar or table view is missing: the getter answers nil.
id MissingPart(id, SEL) {
  return nullptr;
}

id NewControllerWithout(const char* superclass, const char* getter) {
  const std::string name = std::string("ControllersTestWithout_") + getter;
  Class cls = objc_getClass(name.c_str());
  if (cls == nullptr) {
    cls = device::DefineClass(name.c_str(), superclass, {}, [&](Class defined) {
      device::AddInstanceMethod(defined, getter, &MissingPart, "@@:");
    });
  }
  return device::Message<id>(device::Message<id>(reinterpret_cast<id>(cls), "alloc"), "init");
}

TEST_F(NavigationControllerTest, AMissingBarSkipsOnlyTheStepsAddressedToIt) {
  // No toolbar: the navigation bar is still finished, and the status bar asked again.
  id withoutToolbar = Keep(NewControllerWithout("UINavigationController", "toolbar"));
  device::ClearTrace();
  EXPECT_NO_THROW(Send(withoutToolbar, "viewDidLoad"));
  const device::BarState bar = device::NavigationBarStateOf(withoutToolbar);
  EXPECT_EQ(bar.barStyle, 1);
  EXPECT_FALSE(bar.translucent);
  EXPECT_EQ(bar.barTintColor, "#00000000");
  EXPECT_NE(bar.titleTextAttributes, nullptr);
  EXPECT_EQ(bar.largeTitleTextAttributes != nullptr, largeTitles);
  EXPECT_EQ(device::CountCalls("setNeedsStatusBarAppearanceUpdate", withoutToolbar), 1u);

  // No navigation bar: the toolbar is still finished, and the status bar asked again.
  id withoutBar = Keep(NewControllerWithout("UINavigationController", "navigationBar"));
  device::ClearTrace();
  EXPECT_NO_THROW(Send(withoutBar, "viewDidLoad"));
  const device::BarState toolbar = device::ToolbarStateOf(withoutBar);
  EXPECT_EQ(toolbar.barStyle, 1);
  EXPECT_EQ(toolbar.barTintColor, "#00000000");
  EXPECT_EQ(device::CountCalls("setNeedsStatusBarAppearanceUpdate", withoutBar), 1u);
}

class TableControllerTest : public HostTest {
 protected:
  std::string TableBackgroundAfterAppearing(bool animated) {
    id controller = Keep(device::NewObject("UITableViewController"));
    device::ClearTrace();
    Send(controller, "viewWillAppear:", animated);
    EXPECT_EQ(device::CountCalls("viewWillAppear:"), 0u) << "the saved viewWillAppear: ran";
    return BackgroundOf(Send<id>(controller, "tableView"));
  }
};

TEST_F(TableControllerTest, TheTableTakesTheMainBackgroundEachTimeItAppears) {
  EXPECT_EQ(TableBackgroundAfterAppearing(true), "#000000FF");
  EXPECT_EQ(TableBackgroundAfterAppearing(false), "#000000FF");
  WriteSettings({{"MainBGColor", std::string("#102030")}});
  EXPECT_EQ(TableBackgroundAfterAppearing(true), "#102030FF");
  WriteSettings({{"enabled", false}, {"MainBGColor", std::string("#102030")}});
  EXPECT_EQ(TableBackgroundAfterAppearing(false), "#102030FF");
}

TEST_F(TableControllerTest, AMissingTableViewMakesTheAppearanceChangeNothing) {
  id controller = Keep(NewControllerWithout("UITableViewController", "tableView"));
  device::ClearTrace();
  EXPECT_NO_THROW(Send(controller, "viewWillAppear:", true));
  EXPECT_EQ(device::CountCalls("viewWillAppear:"), 0u) << "the saved viewWillAppear: ran";
  EXPECT_EQ(device::CountCalls("setBackgroundColor:"), 0u);
}

TEST_F(TableControllerTest, TwoSixIsDroppedWithTheThemeOnAndPaintedWithItOff) {
  WriteSettings({{"MainBGColor", std::string("262626")}});
  EXPECT_EQ(TableBackgroundAfterAppearing(true), "nil");
  WriteSettings({{"enabled", false}, {"MainBGColor", std::string("262626")}});
  EXPECT_EQ(TableBackgroundAfterAppearing(true), "#262626FF");
}

}  // namespace

// A version the device cannot parse ends the process with its exception, as a failed test should.
int main(int argc, char** argv) {  // NOLINT(bugprone-exception-escape)
  testing::InitGoogleTest(&argc, argv);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s SYSTEM_VERSION\n", argv[0]);
    return 2;
  }
  device::SimulatedHost host({.systemVersion = argv[1]});
  host.Launch();
  launchedHost = &host;
  largeTitles = device::ParseSystemVersion(argv[1]).value().majorVersion >= 11;
  return RUN_ALL_TESTS();
}
