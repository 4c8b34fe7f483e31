// The background replacements on UIView, through real dispatch in the simulated host.
#include "tests/host/HostTest.h"

namespace {

using device::CountCalls;
using device::PropertyListFormat;
using device::SettingEntries;

struct SetterCase {
  const char* requestedHex;  // nullptr for nil
  double alpha;
  const char* stored;  // what the view holds afterwards
};

class BackgroundSetterTest : public HostTest {
 protected:
  // Sets `requested` on a fresh view and answers what it holds and how often the saved setter ran.
  std::string SetOnFreshView(const SetterCase& c, size_t* savedCalls = nullptr) {
    id view = MakeView();
    id requested =
        c.requestedHex == nullptr ? nullptr : Keep(NewHexColour(c.requestedHex, c.alpha));
    device::ClearTrace();
    Send(view, "setBackgroundColor:", requested);
    if (savedCalls != nullptr) *savedCalls = CountCalls("setBackgroundColor:", view);
    return BackgroundOf(view);
  }
};

TEST_F(BackgroundSetterTest, SwapsListedColoursForTheMainBackgroundAndPassesTheRest) {
  // No settings file: the theme is on and the main background colour is black.
  const SetterCase cases[] = {
      {"FFFFFF", 1.0, "#000000FF"}, {"EEEEEE", 1.0, "#000000FF"}, {"FF0000", 1.0, "#000000FF"},
      {"DFEFFF", 1.0, "#000000FF"}, {"F7F7F7", 1.0, "#000000FF"}, {"000000", 1.0, "#000000FF"},
      {"FFFFFF", 0.5, "#FFFFFF7F"}, {"808080", 1.0, "#808080FF"}, {"262626", 0.5, "#2626267F"},
      {nullptr, 0.0, "nil"},
  };
  for (const SetterCase& c : cases) {
    SCOPED_TRACE(std::string(c.requestedHex ? c.requestedHex : "nil") + " at alpha " +
                 std::to_string(c.alpha));
    size_t savedCalls = 0;
    EXPECT_EQ(SetOnFreshView(c, &savedCalls), c.stored);
    EXPECT_EQ(savedCalls, 1u);
  }
}

TEST_F(BackgroundSetterTest, AnOpaqueGreyTwoSixIsRefusedAndTheViewKeepsItsBackground) {
  id view = MakeView();
  Send(view, "setBackgroundColor:", Keep(device::NewRGBColor(0.2, 0.4, 0.6, 1.0)));
  device::ClearTrace();
  Send(view, "setBackgroundColor:", Keep(NewHexColour("262626")));
  EXPECT_EQ(CountCalls("setBackgroundColor:", view), 0u);
  EXPECT_EQ(BackgroundOf(view), "#336699FF");

  id neverSet = MakeView();
  Send(neverSet, "setBackgroundColor:", Keep(NewHexColour("262626")));
  EXPECT_EQ(BackgroundOf(neverSet), "nil");
}

TEST_F(BackgroundSetterTest, APatternColourPassesUnchanged) {
  id view = MakeView();
  id pattern = Keep(device::NewPatternColor());
  Send(view, "setBackgroundColor:", pattern);
  EXPECT_EQ(device::Message<id>(view, "backgroundColor"), pattern);
}

TEST_F(BackgroundSetterTest, UsesTheConfiguredMainBackgroundInBothFileForms) {
  for (PropertyListFormat format : {PropertyListFormat::kXml, PropertyListFormat::kBinary}) {
    SCOPED_TRACE(format == PropertyListFormat::kXml ? "XML" : "binary");
    WriteSettings({{"MainBGColor", std::string("#102030")}}, format);
    EXPECT_EQ(SetOnFreshView({"FFFFFF", 1.0, nullptr}), "#102030FF");
  }
}

TEST_F(BackgroundSetterTest, AMainBackgroundInTheSwapListIsStoredForListedRequests) {
  WriteSettings({{"MainBGColor", std::string("FFFFFF")}});
  EXPECT_EQ(SetOnFreshView({"EEEEEE", 1.0, nullptr}), "#FFFFFFFF");
}

TEST_F(BackgroundSetterTest, ThemeOffPassesEveryColourUnchanged) {
  WriteSettings({{"enabled", false}});
  EXPECT_EQ(SetOnFreshView({"FFFFFF", 1.0, nullptr}), "#FFFFFFFF");
  EXPECT_EQ(SetOnFreshView({"262626", 1.0, nullptr}), "#262626FF");
}

TEST_F(BackgroundSetterTest, SeesTheSettingsFileChangeBetweenCalls) {
  EXPECT_EQ(SetOnFreshView({"FFFFFF", 1.0, nullptr}), "#000000FF");
  WriteSettings({{"enabled", false}});
  EXPECT_EQ(SetOnFreshView({"FFFFFF", 1.0, nullptr}), "#FFFFFFFF");
  WriteSettings({{"enabled", std::string("YES")}, {"MainBGColor", std::string("#0000FF")}});
  EXPECT_EQ(SetOnFreshView({"FFFFFF", 1.0, nullptr}), "#0000FFFF");
  RemoveSettings();
  EXPECT_EQ(SetOnFreshView({"FFFFFF", 1.0, nullptr}), "#000000FF");
}

class BackgroundLayoutTest : public HostTest {
 protected:
  // A view whose background and border reached it without passing the replacements. Leaves no
  // settings file behind.
  id ViewHolding(const char* className, id background, const char* borderHex = nullptr) {
    id view = MakeView(className);
    device::PausedTrace quiet;
    WriteSettings({{"enabled", false}});
    Send(view, "setBackgroundColor:", background);
    if (borderHex != nullptr) {
      id border = Keep(NewHexColour(borderHex));
      Send(Send<id>(view, "layer"), "setBorderColor:", Send<CGColorRef>(border, "CGColor"));
    }
    RemoveSettings();
    return view;
  }
};

struct LayoutCase {
  const char* backgroundHex;
  double alpha;
  const char* afterLayout;
};

TEST_F(BackgroundLayoutTest, RepaintsListedBackgroundsWithTheMainBackground) {
  const LayoutCase cases[] = {
      {"FFFFFF", 1.0, "#101010FF"}, {"F5F5F5", 1.0, "#101010FF"},  {"000000", 1.0, "#101010FF"},
      {"CED4DA", 1.0, "#101010FF"}, {"FFFFFF", 0.5, "#101010FF"},  {"FFFFFF", 0.3, "#101010FF"},
      {"F7F7F7", 0.9, "#101010FF"}, {"FFFFFF", 0.49, "#FFFFFF7C"}, {"F7F7F7", 1.0, "#F7F7F7FF"},
      {"FF0000", 1.0, "#FF0000FF"}, {"262626", 1.0, "#262626FF"},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(std::string(c.backgroundHex) + " at alpha " + std::to_string(c.alpha));
    id view = ViewHolding("UIView", Keep(NewHexColour(c.backgroundHex, c.alpha)));
    WriteSettings({{"MainBGColor", std::string("#101010")}});
    device::ClearTrace();
    Send(view, "layoutSubviews");
    EXPECT_EQ(BackgroundOf(view), c.afterLayout);
    EXPECT_EQ(CountCalls("layoutSubviews", view), 1u);
  }
}

TEST_F(BackgroundLayoutTest, BlackPassesTheSetterAndIsRepaintedAtTheNextLayout) {
  WriteSettings({{"MainBGColor", std::string("#101010")}});
  id view = MakeView();
  Send(view, "setBackgroundColor:", Keep(NewHexColour("000000")));
  EXPECT_EQ(BackgroundOf(view), "#000000FF");
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "#101010FF");
}

