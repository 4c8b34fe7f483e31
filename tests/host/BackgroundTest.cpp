// The background replacements on UIView, through real dispatch in the simulated host.
#include "tests/host/HostTest.h"

namespace {

using device::CountCalls;

const device::SettingEntries kNone = {};
const device::SettingEntries kThemeOff = {{"enabled", false}};
const device::SettingEntries kMain101010 = {{"MainBGColor", std::string("#101010")}};

class BackgroundTest : public HostTest {
 protected:
  // A new view whose background (hex, or nil) and layer border (hex, or none for the default
  // black) reached it with the theme off, so that they passed no replacement. Leaves no settings.
  id ViewHolding(const char* className, const char* backgroundHex, double alpha = 1.0,
                 const char* borderHex = nullptr) {
    id view = MakeView(className);
    device::PausedTrace quiet;
    WriteSettings(kThemeOff);
    if (backgroundHex != nullptr) {
      Send(view, "setBackgroundColor:", Keep(NewHexColour(backgroundHex, alpha)));
    }
    if (borderHex != nullptr) {
      Send(Send<id>(view, "layer"),
           "setBorderColor:", Send<CGColorRef>(Keep(NewHexColour(borderHex)), "CGColor"));
    }
    RemoveSettings();
    return view;
  }
};

// Rows run in order in one host, each with its own settings file: the file changing between calls
// is seen at the next call. Each list's every entry is ColourListsTest's; these rows are the
// settings, the alpha and the colours that are not plain RGB.
TEST_F(BackgroundTest, TheSetterSwapsListedColoursDropsTwoSixAndPassesTheRest) {
  struct Case {
    const device::SettingEntries& settings;
    const char* requested;  // Six digits, "pattern", or nullptr for nil.
    double alpha;
    const char* stored;  // What the view holds after; it held #336699 before.
    std::size_t savedCalls;
  };
  const device::SettingEntries mainInSwapList = {{"MainBGColor", std::string("FFFFFF")}};
  const device::SettingEntries yesBlue = {{"enabled", std::string("YES")},
                                          {"MainBGColor", std::string("#0000FF")}};
  const Case cases[] = {
      {kNone, "FFFFFF", 1.0, "#000000FF", 1},
      {kNone, "FFFFFF", 0.5, "#FFFFFF7F", 1},
      {kNone, "808080", 1.0, "#808080FF", 1},
      {kNone, "262626", 0.5, "#2626267F", 1},
      {kNone, nullptr, 0.0, "nil", 1},
      {kNone, "pattern", 0.0, "pattern", 1},
      {kNone, "262626", 1.0, "#336699FF", 0},
      {kMain101010, "FFFFFF", 1.0, "#101010FF", 1},
      {mainInSwapList, "EEEEEE", 1.0, "#FFFFFFFF", 1},
      {kThemeOff, "FFFFFF", 1.0, "#FFFFFFFF", 1},
      {kThemeOff, "262626", 1.0, "#262626FF", 1},
      {yesBlue, "FFFFFF", 1.0, "#0000FFFF", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.requested ? c.requested : "nil") + " at alpha " +
                 std::to_string(c.alpha) + ", " + std::to_string(c.settings.size()) + " settings");
    id view = ViewHolding("UIView", "336699");
    c.settings.empty() ? RemoveSettings() : WriteSettings(c.settings);
    id requested = c.requested == nullptr ? nullptr
                   : std::string(c.requested) == "pattern"
                       ? Keep(device::NewPatternColor())
                       : Keep(NewHexColour(c.requested, c.alpha));
    device::ClearTrace();
    Send(view, "setBackgroundColor:", requested);
    EXPECT_EQ(BackgroundOf(view), c.stored);
    EXPECT_EQ(CountCalls("setBackgroundColor:", view), c.savedCalls);
  }
}

TEST_F(BackgroundTest, LayoutRepaintsListedBackgroundsAndBordersAfterTheSavedLayout) {
  struct Case {
    const device::SettingEntries& settings;
    const char* background;  // nullptr: none.
    double alpha;
    const char* border;  // nullptr: the default black.
    const char* backgroundAfter;
    const char* borderAfter;
    std::size_t savedLayouts;
  };
  const device::SettingEntries mainTwoSix = {{"MainBGColor", std::string("262626")}};
  const Case cases[] = {
      {kMain101010, "FFFFFF", 1.0, nullptr, "#101010FF", "#000000FF", 1},
      {kMain101010, "F5F5F5", 1.0, nullptr, "#101010FF", "#000000FF", 1},
      {kMain101010, "FFFFFF", 0.49, nullptr, "#FFFFFF7C", "#000000FF", 1},
      {kMain101010, "F7F7F7", 1.0, nullptr, "#F7F7F7FF", "#000000FF", 1},
      {kMain101010, nullptr, 1.0, nullptr, "nil", "#000000FF", 1},
      {kMain101010, "F5F5F5", 1.0, "CCCCCC", "#101010FF", "#101010FF", 1},
      {kNone, "336699", 1.0, "A05DCD", "#336699FF", "#000000FF", 1},
      // The repaint with 262626 passes the setter, which drops it; the border takes it.
      {mainTwoSix, "F5F5F5", 1.0, "CCCCCC", "#F5F5F5FF", "#262626FF", 1},
      {kThemeOff, "FFFFFF", 1.0, "CCCCCC", "#FFFFFFFF", "#CCCCCCFF", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.background ? c.background : "nil") + " at alpha " +
                 std::to_string(c.alpha) + ", border " + (c.border ? c.border : "default"));
    id view = ViewHolding("UIView", c.background, c.alpha, c.border);
    c.settings.empty() ? RemoveSettings() : WriteSettings(c.settings);
    device::ClearTrace();
    Send(view, "layoutSubviews");
    EXPECT_EQ(BackgroundOf(view), c.backgroundAfter);
    EXPECT_EQ(BorderOf(view), c.borderAfter);
    EXPECT_EQ(CountCalls("layoutSubviews", view), c.savedLayouts);
  }
}

TEST_F(BackgroundTest, LayoutRepaintsTheBackgroundThenTheBorder) {
  id view = ViewHolding("UIView", "F5F5F5", 1.0, "CCCCCC");
  WriteSettings(kMain101010);
  device::ClearTrace();
  Send(view, "layoutSubviews");
  EXPECT_EQ(Steps({"layoutSubviews", "backgroundColor", "setBackgroundColor:", "layer",
                   "borderColor", "setBorderColor:"}),
            "UIView layoutSubviews | UIView backgroundColor | UIView setBackgroundColor: #101010FF "
            "| UIView layer | CALayer borderColor | CALayer setBorderColor: #101010FF");
}

TEST_F(BackgroundTest, ReachesSubclassesWhetherTheyInheritOrCallSuper) {
  // IGFeedView's own layoutSubviews calls super: its own, then UIView's saved one, once.
  const std::pair<const char*, std::size_t> classes[] = {
      {"UIControl", 1}, {"UIScrollView", 2}, {"IGFeedView", 2}, {"IGPlainView", 1}};
  for (const auto& [className, layouts] : classes) {
    SCOPED_TRACE(className);
    id view = ViewHolding(className, "FFFFFF", 1.0, "EEEEEE");
    device::ClearTrace();
    Send(view, "layoutSubviews");
    EXPECT_EQ(BackgroundOf(view), "#000000FF");
    EXPECT_EQ(BorderOf(view), "#000000FF");
    EXPECT_EQ(CountCalls("layoutSubviews", view), layouts);
  }
}

}  // namespace
