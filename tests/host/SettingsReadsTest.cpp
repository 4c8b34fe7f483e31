// When the replacements read their settings, and how often: each read is an open of the settings
// file, counted by the device and written into the trace as "read" among the calls of the
// stand-ins, so that the order of the saved call, the colour lookup, the gate and the fixed
// colours shows.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/filesystem/DeviceFileSystem.h"
#include "tests/host/HostTest.h"
#include "tests/host/PaintedContainers.h"

namespace {

// The colours the trace shows the lookup and the fixed colours being made with.
const std::string kBlack = "UIColor colorWithRed:green:blue:alpha: 0 0 0 1";
const std::string kPaleCyan = "UIColor colorWithRed:green:blue:alpha: 0.806 0.906 0.906 1";
const std::string kPaleGrey = "UIColor colorWithRed:green:blue:alpha: 0.906 0.906 0.906 1";
const std::string kWhite = "UIColor colorWithRed:green:blue:alpha: 1 1 1 1";
const std::string kClear = "UIColor colorWithRed:green:blue:alpha: 0 0 0 0";
const char* const kMade = "colorWithRed:green:blue:alpha:";

const device::SettingEntries kThemeOff = {{"enabled", false}};

std::string Joined(const std::vector<std::string>& steps) {
  std::string joined;
  for (const std::string& step : steps) joined += (joined.empty() ? "" : " | ") + step;
  return joined;
}

class SettingsReadsTest : public HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    device::RecordDeviceOpens(true);
  }
  void TearDown() override {
    device::RecordDeviceOpens(false);
    StopServing();
    HostTest::TearDown();
  }

  // Runs `call` and answers how often it read the settings.
  static std::uint64_t ReadsDuring(const std::function<void()>& call) {
    device::ResetOpenRecord();
    call();
    return device::OpensOf(device::kSettingsDevicePath);
  }

  // A settings file of `entries`, or none for no entries.
  void PutInPlace(const device::SettingEntries& entries) {
    entries.empty() ? RemoveSettings() : WriteSettings(entries);
  }

  // From now on each read finds the next of `versions` in place of the settings file; the last
  // stays for every later read.
  void ServeVersions(std::vector<device::SettingEntries> versions) {
    versions_ = std::move(versions);
    served_ = 0;
    device::AddOpenObserver(&ServeNextVersion, this);
  }
  static void StopServing() { device::RemoveOpenObserver(&ServeNextVersion); }

 private:
  static void ServeNextVersion(const char*, int, void* context) {
    auto* self = static_cast<SettingsReadsTest*>(context);
    self->PutInPlace(self->versions_[std::min(self->served_++, self->versions_.size() - 1)]);
  }

  std::vector<device::SettingEntries> versions_;
  std::size_t served_ = 0;
};

// One call of a replacement with the theme on (no file) and off, and the steps it takes: reads,
// colours made, and the calls of `selectors` that reach the stand-ins.
struct OrderCase {
  const char* name;
  std::function<void(SettingsReadsTest&)> call;
  std::vector<std::string> selectors;
  std::string themeOn, themeOff;
};

// Faults pinned: the main background colour looked up after the gate, and a fixed colour made only
// after the gate, each passed every test.
TEST_F(SettingsReadsTest, EachReplacementLooksUpMakesAndAsksInItsOrderOnBothPaths) {
  const auto setter = [](const char* cls) {
    return [cls](SettingsReadsTest& t) {
      id view = t.MakeView(cls);
      id colour = t.Keep(NewHexColour(std::string(cls) == "UIView" ? "FFFFFF" : "123456"));
      device::ClearTrace();
      t.Send(view, std::string(cls) == "UIView" ? "setBackgroundColor:" : "setTextColor:", colour);
    };
  };
  const auto classGetter = [](const char* selector) {
    return [selector](SettingsReadsTest& t) {
      device::ClearTrace();
      t.Send<id>(ClassObject("IGRichTextFormat"), selector);
    };
  };
  const auto layout = [](const char* cls) {
    return [cls](SettingsReadsTest& t) {
      id view = t.MakeView(cls);  // No background and the default border: nothing to repaint.
      device::ClearTrace();
      t.Send(view, "layoutSubviews");
    };
  };
  const std::string read = "read";
  const OrderCase cases[] = {
      {"UIView setBackgroundColor:",
       setter("UIView"),
       {kMade, "setBackgroundColor:"},
       Joined({read, kBlack, read, "UIView setBackgroundColor: #000000FF"}),
       Joined({read, kBlack, read, read, "UIView setBackgroundColor: #FFFFFFFF"})},
      {"UIView layoutSubviews",
       layout("UIView"),
       {kMade, "layoutSubviews"},
       Joined({"UIView layoutSubviews", read, kBlack, read}),
       Joined({"UIView layoutSubviews", read, kBlack, read, read, "UIView layoutSubviews"})},
      {"UITextField setTextColor:",
       setter("UITextField"),
       {kMade, "setTextColor:"},
       Joined({kPaleCyan, read, "UITextField setTextColor: #CDE7E7FF"}),
       Joined({kPaleCyan, read, read, "UITextField setTextColor: #123456FF"})},
      {"UITextFieldLabel setTextColor:",
       setter("UITextFieldLabel"),
       {kMade, "setTextColor:"},
       Joined({kPaleGrey, read, "UITextFieldLabel setTextColor: #E7E7E7FF"}),
       Joined({kPaleGrey, read, read, "UITextFieldLabel setTextColor: #123456FF"})},
      {"UILabel setTextColor:",
       setter("UILabel"),
       {kMade, "setTextColor:"},
       Joined({kPaleCyan, read, "UILabel setTextColor: #123456FF"}),
       Joined({kPaleCyan, read, read, "UILabel setTextColor: #123456FF"})},
      {"IGRichTextFormat defaultTextColor",
       classGetter("defaultTextColor"),
       {kMade, "defaultTextColor"},
       Joined({kWhite, read}),
       Joined({kWhite, read, read, "IGRichTextFormat defaultTextColor"})},
      {"IGRichTextFormat displayName",
       classGetter("displayName"),
       {kMade, "displayName"},
       Joined({kWhite, read}),
       Joined({kWhite, read, read, "IGRichTextFormat displayName"})},
      {"IGRichTextFormat separatorColor",
       classGetter("separatorColor"),
       {kMade, "separatorColor"},
       Joined({kClear, read}),
       Joined({kClear, read, read, "IGRichTextFormat separatorColor"})},
      // The saved layout reaches UIView's replacement first; then the cell makes its pale grey and
      // asks the gate; with the theme on, each label's setter makes its pale cyan and asks too.
      {"IGDirectInboxThreadCell layoutSubviews",
       layout("IGDirectInboxThreadCell"),
       {kMade},
       Joined({read, kBlack, read, kPaleGrey, read, kPaleCyan, read, kPaleCyan, read}),
       Joined({read, kBlack, read, read, kPaleGrey, read, read, read, kBlack, read, read})},
  };
  for (const OrderCase& c : cases) {
    for (const bool themeOn : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (themeOn ? ", theme on" : ", theme off"));
      PutInPlace(themeOn ? device::SettingEntries{} : kThemeOff);
      c.call(*this);
      EXPECT_EQ(Steps(c.selectors), themeOn ? c.themeOn : c.themeOff);
    }
  }
}

