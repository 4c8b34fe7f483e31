// The layout passes of container and chrome views: paint, label, detach and tint.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "tests/host/HostTest.h"
#include "tests/host/PaintedContainers.h"

namespace {

// Each of these views has a layoutSubviews of its own that calls UIView's, whose replacement runs
// UIView's saved layout once with the theme on and twice with it off. So one run of the view's
// saved layout leaves two "layoutSubviews" calls in the trace with the theme on, three with it off.
constexpr size_t kCallsPerSavedLayoutThemeOn = 2;
constexpr size_t kCallsPerSavedLayoutThemeOff = 3;

using umbravista::testkit::kPaintedContainers;
using umbravista::testkit::PaintedContainer;

class ContainersTest : public HostTest {
 protected:
  size_t SavedLayouts(id view, bool themeOn = true) {
    const size_t calls = device::CountCalls("layoutSubviews", view);
    const size_t perRun = themeOn ? kCallsPerSavedLayoutThemeOn : kCallsPerSavedLayoutThemeOff;
    EXPECT_EQ(calls % perRun, 0u) << calls << " layoutSubviews calls";
    return calls / perRun;
  }

  // Lays out `view` once, from an empty trace.
  void LayOut(id view) {
    device::ClearTrace();
    Send(view, "layoutSubviews");
  }

  std::string ColourOf(id view, const char* getter) {
    device::PausedTrace quiet;
    return device::ColorText(Send<id>(view, getter));
  }

  id Ivar(id object, const char* name) {
    void* value = nullptr;
    object_getInstanceVariable(object, name, &value);
    return static_cast<id>(value);
  }

  // Whether `subview` was hidden and detached from the view tree.
  bool Detached(id subview) {
    device::PausedTrace quiet;
    return Send<bool>(subview, "isHidden") && Send<id>(subview, "superview") == nullptr;
  }
};

TEST_F(ContainersTest, PaintRowsTakeTheMainBackgroundWithTheThemeOn) {
  WriteSettings({{"MainBGColor", std::string("#101010")}});
  for (const PaintedContainer& row : kPaintedContainers) {
    SCOPED_TRACE(row.className);
    id view = MakeView(row.className);
    LayOut(view);
    EXPECT_EQ(ColourOf(view, row.colourGetter), "#101010FF");
    EXPECT_EQ(SavedLayouts(view), 1u);
  }
}

TEST_F(ContainersTest, PaintRowsWithTheThemeOffLayOutTwiceAndPaintNothing) {
  WriteSettings({{"enabled", false}});
  for (const PaintedContainer& row : kPaintedContainers) {
    SCOPED_TRACE(row.className);
    id view = MakeView(row.className);
    LayOut(view);
    EXPECT_EQ(ColourOf(view, row.colourGetter), "nil");
    EXPECT_EQ(SavedLayouts(view, false), 2u);
  }
}

TEST_F(ContainersTest, AMainBackgroundOfTwoSixReachesOnlyTheMultipleSelectionBackground) {
  WriteSettings({{"MainBGColor", std::string("262626")}});
  for (const PaintedContainer& row : kPaintedContainers) {
    SCOPED_TRACE(row.className);
    id view = MakeView(row.className);
    LayOut(view);
    const bool multiselect = std::string(row.colourGetter) == "multiselectBackgroundColor";
    EXPECT_EQ(ColourOf(view, row.colourGetter), multiselect ? "#262626FF" : "nil");
  }
}

TEST_F(ContainersTest, InboxCellLabelsTurnPaleGreyOnEveryPass) {
  id cell = MakeView("IGDirectInboxThreadCell");
  id message = Ivar(cell, "_messageLabel");
  id timestamp = Ivar(cell, "_timestampLabel");
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass);
    {
      device::PausedTrace quiet;
      WriteSettings({{"enabled", false}});
      Send(message, "setTextColor:", Keep(NewHexColour("3897F0")));
      RemoveSettings();
    }
    LayOut(cell);
    EXPECT_EQ(device::TextColorText(message), "#E7E7E7FF");
    EXPECT_EQ(device::TextColorText(timestamp), "#E7E7E7FF");
    EXPECT_EQ(SavedLayouts(cell), 1u);
  }
  WriteSettings({{"enabled", false}});
  Send(message, "setTextColor:", Keep(NewHexColour("3897F0")));
  LayOut(cell);
  EXPECT_EQ(device::TextColorText(message), "#3897F0FF");
  EXPECT_EQ(SavedLayouts(cell, false), 2u);
}

struct DetachRow {
  const char* className;
  const char* subview;
};

TEST_F(ContainersTest, DetachRowsHideAndDetachTheirBackgroundWhateverTheSettings) {
  const DetachRow rows[] = {
      {"IGCommentTextRedesignView", "_roundedBackgroundImageView"},
      {"IGFeedItemInlineComposerCell", "_roundedBackgroundImageView"},
      {"_UIBarBackground", "_backgroundImageView"},
      {"IGTextButton", "_backgroundView"},
      {"IGButton", "_backgroundImageView"},
      {"IGSettingsButton", "_backgroundView"},
  };
  for (bool themeOn : {true, false}) {
    if (!themeOn) WriteSettings({{"enabled", false}});
    for (const DetachRow& row : rows) {
      SCOPED_TRACE(std::string(row.className) + (themeOn ? " on" : " off"));
      id view = MakeView(row.className);
      id background = Ivar(view, row.subview);
      ASSERT_NE(background, nullptr);
      Send(background, "retain");  // The host keeps it in its instance variable.
      Keep(background);
      LayOut(view);
      EXPECT_TRUE(Detached(background));
      EXPECT_EQ(SavedLayouts(view, themeOn), 1u);
      LayOut(view);  // A second pass changes nothing more.
      EXPECT_TRUE(Detached(background));
    }
  }
}

