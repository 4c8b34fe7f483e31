// When the replacements read their settings, and how often: each read is an open of the settings
// file, counted by the device and written into the trace among the calls of the stand-ins, so
// that the order of the saved call, the colour lookup, the gate and the fixed colours shows.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "device/filesystem/DeviceFileSystem.h"
#include "tests/host/HostTest.h"
#include "tests/host/PaintedContainers.h"

namespace {

constexpr const char* kSettingsPath =
    "/var/mobile/Library/Preferences/com.marrowquinte.Umbravista.plist";

// How the trace shows one read of the settings, and the colours that the lookup and the fixed
// colours are made with.
constexpr const char* kRead = "read";
constexpr const char* kBlack = "UIColor colorWithRed:green:blue:alpha: 0 0 0 1";

using Steps = std::vector<std::string>;

const device::SettingEntries kThemeOff = {{"enabled", false}};

class SettingsReadsTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    device::RecordDeviceOpens(true);
  }
  void TearDown() override {
    device::RecordDeviceOpens(false);
    device::RemoveOpenObserver(&ServeNextVersion);
    HostTest::TearDown();
  }

  // Runs `call` and answers how often it read the settings.
  template <typename Call>
  std::uint64_t ReadsDuring(Call call) {
    device::ResetOpenRecord();
    call();
    return device::OpensOf(kSettingsPath);
  }

  // The trace since the last ClearTrace, as reads and the calls whose selector is one of
  // `selectors`.
  static Steps StepsOf(const std::vector<std::string>& selectors) {
    Steps steps;
    for (const device::TraceCall& call : device::TraceCalls()) {
      if (call.selector == "open") {
        steps.emplace_back(kRead);
      } else if (std::find(selectors.begin(), selectors.end(), call.selector) != selectors.end()) {
        steps.push_back(call.Describe());
      }
    }
    return steps;
  }

  // A settings file of `entries`, or none for no entries.
  void PutInPlace(const device::SettingEntries& entries) {
    if (entries.empty()) {
      RemoveSettings();
    } else {
      WriteSettings(entries);
    }
  }

  // From now on each read finds the next of `versions` in place of the settings file; the last
  // stays in place for every later read. An empty version is no file.
  void ServeVersions(std::vector<device::SettingEntries> versions) {
    versions_ = std::move(versions);
    served_ = 0;
    device::AddOpenObserver(&ServeNextVersion, this);
  }

 private:
  static void ServeNextVersion(const char*, int, void* context) {
    auto* self = static_cast<SettingsReadsTest*>(context);
    self->PutInPlace(self->versions_[std::min(self->served_++, self->versions_.size() - 1)]);
  }

  std::vector<device::SettingEntries> versions_;
  std::size_t served_ = 0;
};

// The settings files that tell the gate's reads apart: none, a file without the switch, and the
// switch present true or false.
struct SwitchState {
  const char* name;
  device::SettingEntries entries;  // None for no file.
  unsigned gateReads;
  bool themeOn;
};

const SwitchState kSwitchStates[] = {
    {"no settings file", {}, 1, true},
    {"\"enabled\" absent", {{"Link", std::string("#102030")}}, 1, true},
    {"\"enabled\" true", {{"enabled", true}}, 2, true},
    {"\"enabled\" false", {{"enabled", false}}, 2, false},
};

// --- The palette getters.

enum class Answer {
  kSettingsColour,  // A colour lookup after the gate, on the theme-on path only.
  kFixed,           // A fixed value; the gate only.
  kUngated,         // Never reads.
};

struct Getter {
  const char* receiverClass;
  const char* selector;
  Answer answer;
  bool classMethod;
  bool integer = false;
};

