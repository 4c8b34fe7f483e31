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

// A bar's state in one line: "style 1, opaque, tint #00000000, white title, large title".
std::string Described(const device::BarState& bar) {
  std::string text = "style " + std::to_string(bar.barStyle) +
                     (bar.translucent ? ", translucent" : ", opaque") + ", tint " +
                     bar.barTintColor;
  if (bar.titleTextAttributes != nullptr) {
    const auto entries = device::DictionaryEntries(bar.titleTextAttributes);
    const bool white = entries.size() == 1 && device::StringText(entries[0].first) == "NSColor" &&
                       device::ColorText(entries[0].second) == "#FFFFFFFF";
    text += white ? ", white title" : ", other title";
  }
  if (bar.largeTitleTextAttributes != nullptr) {
    text += bar.titleAttributesShared ? ", large title" : ", other large title";
  }
  return text;
}

std::string BarOn() {
  return std::string("style 1, opaque, tint #00000000, white title") +
         (largeTitles ? ", large title" : "");
}
// The toolbar holds no translucency and no title.
const std::string kToolbarOn = "style 1, opaque, tint #00000000";

// Controllers whose bar or table view is missing: the getter answers nil.
id MissingPart(id, SEL) {
  return nullptr;
}

id NewControllerWithout(const char* superclass, const char* getter) {
  const std::string name = std::string("ControllersTestWithout_") + getter;
  Class cls = objc_getClass(name.c_str());
  if (cls == nullptr) {
    cls = device::DefineClass(name.c_str(), superclass, {}, [&](Class defined) {
      device::AddInstanceMethod(defined, getter, &MissingPart);
    });
  }
  return device::Message<id>(device::Message<id>(reinterpret_cast<id>(cls), "alloc"), "init");
}

using ControllersTest = HostTest;

TEST_F(ControllersTest, NavigationBarsTurnBlackAndOpaqueWithWhiteTitlesInTheirSteps) {
  id controller = Keep(device::NewNavigationController());
  device::ClearTrace();
  Send(controller, "viewDidLoad");
  std::vector<std::string> steps;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.receiverClass.starts_with("UINavigation") || call.receiverClass == "UIToolbar" ||
        call.receiverClass == "NSDictionary") {
      steps.push_back(call.Describe());
    }
  }
  const std::string bar = "UINavigationController navigationBar";
  const std::string toolbar = "UINavigationController toolbar";
  std::vector<std::string> expected = {"UINavigationController viewDidLoad",
                                       "NSDictionary dictionaryWithObjects:forKeys:count: 1",
                                       bar,
                                       "UINavigationBar setBarStyle: 1",
                                       bar,
                                       "UINavigationBar setTranslucent: NO",
                                       bar,
                                       "UINavigationBar setBarTintColor: #00000000",
                                       toolbar,
                                       "UIToolbar setBarTintColor: #00000000",
                                       toolbar,
                                       "UIToolbar setBarStyle: 1",
                                       bar,
                                       "UINavigationBar setTitleTextAttributes: NSDictionary"};
  if (largeTitles) {
    expected.insert(expected.end(),
                    {bar, "UINavigationBar setLargeTitleTextAttributes: NSDictionary"});
  }
  expected.insert(expected.end(), {bar, "UINavigationBar setBarStyle: 1",
                                   "UINavigationController setNeedsStatusBarAppearanceUpdate"});
  EXPECT_EQ(steps, expected);
  // Systems before 8.0 have no version question; their device tells the version as text.
  const bool oldSystem = device::SystemVersionAnswered()->majorVersion < 8;
  EXPECT_EQ(device::CountCalls("isOperatingSystemAtLeastVersion:"), oldSystem ? 0U : 1U);
  EXPECT_EQ(device::CountCalls("systemVersion"), oldSystem ? 1U : 0U);
  EXPECT_EQ(Described(device::NavigationBarStateOf(controller)), BarOn());
  EXPECT_EQ(Described(device::ToolbarStateOf(controller)), kToolbarOn);
}

TEST_F(ControllersTest, EachBarPresentIsSetWhateverTheControllerAndTheSettings) {
  WriteSettings({{"enabled", false}});
  id host = Keep(device::NewNavigationController("IGNavigationController"));
  id withoutToolbar = Keep(NewControllerWithout("UINavigationController", "toolbar"));
  id withoutBar = Keep(NewControllerWithout("UINavigationController", "navigationBar"));
  for (id controller : {host, withoutToolbar, withoutBar}) {
    SCOPED_TRACE(object_getClassName(controller));
    device::ClearTrace();
    EXPECT_NO_THROW(Send(controller, "viewDidLoad"));
    EXPECT_EQ(device::CountCalls("setNeedsStatusBarAppearanceUpdate", controller), 1U);
    if (controller == withoutToolbar) {
      EXPECT_EQ(Described(device::NavigationBarStateOf(controller)), BarOn());
    } else if (controller == host) {
      // The host's controller keeps large title attributes of its own on older systems.
      EXPECT_TRUE(Described(device::NavigationBarStateOf(controller))
                      .starts_with("style 1, opaque, tint #00000000, white title"));
    }
    if (controller != withoutToolbar) {
      EXPECT_EQ(Described(device::ToolbarStateOf(controller)), kToolbarOn);
    }
  }
}

TEST_F(ControllersTest, TheTableTakesTheMainBackgroundEachTimeItAppears) {
  struct Case {
    device::SettingEntries settings;
    bool animated;
    const char* background;
  };
  const Case cases[] = {
      {{}, true, "#000000FF"},
      {{}, false, "#000000FF"},
      {{{"MainBGColor", std::string("#102030")}}, true, "#102030FF"},
      {{{"enabled", false}, {"MainBGColor", std::string("#102030")}}, false, "#102030FF"},
      // The table's setter drops 262626 while the theme is on.
      {{{"MainBGColor", std::string("262626")}}, true, "nil"},
      {{{"enabled", false}, {"MainBGColor", std::string("262626")}}, true, "#262626FF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.background);
    c.settings.empty() ? RemoveSettings() : WriteSettings(c.settings);
    id controller = Keep(device::NewObject("UITableViewController"));
    device::ClearTrace();
    Send(controller, "viewWillAppear:", c.animated);
    EXPECT_EQ(device::CountCalls("viewWillAppear:"), 0U) << "the saved viewWillAppear: ran";
    EXPECT_EQ(BackgroundOf(Send<id>(controller, "tableView")), c.background);
  }
  id withoutTable = Keep(NewControllerWithout("UITableViewController", "tableView"));
  device::ClearTrace();
  EXPECT_NO_THROW(Send(withoutTable, "viewWillAppear:", true));
  EXPECT_EQ(device::CountCalls("setBackgroundColor:"), 0U);
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
