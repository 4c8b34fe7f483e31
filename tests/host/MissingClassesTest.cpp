// Hosts and systems that lack a class or a method: which classes exist is fixed for the whole
// process, so each scenario runs in a process of its own, named on the command line. The library
// must load, install every hook it can, and nothing for what is missing.
#include <gtest/gtest.h>
#include <objc/runtime.h>

#include <cstring>
#include <set>
#include <string>

#include "device/host/SimulatedHost.h"
#include "device/substrate/HookRecord.h"

namespace {

struct Scenario {
  const char* name;
  device::HostOptions options;
  // The hooks that must install nothing, as "Class selector"; every other hook installs.
  std::set<std::string> notInstalled;
  std::size_t installed;
};

const Scenario kScenarios[] = {
    {"every-class", {}, {}, 59},
    {"without-IGColors",
     {.missingClasses = {"IGColors"}},
     {"IGColors navigationBarOverlayColor", "IGColors navigationBarBackgroundColor",
      "IGColors separatorColor", "IGColors boldLinkColor", "IGColors linkColor",
      "IGColors textColor", "IGColors veryLightTextColor", "IGColors secondaryTextColor",
      "IGColors boldLinkHighlightedColor", "IGColors linkHighlightedColor",
      "IGColors IGRichTextFormat", "IGColors darkButtonColor", "IGColors heartColor"},
     46},
    {"without-IGRichTextFormat-getter",
     {.missingMethods = {"+[IGColors IGRichTextFormat]"}},
     {"IGColors IGRichTextFormat"},
     58},
    {"without-UIStatusBar",
     {.missingClasses = {"UIStatusBar"}},
     {"UIStatusBar foregroundColor"},
     58},
};

const Scenario* chosen = nullptr;
std::set<std::string> missingClassNames;

TEST(MissingClassesTest, InstallsEveryHookItCanAndNothingForWhatIsMissing) {
  const std::vector<device::HookRecord>& hooks = device::HookRecords();
  ASSERT_FALSE(hooks.empty());
  std::set<std::string> seenMissing;
  std::size_t installed = 0;
  for (const device::HookRecord& hook : hooks) {
    installed += hook.installed ? 1 : 0;
    // A missing class reaches the hooking layer as nil, so its records carry no class name.
    if (!hook.installed) {
      seenMissing.insert((hook.className.empty() ? std::string("?") : hook.className) + " " +
                         hook.selector);
    }
  }
  std::set<std::string> expected;
  for (const std::string& name : chosen->notInstalled) {
    const std::string cls = name.substr(0, name.find(' '));
    expected.insert((missingClassNames.count(cls) != 0 ? "?" : cls) + name.substr(cls.size()));
  }
  EXPECT_EQ(seenMissing, expected);
  EXPECT_EQ(installed, chosen->installed);
  EXPECT_EQ(hooks.size(), 59u) << "every entry of the table goes to the hooking layer";
}

TEST(MissingClassesTest, TheCategoryReachesUIColorWhateverElseIsMissing) {
  EXPECT_TRUE(class_respondsToSelector(objc_getClass("UIColor"), sel_registerName("isSameColor:")));
  EXPECT_TRUE(class_respondsToSelector(objc_getClass("UIColor"), sel_registerName("initWithHex:")));
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (const Scenario& scenario : kScenarios) {
    if (argc > 1 && std::strcmp(argv[1], scenario.name) == 0) chosen = &scenario;
  }
  if (chosen == nullptr) {
    std::fprintf(stderr, "usage: %s SCENARIO (every-class, without-IGColors, ...)\n", argv[0]);
    return 2;
  }
  missingClassNames.insert(chosen->options.missingClasses.begin(),
                           chosen->options.missingClasses.end());
  device::SimulatedHost host(chosen->options);
  host.Launch();
  return RUN_ALL_TESTS();
}