const Getter kGetters[] = {
    {"UITextInputTraits", "keyboardAppearance", Answer::kFixed, false, true},
    {"IGColors", "navigationBarOverlayColor", Answer::kSettingsColour, true},
    {"IGColors", "navigationBarBackgroundColor", Answer::kSettingsColour, true},
    {"IGColors", "separatorColor", Answer::kSettingsColour, true},
    {"IGColors", "boldLinkColor", Answer::kSettingsColour, true},
    {"IGColors", "linkColor", Answer::kSettingsColour, true},
    {"IGColors", "textColor", Answer::kSettingsColour, true},
    {"IGColors", "veryLightTextColor", Answer::kSettingsColour, true},
    {"IGColors", "secondaryTextColor", Answer::kSettingsColour, true},
    {"IGColors", "boldLinkHighlightedColor", Answer::kSettingsColour, true},
    {"IGColors", "linkHighlightedColor", Answer::kSettingsColour, true},
    {"IGColors", "IGRichTextFormat", Answer::kSettingsColour, true},
    {"IGColors", "darkButtonColor", Answer::kSettingsColour, true},
    {"IGColors", "heartColor", Answer::kSettingsColour, true},
    {"IGRichTextFormat", "defaultTextColor", Answer::kFixed, true},
    {"IGRichTextFormat", "displayName", Answer::kFixed, true},
    {"IGRichTextFormat", "separatorColor", Answer::kFixed, true},
    {"RCTTextAttributes", "effectiveForegroundColor", Answer::kFixed, false},
    {"UITextSelectionView", "caretViewColor", Answer::kFixed, false},
    {"IGGrowingTextView", "textColor", Answer::kUngated, false},
    {"UINavigationController", "preferredStatusBarStyle", Answer::kUngated, false, true},
    {"UIStatusBar", "foregroundColor", Answer::kUngated, false},
    {"_UIStatusBar", "foregroundColor", Answer::kUngated, false},
    {"IGStringStyle", "defaultColor", Answer::kFixed, false},
    {"UITextView", "textColor", Answer::kFixed, false},
};

unsigned ExpectedReads(const Getter& getter, const SwitchState& state) {
  switch (getter.answer) {
    case Answer::kUngated:
      return 0;
    case Answer::kFixed:
      return state.gateReads;
    case Answer::kSettingsColour:
      return state.gateReads + (state.themeOn ? 1 : 0);
  }
  return 0;
}

TEST_F(SettingsReadsTest, GettersReadForTheGateAndForTheirColourOnlyWhenTheThemeIsOn) {
  for (const SwitchState& state : kSwitchStates) {
    PutInPlace(state.entries);
    for (const Getter& getter : kGetters) {
      SCOPED_TRACE(std::string(getter.receiverClass) + " " + getter.selector + ", " + state.name);
      id receiver = reinterpret_cast<id>(objc_getClass(getter.receiverClass));
      if (!getter.classMethod) {
        device::PausedTrace quiet;
        receiver = Keep(Send<id>(Send<id>(receiver, "alloc"), "init"));
      }
      const std::uint64_t reads = ReadsDuring([&] {
        if (getter.integer) {
          Send<long>(receiver, getter.selector);
        } else {
          Send<id>(receiver, getter.selector);
        }
      });
      EXPECT_EQ(reads, ExpectedReads(getter, state));
    }
  }
}

// --- The background setter: the colour lookup, then the gate, on both paths.

