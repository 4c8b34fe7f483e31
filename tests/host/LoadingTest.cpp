// Loading the library into hosts and systems that lack a class or a method: the library asks the
// hooking layer for every entry of its table, in the table's order, installs every hook it can and
// nothing for what is missing, attaches its category to UIColor, and reads no settings from the
// start of the process through the load. Which classes exist is fixed for a whole process, so each
// scenario runs in a process of its own, named on the command line.
#include <gtest/gtest.h>
#include <objc/runtime.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "device/filesystem/DeviceFileSystem.h"
#include "device/host/SimulatedHost.h"
#include "device/substrate/HookRecord.h"

namespace {

// The hook table, all 59 entries in installation order: class, class or instance method, selector.
const char* const kHookTable[] = {
    "-[UITextInputTraits keyboardAppearance]",
    "+[IGColors navigationBarOverlayColor]",
    "+[IGColors navigationBarBackgroundColor]",
    "+[IGColors separatorColor]",
    "+[IGColors boldLinkColor]",
    "+[IGColors linkColor]",
    "+[IGColors textColor]",
    "+[IGColors veryLightTextColor]",
    "+[IGColors secondaryTextColor]",
    "+[IGColors boldLinkHighlightedColor]",
    "+[IGColors linkHighlightedColor]",
    "+[IGColors IGRichTextFormat]",
    "+[IGColors darkButtonColor]",
    "+[IGColors heartColor]",
    "+[IGRichTextFormat defaultTextColor]",
    "+[IGRichTextFormat displayName]",
    "+[IGRichTextFormat separatorColor]",
    "-[RCTTextAttributes effectiveForegroundColor]",
    "-[UITextField setTextColor:]",
    "-[UITextFieldLabel setTextColor:]",
    "-[UITextSelectionView caretViewColor]",
    "-[UIView layoutSubviews]",
    "-[UIView setBackgroundColor:]",
    "-[_UIStatusBarBackgroundView layoutSubviews]",
    "-[UIStatusBarBackgroundView layoutSubviews]",
    "-[UITableViewCellSelectedBackground layoutSubviews]",
    "-[UITableViewController viewWillAppear:]",
    "-[IGDirectInboxThreadCell layoutSubviews]",
    "-[IGSelectAlbumCell layoutSubviews]",
    "-[IGCommentTextRedesignView layoutSubviews]",
    "-[IGFeedItemInlineComposerCell layoutSubviews]",
    "-[IGGrowingTextView layoutSubviews]",
    "-[IGGrowingTextView textColor]",
    "-[IGGrowingTextView setTextColor:]",
    "-[UINavigationController preferredStatusBarStyle]",
    "-[UINavigationController viewDidLoad]",
    "-[_UIStatusBarForegroundView layoutSubviews]",
    "-[_UIVisualEffectBackdropView layoutSubviews]",
    "-[_UINavigationBarContentView layoutSubviews]",
    "-[IGUFIButtonBarView layoutSubviews]",
    "-[IGCommentCell showHighlight]",
    "-[IGThreadInfoUserTableViewCell setSelected:animated:]",
    "-[IGTableViewCell setSelected:animated:]",
    "-[RCTTextView setTextStorage:contentFrame:descendantViews:]",
    "-[RCTUITextView textDidChange]",
    "-[RCTImageView setImage:]",
    "-[UIStatusBar foregroundColor]",
    "-[_UIStatusBar foregroundColor]",
    "-[IGStringStyle defaultColor]",
    "-[UILabel layoutSubviews]",
    "-[UILabel setTextColor:]",
    "-[_UIBarBackground layoutSubviews]",
    "-[UITextView layoutSubviews]",
    "-[UITextView textColor]",
    "-[UITextView setTextColor:]",
    "-[IGTextButton layoutSubviews]",
    "-[IGSettingsButton layoutSubviews]",
    "-[IGButton layoutSubviews]",
    "-[IGTooltipView layoutSubviews]",
};

struct Scenario {
  const char* name;
  device::HostOptions options;
  std::set<std::string> notInstalled;  // Entries of the table, as written there.
};

const Scenario kScenarios[] = {
    {"every-class", {}, {}},
    {"without-IGColors",
     {.missingClasses = {"IGColors"}},
     {"+[IGColors navigationBarOverlayColor]", "+[IGColors navigationBarBackgroundColor]",
      "+[IGColors separatorColor]", "+[IGColors boldLinkColor]", "+[IGColors linkColor]",
      "+[IGColors textColor]", "+[IGColors veryLightTextColor]", "+[IGColors secondaryTextColor]",
      "+[IGColors boldLinkHighlightedColor]", "+[IGColors linkHighlightedColor]",
      "+[IGColors IGRichTextFormat]", "+[IGColors darkButtonColor]", "+[IGColors heartColor]"}},
    {"without-IGRichTextFormat-getter",
     {.missingMethods = {"+[IGColors IGRichTextFormat]"}},
     {"+[IGColors IGRichTextFormat]"}},
    {"without-UIStatusBar",
     {.missingClasses = {"UIStatusBar"}},
     {"-[UIStatusBar foregroundColor]"}},
};

const Scenario* chosen = nullptr;
std::uint64_t settingsOpensWhileLoading = 0;

// Fault pinned: two adjacent rows of the hook table swapped passed every test.
TEST(LoadingTest, AsksForEveryHookInTableOrderAndInstallsAllButTheMissing) {
  std::vector<std::string> expected;
  for (const std::string hook : kHookTable) {
    if (!chosen->notInstalled.contains(hook)) {
      expected.push_back(hook);
      continue;
    }
    // A missing class reaches the hooking layer as nil, with no metaclass; a missing method as
    // itself.
    const std::string cls = hook.substr(2, hook.find(' ') - 2);
    const bool classMissing =
        std::find(chosen->options.missingClasses.begin(), chosen->options.missingClasses.end(),
                  cls) != chosen->options.missingClasses.end();
    expected.push_back(classMissing ? "-[nil" + hook.substr(2 + cls.size()) + " skipped"
                                    : hook + " skipped");
  }
  std::vector<std::string> records;
  for (const device::HookRecord& record : device::HookRecords()) {
    records.push_back(device::Describe(record));
  }
  EXPECT_EQ(records, expected);
}

TEST(LoadingTest, AttachesTheCategoryAndReadsNoSettingsWhileLoading) {
  EXPECT_TRUE(class_respondsToSelector(objc_getClass("UIColor"), sel_registerName("isSameColor:")));
  EXPECT_TRUE(class_respondsToSelector(objc_getClass("UIColor"), sel_registerName("initWithHex:")));
  // Fault pinned: a settings read added at load passed every test.
  EXPECT_EQ(settingsOpensWhileLoading, 0U);
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
  device::SimulatedHost host(chosen->options);
  host.Launch();
  settingsOpensWhileLoading = device::OpensOf(device::kSettingsDevicePath);
  return RUN_ALL_TESTS();
}
