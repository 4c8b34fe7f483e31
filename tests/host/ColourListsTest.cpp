// Every entry of every colour list of the background replacements, through the replacement that
// uses it, each beside its neighbours one 8-bit step away in each component, which must not be
// taken for it. The lists are written out here as the theme defines them, as 8-bit steps: six
// hexadecimal digits are opaque, eight carry the alpha. The comparison truncates each component
// times 255, so a colour is built in the middle of its step.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/host/HostTest.h"

namespace {

const std::vector<std::string> kSetterSwapList = {"FFFFFF", "EEEEEE", "EAEDEF", "252525", "F5F5F5",
                                                  "FF0000", "CCCCCC", "F7F8F9", "F7F7F7", "FAFAF9",
                                                  "EFEFEF", "FAFAFA", "F3F5F8", "F9F9F9", "DFEFFF"};
const std::string kDroppedBackground = "262626";
const std::vector<std::string> kLayoutBackgroundList = {
    "FFFFFF",   "F5F5F5", "EEEEEE", "E5E5E5",
    "F7F7F7E5",  // 0.97, 0.97, 0.97 at alpha 0.9
    "E5E5E519",  // 0.9, 0.9, 0.9 at alpha 0.1
    "FFFFFFD1",  // 1.0 at alpha 0.82
    "FFFFFF14",  // 1.0 at alpha 0.08
    "FFFFFF7F",  // 1.0 at alpha 0.5
    "FFFFFF4C",  // 1.0 at alpha 0.3
    "EBEBEB",   "EAEDEF", "000000", "252525", "F1F1F1",
    "F7F8F9",   "FAFAFA", "DFE3E7", "EFEFF4", "CED4DA"};
const std::vector<std::string> kLayoutBorderList = {"FFFFFF", "CCCCCC", "EEEEEE", "DFE3E7",
                                                    "A05DCD"};

// The main background colour of these tests, in no list, and a background that is in none.
constexpr const char* kMainSeen = "#101010FF";
constexpr const char* kEarlierSeen = "#336699FF";

using Steps = std::array<int, 4>;

Steps StepsOf(const std::string& text) {
  const unsigned long value = std::strtoul(text.c_str(), nullptr, 16);
  const unsigned long rgba = text.size() == 6 ? (value << 8) | 0xFF : value;
  return {static_cast<int>(rgba >> 24), static_cast<int>((rgba >> 16) & 0xFF),
          static_cast<int>((rgba >> 8) & 0xFF), static_cast<int>(rgba & 0xFF)};
}

// "#RRGGBBAA", as the trace and ColorText show a colour.
std::string Text(const Steps& steps) {
  char text[10];
  std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", steps[0], steps[1], steps[2], steps[3]);
  return text;
}

bool InList(const std::vector<std::string>& list, const Steps& steps) {
  for (const std::string& entry : list) {
    if (StepsOf(entry) == steps) return true;
  }
  return false;
}

// Each entry, and each neighbour one step away in one component, within 0 to 255.
std::vector<Steps> EntriesAndNeighbours(const std::vector<std::string>& list) {
  std::vector<Steps> probes;
  for (const std::string& entry : list) {
    probes.push_back(StepsOf(entry));
    for (int component = 0; component < 4; ++component) {
      for (int step : {-1, +1}) {
        Steps neighbour = StepsOf(entry);
        neighbour[component] += step;
        if (neighbour[component] >= 0 && neighbour[component] <= 255) probes.push_back(neighbour);
      }
    }
  }
  return probes;
}

// A new colour in the middle of each component's 8-bit step (1.0 for 255, the step's only value
// in range), owned by the caller.
id NewColourInside(const Steps& steps) {
  auto inside = [](int step) { return step == 255 ? 1.0 : (step + 0.5) / 255.0; };
  return device::NewRGBColor(inside(steps[0]), inside(steps[1]), inside(steps[2]),
                             inside(steps[3]));
}

// What each step leaves: the main background for an entry of its list, for the setter the view's
// earlier colour for the one colour it drops, else the colour itself.
std::string AfterSetter(const Steps& steps) {
  if (InList(kSetterSwapList, steps)) return kMainSeen;
  return steps == StepsOf(kDroppedBackground) ? kEarlierSeen : Text(steps);
}
std::string AfterLayoutBackground(const Steps& steps) {
  return InList(kLayoutBackgroundList, steps) ? kMainSeen : Text(steps);
}
std::string AfterLayoutBorder(const Steps& steps) {
  return InList(kLayoutBorderList, steps) ? kMainSeen : Text(steps);
}

enum class Step {
  kSetter,            // setBackgroundColor: on a view that held #336699.
  kLayoutBackground,  // A layout pass on a view whose background is the colour.
  kLayoutBorder,      // A layout pass on a view whose layer border is the colour.
};

class ColourListsTest : public HostTest {
 public:
  // Each colour of `colours` through `step`, against what `expected` says of it: the view's
  // background, or its border. The views are made with the theme off, so that nothing they hold
  // passed a replacement; the main background colour is then #101010.
  template <typename Expected>
  void CheckEach(Step step, const std::vector<Steps>& colours, Expected expected) {
    std::vector<id> views;
    {
      device::PausedTrace quiet;
      WriteSettings({{"enabled", false}});
      for (const Steps& steps : colours) {
        id view = MakeView();
        if (step == Step::kSetter) {
          Send(view, "setBackgroundColor:", Keep(NewHexColour("336699")));
        } else if (step == Step::kLayoutBackground) {
          Send(view, "setBackgroundColor:", Keep(NewColourInside(steps)));
        } else {
          Send(Send<id>(view, "layer"),
               "setBorderColor:", Send<CGColorRef>(Keep(NewColourInside(steps)), "CGColor"));
        }
        views.push_back(view);
      }
    }
    WriteSettings({{"MainBGColor", std::string("#101010")}});
    for (std::size_t i = 0; i < views.size(); ++i) {
      if (step == Step::kSetter) {
        Send(views[i], "setBackgroundColor:", Keep(NewColourInside(colours[i])));
      } else {
        Send(views[i], "layoutSubviews");
      }
      EXPECT_EQ(step == Step::kLayoutBorder ? BorderOf(views[i]) : BackgroundOf(views[i]),
                expected(colours[i]))
          << Text(colours[i]);
    }
  }
};

// Faults pinned: one hexadecimal digit changed in an entry of a list ("EAEDEF", "F3F5F8", the
// grey at alpha 0.1, "DFE3E7") passed every test.
TEST_F(ColourListsTest, TheSetterSwapsItsListDropsItsOneColourAndPassesTheirNeighbours) {
  std::vector<Steps> colours = EntriesAndNeighbours(kSetterSwapList);
  for (const Steps& steps : EntriesAndNeighbours({kDroppedBackground})) colours.push_back(steps);
  CheckEach(Step::kSetter, colours, AfterSetter);
}

TEST_F(ColourListsTest, LayoutRepaintsEachBackgroundOfItsListAndNotItsNeighbours) {
  CheckEach(Step::kLayoutBackground, EntriesAndNeighbours(kLayoutBackgroundList),
            AfterLayoutBackground);
}

TEST_F(ColourListsTest, LayoutRepaintsEachBorderOfItsListAndNotItsNeighbours) {
  CheckEach(Step::kLayoutBorder, EntriesAndNeighbours(kLayoutBorderList), AfterLayoutBorder);
}

// The lists are independent: an entry of one list is left alone by the step that uses another.
// No list holds a fully transparent colour: a list that grew by a blank entry would.
TEST_F(ColourListsTest, EachListServesOnlyItsOwnStep) {
  const std::vector<Steps> colours = {StepsOf("000000"),  StepsOf("FF0000"), StepsOf("A05DCD"),
                                      StepsOf("CCCCCC"),  StepsOf("E5E5E5"), StepsOf("262626"),
                                      StepsOf("00000000")};
  CheckEach(Step::kSetter, colours, AfterSetter);
  CheckEach(Step::kLayoutBackground, colours, AfterLayoutBackground);
  CheckEach(Step::kLayoutBorder, colours, AfterLayoutBorder);
}

}  // namespace