TEST_F(SettingsReadsTest, PaintedContainersRunTheirSavedLayoutThenLookUpThenAskTheGate) {
  // Each view's saved layout reaches UIView's replacement, whose lookup and gate come first: so
  // its reads in front of the view's own show that the saved layout ran first.
  for (const auto& row : umbravista::testkit::kPaintedContainers) {
    for (const bool themeOn : {true, false}) {
      SCOPED_TRACE(std::string(row.className) + (themeOn ? ", theme on" : ", theme off"));
      PutInPlace(themeOn ? device::SettingEntries{} : kThemeOff);
      id view = MakeView(row.className);
      device::ClearTrace();
      Send(view, "layoutSubviews");
      const std::vector<std::string> uiView =
          themeOn ? std::vector<std::string>{"read", kBlack, "read"}
                  : std::vector<std::string>{"read", kBlack, "read", "read"};
      std::vector<std::string> expected = uiView;
      expected.insert(expected.end(), {"read", kBlack, "read"});  // The view's own lookup and gate.
      const std::string paint = std::string(row.className) + " " + row.paintSetter + " #000000FF";
      if (!themeOn) {
        expected.emplace_back("read");  // "enabled" is present: a second read.
        expected.insert(expected.end(), uiView.begin(), uiView.end());  // Laid out again.
      } else if (std::string(row.paintSetter) == "setBackgroundColor:") {
        // The paint passes the background setter's replacement: its lookup, its gate, the saved
        // setter.
        expected.insert(expected.end(), {"read", kBlack, "read", paint});
      } else {
        expected.push_back(paint);
      }
      EXPECT_EQ(Steps({kMade, row.paintSetter}), Joined(expected));
    }
  }
}

TEST_F(SettingsReadsTest, TheTableControllerReadsOnceForItsColourWithoutTheGate) {
  const device::SettingEntries states[] = {{}, {{"enabled", true}}, kThemeOff};
  for (const device::SettingEntries& state : states) {
    SCOPED_TRACE(state.size());
    PutInPlace(state);
    id controller = Keep(device::NewObject("UITableViewController"));
    id tableView = Send<id>(controller, "tableView");
    const std::uint64_t setterReads =
        ReadsDuring([&] { Send(tableView, "setBackgroundColor:", Keep(NewHexColour("101010"))); });
    device::ClearTrace();
    EXPECT_EQ(ReadsDuring([&] { Send(controller, "viewWillAppear:", false); }), 1 + setterReads);
    EXPECT_TRUE(Steps({kMade}).starts_with("read | " + kBlack)) << "its own read comes first";
  }
}

// Each first read names one colour and every later read another: only the lookup made before the
// gate's reads paints with the first.
TEST_F(SettingsReadsTest, SetterAndLayoutPaintWithTheColourOfTheirFirstRead) {
  id view = MakeView();
  id white = Keep(NewHexColour("FFFFFF"));
  ServeVersions(
      {{{"MainBGColor", std::string("#111111")}}, {{"MainBGColor", std::string("#222222")}}});
  Send(view, "setBackgroundColor:", white);
  EXPECT_EQ(BackgroundOf(view), "#111111FF");

  StopServing();
  {
    device::PausedTrace quiet;
    WriteSettings(kThemeOff);
    Send(view, "setBackgroundColor:", white);
  }
  ServeVersions({{{"enabled", false}, {"MainBGColor", std::string("#123456")}},
                 {{"MainBGColor", std::string("#654321")}}});
  Send(view, "layoutSubviews");
  EXPECT_EQ(BackgroundOf(view), "#123456FF");
}

}  // namespace
