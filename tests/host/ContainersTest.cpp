// The layout passes of container and chrome views: paint, label, detach and tint.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/host/HostTest.h"
#include "tests/host/PaintedContainers.h"

namespace {

using umbravista::testkit::kPaintedContainers;

class ContainersTest : public HostTest {
 protected:
  // Each of these views has a layoutSubviews of its own that calls UIView's, whose replacement
  // runs UIView's saved layout once with the theme on and twice with it off: one run of the view's
  // saved layout leaves two "layoutSubviews" calls in the trace with the theme on, three with it
  // off.
  static std::size_t SavedLayouts(id view, bool themeOn) {
    const std::size_t calls = device::CountCalls("layoutSubviews", view);
    const std::size_t perRun = themeOn ? 2 : 3;
    EXPECT_EQ(calls % perRun, 0U) << calls << " layoutSubviews calls";
    return calls / perRun;
  }

  void LayOut(id view) {
    device::ClearTrace();
    Send(view, "layoutSubviews");
  }

  static std::string ColourOf(id view, const char* getter) {
    device::PausedTrace quiet;
    return device::ColorText(device::Message<id>(view, getter));
  }
};

TEST_F(ContainersTest, PaintRowsTakeTheMainBackgroundOnlyWithTheThemeOn) {
  struct Case {
    device::SettingEntries settings;
    const char* painted;  // What the paint setter stored; the multiselect background differs.
    const char* multiselect;
    std::size_t savedLayouts;
  };
  const Case cases[] = {
      {{{"MainBGColor", std::string("#101010")}}, "#101010FF", "#101010FF", 1},
      {{{"enabled", false}}, "nil", "nil", 2},
      // The background setter drops 262626; the multiselect setter is not hooked.
      {{{"MainBGColor", std::string("262626")}}, "nil", "#262626FF", 1},
  };
  for (const Case& c : cases) {
    WriteSettings(c.settings);
    for (const auto& row : kPaintedContainers) {
      SCOPED_TRACE(std::string(row.className) + " with " + c.painted);
      id view = MakeView(row.className);
      LayOut(view);
      const bool multiselect = std::string(row.colourGetter) == "multiselectBackgroundColor";
      EXPECT_EQ(ColourOf(view, row.colourGetter), multiselect ? c.multiselect : c.painted);
      EXPECT_EQ(SavedLayouts(view, c.savedLayouts == 1), c.savedLayouts);
    }
  }
}

TEST_F(ContainersTest, InboxCellLabelsTurnPaleGreyOnEveryPassWithTheThemeOn) {
  id cell = MakeView("IGDirectInboxThreadCell");
  id message = IvarObject(cell, "_messageLabel");
  for (const bool themeOn : {true, true, false}) {
    SCOPED_TRACE(themeOn ? "theme on" : "theme off");
    {
      device::PausedTrace quiet;
      WriteSettings({{"enabled", false}});
      Send(message, "setTextColor:", Keep(NewHexColour("3897F0")));
    }
    themeOn ? RemoveSettings() : WriteSettings({{"enabled", false}});
    LayOut(cell);
    EXPECT_EQ(device::TextColorText(message), themeOn ? "#E7E7E7FF" : "#3897F0FF");
    // The timestamp label keeps the pale grey of the passes before.
    EXPECT_EQ(device::TextColorText(IvarObject(cell, "_timestampLabel")), "#E7E7E7FF");
    EXPECT_EQ(SavedLayouts(cell, themeOn), themeOn ? 1U : 2U);
  }
}

// The steps that one layout pass takes on a view's sub-views, in order, whatever the settings say:
// each sub-view found (by key, or read from its instance variable), then what is sent to it. A
// detached background stays hidden and out of the tree at the next pass.
TEST_F(ContainersTest, SubviewsAreFoundAndChangedInTheirOrderWhateverTheSettings) {
  struct Row {
    const char* className;
    std::vector<const char*> subviews;  // The instance variables that hold them.
    std::string steps;                  // "self" for the view itself.
  };
  const auto detach = [](const std::string& name) {
    return "self valueForKey: \"" + name + "\" | " + name + " setHidden: YES | " + name +
           " removeFromSuperview";
  };
  const Row rows[] = {
      {"IGSettingsButton",
       {"_imageView", "_backgroundView"},
       "self valueForKey: \"_imageView\" | _imageView setTintColor: #FFFFFFFF | " +
           detach("_backgroundView")},
      {"IGTooltipView",
       {"_leftBackground", "_rightBackground"},
       "self valueForKey: \"_leftBackground\" | _leftBackground setTintColor: #000000FF | self "
       "valueForKey: \"_rightBackground\" | _rightBackground setTintColor: #000000FF"},
      {"IGCommentTextRedesignView",
       {"_roundedBackgroundImageView"},
       detach("_roundedBackgroundImageView")},
      {"IGFeedItemInlineComposerCell",
       {"_roundedBackgroundImageView"},
       detach("_roundedBackgroundImageView")},
      {"_UIBarBackground", {"_backgroundImageView"}, detach("_backgroundImageView")},
      {"IGTextButton", {"_backgroundView"}, detach("_backgroundView")},
      {"IGButton", {"_backgroundImageView"}, detach("_backgroundImageView")},
  };
  const std::vector<std::string> selectors = {
      "valueForKey:", "setTextColor:", "setTintColor:", "setHidden:", "removeFromSuperview"};
  for (const bool themeOn : {true, false}) {
    themeOn ? RemoveSettings() : WriteSettings({{"enabled", false}});
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.className) + (themeOn ? " on" : " off"));
      id view = MakeView(row.className);
      std::vector<std::pair<id, std::string>> names = {{view, "self"}};
      for (const char* subview : row.subviews) {
        names.emplace_back(Keep(Send<id>(IvarObject(view, subview), "retain")), subview);
      }
      LayOut(view);
      std::string steps;
      for (const device::TraceCall& call : device::TraceCalls()) {
        if (std::find(selectors.begin(), selectors.end(), call.selector) == selectors.end()) {
          continue;
        }
        for (const auto& [object, name] : names) {
          if (call.receiver != object) continue;
          steps += (steps.empty() ? "" : " | ") + name + " " + call.selector;
          for (const device::TraceArgument& argument : call.arguments) steps += " " + argument.text;
        }
      }
      EXPECT_EQ(steps, row.steps);
      EXPECT_EQ(SavedLayouts(view, themeOn), 1U);
      LayOut(view);  // A second pass: what was detached stays hidden and detached.
      for (const auto& [object, name] : names) {
        if (row.steps.find(name + " removeFromSuperview") == std::string::npos) continue;
        device::PausedTrace quiet;
        EXPECT_TRUE(Send<bool>(object, "isHidden") && Send<id>(object, "superview") == nullptr)
            << name;
      }
    }
  }
}

TEST_F(ContainersTest, ATooltipWithoutARightBackgroundTintsOnlyTheLeft) {
  id tooltip = MakeView("IGTooltipView");
  id right = IvarObject(tooltip, "_rightBackground");
  object_setInstanceVariable(tooltip, "_rightBackground", nullptr);
  Keep(right);  // The ivar's reference now belongs to the test.
  LayOut(tooltip);
  EXPECT_EQ(device::CountCalls("setTintColor:"), 1U);
  EXPECT_EQ(ColourOf(IvarObject(tooltip, "_leftBackground"), "tintColor"), "#000000FF");
}

}  // namespace