TEST_F(BackgroundLayoutTest, RepaintsBorderAndBackgroundInThatOrderAfterTheSavedLayout) {
  id view = ViewHolding("UIView", Keep(NewHexColour("F5F5F5")), "CCCCCC");
  WriteSettings({{"MainBGColor", std::string("#101010")}});
  device::ClearTrace();
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "#101010FF");
  EXPECT_EQ(BorderOf(view), "#101010FF");
  std::vector<std::string> order;
  for (const device::TraceCall& call : device::TraceCalls()) {
    if (call.receiverClass != "UIColor" && call.receiverClass != "NSString") {
      order.push_back(call.Describe());
    }
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"UIView layoutSubviews", "UIView backgroundColor",
                                      "UIView setBackgroundColor: #101010FF", "UIView layer",
                                      "CALayer borderColor", "CALayer setBorderColor: #101010FF"}));
}

TEST_F(BackgroundLayoutTest, RepaintsOnlyTheBorderWhenOnlyTheBorderIsListed) {
  id view = ViewHolding("UIView", Keep(NewHexColour("336699")), "A05DCD");
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "#336699FF");
  EXPECT_EQ(BorderOf(view), "#000000FF");
}

TEST_F(BackgroundLayoutTest, KeepsTheDefaultBlackBorderAndANilBackground) {
  WriteSettings({{"MainBGColor", std::string("#101010")}});
  id view = MakeView();
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "nil");
  EXPECT_EQ(BorderOf(view), "#000000FF");
}

TEST_F(BackgroundLayoutTest, AMainBackgroundOfTwoSixIsDroppedOnRepaintButBordersTakeIt) {
  id view = ViewHolding("UIView", Keep(NewHexColour("F5F5F5")), "CCCCCC");
  WriteSettings({{"MainBGColor", std::string("262626")}});
  device::ClearTrace();
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "#F5F5F5FF");
  EXPECT_EQ(BorderOf(view), "#262626FF");
  EXPECT_EQ(CountCalls("setBackgroundColor:", view), 0u);
}

TEST_F(BackgroundLayoutTest, ThemeOffRunsTheSavedLayoutTwiceAndChangesNothing) {
  id view = ViewHolding("UIView", Keep(NewHexColour("FFFFFF")), "CCCCCC");
  WriteSettings({{"enabled", false}});
  device::ClearTrace();
  Send(view, "layoutSubviews");
  EXPECT_EQ(CountCalls("layoutSubviews", view), 2u);
  EXPECT_EQ(BackgroundOf(view), "#FFFFFFFF");
  EXPECT_EQ(BorderOf(view), "#CCCCCCFF");
}

TEST_F(BackgroundLayoutTest, ReachesSubclassesWhetherTheyInheritOrCallSuper) {
  for (const char* className : {"UIControl", "UIScrollView", "IGFeedView", "IGPlainView"}) {
    SCOPED_TRACE(className);
    id view = ViewHolding(className, Keep(NewHexColour("FFFFFF")), "EEEEEE");
    Send(view, "layoutSubviews");
    EXPECT_EQ(BackgroundOf(view), "#000000FF");
    EXPECT_EQ(BorderOf(view), "#000000FF");
  }
}

TEST_F(BackgroundLayoutTest, ASubclassLayoutCallingSuperRunsTheSavedUIViewLayoutOnce) {
  id view = ViewHolding("IGFeedView", Keep(NewHexColour("FFFFFF")));
  device::ClearTrace();
  Send(view, "layoutSubviews");
  // IGFeedView's own layoutSubviews, then UIView's saved one from inside the replacement.
  EXPECT_EQ(CountCalls("layoutSubviews", view), 2u);
  EXPECT_EQ(BackgroundOf(view), "#000000FF");
}

}  // namespace