// Fault pinned: the main background colour looked up only after the gate passed every test.
TEST_F(SettingsReadsTest, TheBackgroundSetterLooksItsColourUpBeforeTheGateOnBothPaths) {
  struct Case {
    const char* name;
    device::SettingEntries settings;
    Steps steps;
  };
  const Case cases[] = {
      {"theme on", {}, {kRead, kBlack, kRead, "UIView setBackgroundColor: #000000FF"}},
      {"theme off",
       {{"enabled", false}},
       {kRead, kBlack, kRead, kRead, "UIView setBackgroundColor: #FFFFFFFF"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PutInPlace(c.settings);
    id view = MakeView();
    id white = Keep(NewHexColour("FFFFFF"));
    device::ClearTrace();
    Send(view, "setBackgroundColor:", white);
    EXPECT_EQ(StepsOf({"colorWithRed:green:blue:alpha:", "setBackgroundColor:"}), c.steps);
  }
}

TEST_F(SettingsReadsTest, TheBackgroundSetterReadsOnceForItsColourAndThenForTheGate) {
  for (const SwitchState& state : kSwitchStates) {
    SCOPED_TRACE(state.name);
    PutInPlace(state.entries);
    id view = MakeView();
    id white = Keep(NewHexColour("FFFFFF"));
    EXPECT_EQ(ReadsDuring([&] { Send(view, "setBackgroundColor:", white); }), 1 + state.gateReads);
  }
}

TEST_F(SettingsReadsTest, TheBackgroundSetterPaintsWithTheColourOfItsFirstRead) {
  id view = MakeView();
  id white = Keep(NewHexColour("FFFFFF"));
  ServeVersions(
      {{{"MainBGColor", std::string("#111111")}}, {{"MainBGColor", std::string("#222222")}}});
  Send(view, "setBackgroundColor:", white);
  EXPECT_EQ(BackgroundOf(view), "#111111FF");
}

// --- The layout passes that paint with the main background colour: the saved layout, then the
// lookup, then the gate.

// Fault pinned: the main background colour looked up after the gate in a layout pass passed
// every test.
TEST_F(SettingsReadsTest, UIViewLayoutRunsItsSavedLayoutThenLooksUpThenAsksTheGate) {
  struct Case {
    const char* name;
    device::SettingEntries settings;
    Steps steps;
  };
  const Case cases[] = {
      {"theme on", {}, {"UIView layoutSubviews", kRead, kBlack, kRead}},
      {"theme off",
       {{"enabled", false}},
       {"UIView layoutSubviews", kRead, kBlack, kRead, kRead, "UIView layoutSubviews"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PutInPlace(c.settings);
    id view = MakeView();  // No background and the default border: nothing to repaint.
    device::ClearTrace();
    Send(view, "layoutSubviews");
    EXPECT_EQ(StepsOf({"colorWithRed:green:blue:alpha:", "layoutSubviews"}), c.steps);
  }
}

TEST_F(SettingsReadsTest, UIViewLayoutPaintsWithTheColourReadBeforeTheGatesRead) {
  // The first read turns the theme off and names one colour; every later read turns it on and
  // names another. Only the lookup-then-gate order paints with the first colour.
  id view = MakeView();
  {
    device::PausedTrace quiet;
    WriteSettings({{"enabled", false}});
    Send(view, "setBackgroundColor:", Keep(NewHexColour("FFFFFF")));
  }
  ServeVersions({{{"enabled", false}, {"MainBGColor", std::string("#123456")}},
                 {{"MainBGColor", std::string("#654321")}}});
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "#123456FF");
}

using umbravista::testkit::kPaintedContainers;
using umbravista::testkit::PaintedContainer;

TEST_F(SettingsReadsTest, PaintedContainersRunTheirSavedLayoutThenLookUpThenAskTheGate) {
  // Each view's saved layout reaches UIView's replacement, whose lookup and gate come first: so
  // its reads in front of the view's own show that the saved layout ran first.
  const Steps uiViewOn = {kRead, kBlack, kRead};
  const Steps uiViewOff = {kRead, kBlack, kRead, kRead};
  for (const PaintedContainer& row : kPaintedContainers) {
    for (bool themeOn : {true, false}) {
      SCOPED_TRACE(std::string(row.className) + (themeOn ? ", theme on" : ", theme off"));
      PutInPlace(themeOn ? device::SettingEntries{} : kThemeOff);
      id view = MakeView(row.className);
      device::ClearTrace();
      Send(view, "layoutSubviews");
      Steps expected = themeOn ? uiViewOn : uiViewOff;
      expected.insert(expected.end(), {kRead, kBlack, kRead});  // The view's own lookup and gate.
      if (!themeOn) {
        expected.emplace_back(kRead);  // "enabled" is present: a second read.
        expected.insert(expected.end(), uiViewOff.begin(), uiViewOff.end());  // Saved again.
      } else if (std::string(row.paintSetter) == "setBackgroundColor:") {
        // The paint passes the background setter's replacement: its lookup, its gate, the saved
        // setter.
        expected.insert(expected.end(), {kRead, kBlack, kRead});
        expected.push_back(std::string(row.className) + " setBackgroundColor: #000000FF");
      } else {
        expected.push_back(std::string(row.className) + " " + row.paintSetter + " #000000FF");
      }
      EXPECT_EQ(StepsOf({"colorWithRed:green:blue:alpha:", row.paintSetter}), expected);
    }
  }
}

// --- The table controller: a lookup and no gate.

TEST_F(SettingsReadsTest, TheTableControllerReadsOnceForItsColourWithoutTheGate) {
  for (const SwitchState& state : kSwitchStates) {
    SCOPED_TRACE(state.name);
    PutInPlace(state.entries);
    id controller = Keep(device::NewObject("UITableViewController"));
    id tableView = Send<id>(controller, "tableView");
    device::ClearTrace();
    Send(controller, "viewWillAppear:", true);
    // Its one read and its colour come first; the rest is the background setter's replacement.
    const Steps steps = StepsOf({"colorWithRed:green:blue:alpha:"});
    ASSERT_GE(steps.size(), 2u);
    EXPECT_EQ(Steps(steps.begin(), steps.begin() + 2), (Steps{kRead, kBlack}));
    const std::uint64_t setterReads =
        ReadsDuring([&] { Send(tableView, "setBackgroundColor:", Keep(NewHexColour("101010"))); });
    EXPECT_EQ(ReadsDuring([&] { Send(controller, "viewWillAppear:", false); }), 1 + setterReads);
  }
}

// --- Fixed colours made before the gate, whatever it answers.

// Fault pinned: a fixed colour made only after the gate passed every test.
TEST_F(SettingsReadsTest, FixedColoursAreMadeBeforeTheGateOnBothPaths) {
  enum class Call {
    kSetterOnANewView,  // The selector takes the colour #123456.
    kClassGetter,
  };
  struct Case {
    const char* receiverClass;
    const char* selector;
    Steps themeOn;   // With no settings file.
    Steps themeOff;  // With "enabled" false.
    Call call;
  };
  const std::string paleCyan = "UIColor colorWithRed:green:blue:alpha: 0.806 0.906 0.906 1";
  const std::string paleGrey = "UIColor colorWithRed:green:blue:alpha: 0.906 0.906 0.906 1";
  const std::string white = "UIColor colorWithRed:green:blue:alpha: 1 1 1 1";
  const std::string clear = "UIColor colorWithRed:green:blue:alpha: 0 0 0 0";
  const Case cases[] = {
      {"UITextField",
       "setTextColor:",
       {paleCyan, kRead, "UITextField setTextColor: #CDE7E7FF"},
       {paleCyan, kRead, kRead, "UITextField setTextColor: #123456FF"},
       Call::kSetterOnANewView},
      {"UITextFieldLabel",
       "setTextColor:",
       {paleGrey, kRead, "UITextFieldLabel setTextColor: #E7E7E7FF"},
       {paleGrey, kRead, kRead, "UITextFieldLabel setTextColor: #123456FF"},
       Call::kSetterOnANewView},
      {"UILabel",
       "setTextColor:",
       {paleCyan, kRead, "UILabel setTextColor: #123456FF"},
       {paleCyan, kRead, kRead, "UILabel setTextColor: #123456FF"},
       Call::kSetterOnANewView},
      {"IGRichTextFormat",
       "defaultTextColor",
       {white, kRead},
       {white, kRead, kRead, "IGRichTextFormat defaultTextColor"},
       Call::kClassGetter},
      {"IGRichTextFormat",
       "displayName",
       {white, kRead},
       {white, kRead, kRead, "IGRichTextFormat displayName"},
       Call::kClassGetter},
      {"IGRichTextFormat",
       "separatorColor",
       {clear, kRead},
       {clear, kRead, kRead, "IGRichTextFormat separatorColor"},
       Call::kClassGetter},
  };
  for (const Case& c : cases) {
    for (bool themeOn : {true, false}) {
      SCOPED_TRACE(std::string(c.receiverClass) + " " + c.selector +
                   (themeOn ? ", theme on" : ", theme off"));
      PutInPlace(themeOn ? device::SettingEntries{} : kThemeOff);
      const bool getter = c.call == Call::kClassGetter;
      id receiver =
          getter ? reinterpret_cast<id>(objc_getClass(c.receiverClass)) : MakeView(c.receiverClass);
      id requested = Keep(NewHexColour("123456"));
      device::ClearTrace();
      if (getter) {
        Send<id>(receiver, c.selector);
      } else {
        Send(receiver, c.selector, requested);
      }
      EXPECT_EQ(StepsOf({"colorWithRed:green:blue:alpha:", c.selector}),
                themeOn ? c.themeOn : c.themeOff);
    }
  }
}

TEST_F(SettingsReadsTest, TheInboxCellMakesItsPaleGreyAfterItsSavedLayoutAndBeforeItsGate) {
  const std::string paleGrey = "UIColor colorWithRed:green:blue:alpha: 0.906 0.906 0.906 1";
  for (bool themeOn : {true, false}) {
    SCOPED_TRACE(themeOn ? "theme on" : "theme off");
    PutInPlace(themeOn ? device::SettingEntries{} : kThemeOff);
    id cell = MakeView("IGDirectInboxThreadCell");
    device::ClearTrace();
    Send(cell, "layoutSubviews");
    const Steps steps = StepsOf({"colorWithRed:green:blue:alpha:"});
    // The saved layout reaches UIView's replacement first, then the cell makes its colour and asks
    // the gate, and with the theme off lays out once more, through UIView's replacement again.
    const Steps uiView = themeOn ? Steps{kRead, kBlack, kRead} : Steps{kRead, kBlack, kRead, kRead};
    Steps expected = uiView;
    expected.push_back(paleGrey);
    expected.emplace_back(kRead);
    if (themeOn) {
      // The two labels' setter replacements: each makes its pale cyan and asks the gate.
      const std::string paleCyan = "UIColor colorWithRed:green:blue:alpha: 0.806 0.906 0.906 1";
      expected.insert(expected.end(), {paleCyan, kRead, paleCyan, kRead});
    } else {
      expected.emplace_back(kRead);
      expected.insert(expected.end(), uiView.begin(), uiView.end());
    }
    EXPECT_EQ(steps, expected);
  }
}

}  // namespace
