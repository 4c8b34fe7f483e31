// Loading the library into the host: which hooks the installer asks for, in which order, which
// class lookups it makes for them, and that it reads no settings. A process of its own, watched
// from its start through the load: this executable defines objc_getClass and MSHookMessageEx
// itself, so that the library's calls reach these definitions first and are written down before
// they go on to the runtime's and the hooking layer's own.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <objc/runtime.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/filesystem/DeviceFileSystem.h"
#include "device/host/SimulatedHost.h"
#include "device/runtime/Runtime.h"
#include "device/substrate/HookRecord.h"
#include "substrate.h"

namespace {

// What the library asked for while it loaded, in order: "lookup IGColors" for a class lookup,
// "+[IGColors linkColor]" for a hook ("-[" for an instance method, "nil" for no class).
std::vector<std::string> libraryCalls;
bool loading = false;

bool CalledByTheLibrary(void* returnAddress) {
  Dl_info caller{};
  return dladdr(returnAddress, &caller) != 0 && caller.dli_fname != nullptr &&
         std::string_view(caller.dli_fname).ends_with("/libUmbravista.so");
}

template <typename Function>
Function* Next(const char* name) {
  return reinterpret_cast<Function*>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" Class objc_getClass(const char* name) {
  static auto* next = Next<Class(const char*)>("objc_getClass");
  if (loading && CalledByTheLibrary(__builtin_return_address(0))) {
    libraryCalls.push_back(std::string("lookup ") + name);
  }
  return next(name);
}

extern "C" void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* saved) {
  static auto* next = Next<void(Class, SEL, IMP, IMP*)>("MSHookMessageEx");
  if (loading) {
    libraryCalls.push_back(cls == nullptr
                               ? std::string("nil")
                               : std::string(class_isMetaClass(cls) ? "+[" : "-[") +
                                     class_getName(cls) + " " + sel_getName(selector) + "]");
  }
  next(cls, selector, replacement, saved);
}

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

std::string ClassOf(const std::string& hook) {
  return hook.substr(2, hook.find(' ') - 2);
}

// "+[IGColors linkColor]" for a record of the hooking layer.
std::string Describe(const device::HookRecord& record) {
  return (record.metaclass ? "+[" : "-[") + record.className + " " + record.selector + "]";
}

// Where each settings read would go, and how often it was opened from the start of the process
// until the library had loaded.
constexpr const char* kSettingsPath =
    "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";
std::uint64_t settingsOpensWhileLoading = 0;

// Fault pinned: two adjacent rows of the hook table swapped passed every test.
TEST(LoadingTest, InstallsTheFiftyNineHooksOfTheTableInItsOrder) {
  const std::vector<device::HookRecord> records = device::HookRecords();
  ASSERT_EQ(records.size(), std::size(kHookTable));
  for (std::size_t i = 0; i < records.size(); ++i) {
    SCOPED_TRACE("entry " + std::to_string(i + 1));
    EXPECT_EQ(Describe(records[i]), kHookTable[i]);
    EXPECT_TRUE(records[i].installed);
  }
}

// One lookup serves a run of consecutive entries of one class, and comes right before its hooks.
TEST(LoadingTest, LooksEachRunOfEntriesOfOneClassUpOnceJustBeforeItsHooks) {
  std::vector<std::string> expected;
  std::string previousClass;
  for (const char* hook : kHookTable) {
    if (ClassOf(hook) != previousClass) expected.push_back("lookup " + ClassOf(hook));
    previousClass = ClassOf(hook);
    expected.emplace_back(hook);
  }
  ASSERT_EQ(expected.size(), 59u + 38u);
  // The category on UIColor is attached before the table is walked, and finds its class too; the
  // table's part begins with the lookup for its first hook.
  std::size_t firstHook = 0;
  while (firstHook < libraryCalls.size() && libraryCalls[firstHook].starts_with("lookup ")) {
    ++firstHook;
  }
  ASSERT_GT(firstHook, 0u) << "no class was looked up before the first hook";
  const std::vector<std::string> tablePart(
      libraryCalls.begin() + static_cast<std::ptrdiff_t>(firstHook - 1), libraryCalls.end());
  EXPECT_EQ(tablePart, expected);
}

// Fault pinned: a settings read added at load passed every test.
TEST(LoadingTest, ReadsNoSettingsFromTheStartOfTheProcessThroughTheLoad) {
  EXPECT_EQ(settingsOpensWhileLoading, 0u);
  // The count does watch the library's reads: the first gated call after the load reads.
  device::AutoreleasePool pool;
  device::Message<id>(reinterpret_cast<id>(objc_getClass("IGColors")), "linkColor");
  EXPECT_GT(device::OpensOf(kSettingsPath), 0u);
}

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::SimulatedHost host;
  loading = true;
  host.Launch();
  loading = false;
  settingsOpensWhileLoading = device::OpensOf(kSettingsPath);
  return RUN_ALL_TESTS();
}