TEST_F(ContainersTest, SettingsButtonImageTurnsWhiteAndTooltipBackgroundsBlack) {
  WriteSettings({{"enabled", false}});  // No gate: the same with the theme off.
  id button = MakeView("IGSettingsButton");
  LayOut(button);
  EXPECT_EQ(ColourOf(Ivar(button, "_imageView"), "tintColor"), "#FFFFFFFF");

  id tooltip = MakeView("IGTooltipView");
  LayOut(tooltip);
  EXPECT_EQ(ColourOf(Ivar(tooltip, "_leftBackground"), "tintColor"), "#000000FF");
  EXPECT_EQ(ColourOf(Ivar(tooltip, "_rightBackground"), "tintColor"), "#000000FF");
  std::vector<std::string> tints;
  for (const device::TraceCall& call : device::CallsOf("setTintColor:")) {
    tints.push_back(call.Describe());
  }
  EXPECT_EQ(tints.size(), 2u);
}

// The steps that one layout pass takes on a view's sub-views, in order, with the theme on: each
// sub-view found (by key, or read from its instance variable), then what is sent to it.
struct SubviewStepsRow {
  const char* className;
  std::vector<const char*> subviews;  // The instance variables that hold them.
  std::vector<std::string> steps;     // "self" for the view itself.
};

TEST_F(ContainersTest, SubviewsAreFoundAndChangedInTheirOrder) {
  const SubviewStepsRow rows[] = {
      // Read as instance variables, so no key lookup shows; the message label first.
      {"IGDirectInboxThreadCell",
       {"_messageLabel", "_timestampLabel"},
       {"_messageLabel setTextColor: #E7E7E7FF", "_timestampLabel setTextColor: #E7E7E7FF"}},
      // The image view's tint before the background's detach.
      {"IGSettingsButton",
       {"_imageView", "_backgroundView"},
       {"self valueForKey: \"_imageView\"", "_imageView setTintColor: #FFFFFFFF",
        "self valueForKey: \"_backgroundView\"", "_backgroundView setHidden: YES",
        "_backgroundView removeFromSuperview"}},
      // The left side before the right.
      {"IGTooltipView",
       {"_leftBackground", "_rightBackground"},
       {"self valueForKey: \"_leftBackground\"", "_leftBackground setTintColor: #000000FF",
        "self valueForKey: \"_rightBackground\"", "_rightBackground setTintColor: #000000FF"}},
      {"IGCommentTextRedesignView",
       {"_roundedBackgroundImageView"},
       {"self valueForKey: \"_roundedBackgroundImageView\"",
        "_roundedBackgroundImageView setHidden: YES",
        "_roundedBackgroundImageView removeFromSuperview"}},
      {"IGFeedItemInlineComposerCell",
       {"_roundedBackgroundImageView"},
       {"self valueForKey: \"_roundedBackgroundImageView\"",
        "_roundedBackgroundImageView setHidden: YES",
        "_roundedBackgroundImageView removeFromSuperview"}},
      {"_UIBarBackground",
       {"_backgroundImageView"},
       {"self valueForKey: \"_backgroundImageView\"", "_backgroundImageView setHidden: YES",
        "_backgroundImageView removeFromSuperview"}},
      {"IGTextButton",
       {"_backgroundView"},
       {"self valueForKey: \"_backgroundView\"", "_backgroundView setHidden: YES",
        "_backgroundView removeFromSuperview"}},
      {"IGButton",
       {"_backgroundImageView"},
       {"self valueForKey: \"_backgroundImageView\"", "_backgroundImageView setHidden: YES",
        "_backgroundImageView removeFromSuperview"}},
  };
  const std::vector<std::string> selectors = {
      "valueForKey:", "setTextColor:", "setTintColor:", "setHidden:", "removeFromSuperview"};
  for (const SubviewStepsRow& row : rows) {
    SCOPED_TRACE(row.className);
    id view = MakeView(row.className);
    std::vector<std::pair<id, std::string>> names = {{view, "self"}};
    for (const char* subview : row.subviews) names.emplace_back(Ivar(view, subview), subview);
    LayOut(view);
    std::vector<std::string> steps;
    for (const device::TraceCall& call : device::TraceCalls()) {
      if (std::find(selectors.begin(), selectors.end(), call.selector) == selectors.end()) continue;
      for (const auto& [object, name] : names) {
        if (call.receiver != object) continue;
        std::string step = name + " " + call.selector;
        for (const device::TraceArgument& argument : call.arguments) step += " " + argument.text;
        steps.push_back(step);
      }
    }
    EXPECT_EQ(steps, row.steps);
  }
}

TEST_F(ContainersTest, ATooltipWithoutARightBackgroundTintsOnlyTheLeft) {
  id tooltip = MakeView("IGTooltipView");
  id right = Ivar(tooltip, "_rightBackground");
  object_setInstanceVariable(tooltip, "_rightBackground", nullptr);
  Keep(right);  // The ivar's reference now belongs to the test.
  LayOut(tooltip);
  EXPECT_EQ(device::CountCalls("setTintColor:"), 1u);
  EXPECT_EQ(ColourOf(Ivar(tooltip, "_leftBackground"), "tintColor"), "#000000FF");
}

}  // namespace
