// Every entry of every colour list of the background replacements, through the replacement that
// uses it, each beside its neighbours one 8-bit step away in each component, which must not be
// taken for it. The lists are written out here as the theme defines them; the comparison
// truncates each component times 255, so a colour is built in the middle of its step.
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/host/HostTest.h"

namespace {

// A colour as the comparison sees it: red, green, blue, alpha, each 0 to 255.
using Steps = std::array<int, 4>;

// An entry of a list: six hexadecimal digits (opaque), or the 8-bit form of a colour given by its
// components (the decimal components in the name).
struct Entry {
  const char* name;
  Steps steps;
};

constexpr Steps Hex(unsigned value) {
  return {static_cast<int>((value >> 16) & 0xFF), static_cast<int>((value >> 8) & 0xFF),
          static_cast<int>(value & 0xFF), 255};
}

const Entry kSetterSwapList[] = {
    {"FFFFFF", Hex(0xFFFFFF)}, {"EEEEEE", Hex(0xEEEEEE)}, {"EAEDEF", Hex(0xEAEDEF)},
    {"252525", Hex(0x252525)}, {"F5F5F5", Hex(0xF5F5F5)}, {"FF0000", Hex(0xFF0000)},
    {"CCCCCC", Hex(0xCCCCCC)}, {"F7F8F9", Hex(0xF7F8F9)}, {"F7F7F7", Hex(0xF7F7F7)},
    {"FAFAF9", Hex(0xFAFAF9)}, {"EFEFEF", Hex(0xEFEFEF)}, {"FAFAFA", Hex(0xFAFAFA)},
    {"F3F5F8", Hex(0xF3F5F8)}, {"F9F9F9", Hex(0xF9F9F9)}, {"DFEFFF", Hex(0xDFEFFF)},
};

const Entry kDroppedBackgroundColour = {"262626", Hex(0x262626)};

const Entry kLayoutBackgroundList[] = {
    {"FFFFFF", Hex(0xFFFFFF)},
    {"F5F5F5", Hex(0xF5F5F5)},
    {"EEEEEE", Hex(0xEEEEEE)},
    {"E5E5E5", Hex(0xE5E5E5)},
    {"0.97, 0.97, 0.97, alpha 0.9", {247, 247, 247, 229}},
    {"0.9, 0.9, 0.9, alpha 0.1", {229, 229, 229, 25}},
    {"1.0, 1.0, 1.0, alpha 0.82", {255, 255, 255, 209}},
    {"1.0, 1.0, 1.0, alpha 0.08", {255, 255, 255, 20}},
    {"1.0, 1.0, 1.0, alpha 0.5", {255, 255, 255, 127}},
    {"1.0, 1.0, 1.0, alpha 0.3", {255, 255, 255, 76}},
    {"EBEBEB", Hex(0xEBEBEB)},
    {"EAEDEF", Hex(0xEAEDEF)},
    {"000000", Hex(0x000000)},
    {"252525", Hex(0x252525)},
    {"F1F1F1", Hex(0xF1F1F1)},
    {"F7F8F9", Hex(0xF7F8F9)},
    {"FAFAFA", Hex(0xFAFAFA)},
    {"DFE3E7", Hex(0xDFE3E7)},
    {"EFEFF4", Hex(0xEFEFF4)},
    {"CED4DA", Hex(0xCED4DA)},
};

const Entry kLayoutBorderList[] = {
    {"FFFFFF", Hex(0xFFFFFF)}, {"CCCCCC", Hex(0xCCCCCC)}, {"EEEEEE", Hex(0xEEEEEE)},
    {"DFE3E7", Hex(0xDFE3E7)}, {"A05DCD", Hex(0xA05DCD)},
};

// The main background colour of these tests, in no list, and a background that is in none.
constexpr const char* kMain = "#101010";
constexpr const char* kMainSeen = "#101010FF";
constexpr const char* kEarlier = "336699";
constexpr const char* kEarlierSeen = "#336699FF";

// "#RRGGBBAA", as the trace and ColorText show a colour.
std::string Text(const Steps& steps) {
  char text[10];
  std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", steps[0], steps[1], steps[2], steps[3]);
  return text;
}

template <std::size_t N>
bool InList(const Entry (&list)[N], const Steps& steps) {
  for (const Entry& entry : list) {
    if (entry.steps == steps) return true;
  }
  return false;
}

// One colour to try: an entry, or one of its neighbours.
struct Probe {
  std::string name;
  Steps steps;
};

// The entry and each neighbour one step away in one component, within 0 to 255.
std::vector<Probe> EntryAndNeighbours(const Entry& entry) {
  std::vector<Probe> probes = {{std::string("\"") + entry.name + "\"", entry.steps}};
  const char* const components[] = {"red", "green", "blue", "alpha"};
  for (int component = 0; component < 4; ++component) {
    for (int step : {-1, +1}) {
      Steps neighbour = entry.steps;
      neighbour[component] += step;
      if (neighbour[component] < 0 || neighbour[component] > 255) continue;
      probes.push_back({std::string("\"") + entry.name + "\" " + components[component] +
                            (step < 0 ? " -1" : " +1"),
                        neighbour});
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

enum class Step {
  kSetter,            // setBackgroundColor: on a view that held kEarlier.
  kLayoutBackground,  // A layout pass on a view whose background is the colour.
  kLayoutBorder,      // A layout pass on a view whose layer border is the colour.
};

class ColourListsTest : public HostTest {
 protected:
  // What each colour of `colours` became through `step`: the view's background, or its border.
  // The views are made with the theme off, so that nothing they hold passed a replacement; the
  // main background colour is then kMain.
  std::vector<std::string> Through(Step step, const std::vector<Steps>& colours) {
    std::vector<id> views;
    {
      device::PausedTrace quiet;
      WriteSettings({{"enabled", false}});
      for (const Steps& steps : colours) {
        id view = MakeView();
        if (step == Step::kSetter) {
          Send(view, "setBackgroundColor:", Keep(NewHexColour(kEarlier)));
        } else if (step == Step::kLayoutBackground) {
          Send(view, "setBackgroundColor:", Keep(NewColourInside(steps)));
        } else {
          Send(Send<id>(view, "layer"),
               "setBorderColor:", Send<CGColorRef>(Keep(NewColourInside(steps)), "CGColor"));
        }
        views.push_back(view);
      }
    }
    WriteSettings({{"MainBGColor", std::string(kMain)}});
    std::vector<std::string> results;
    for (std::size_t i = 0; i < views.size(); ++i) {
      if (step == Step::kSetter) {
        Send(views[i], "setBackgroundColor:", Keep(NewColourInside(colours[i])));
      } else {
        Send(views[i], "layoutSubviews");
      }
      results.push_back(step == Step::kLayoutBorder ? BorderOf(views[i]) : BackgroundOf(views[i]));
    }
    return results;
  }

  // Each probe of `probes` through `step`, checked against what `expected` says of it.
  template <typename Expected>
  void CheckEach(Step step, const std::vector<Probe>& probes, Expected expected) {
    std::vector<Steps> colours;
    colours.reserve(probes.size());
    for (const Probe& probe : probes) colours.push_back(probe.steps);
    const std::vector<std::string> results = Through(step, colours);
    for (std::size_t i = 0; i < probes.size(); ++i) {
      SCOPED_TRACE(probes[i].name + " " + Text(probes[i].steps));
      EXPECT_EQ(results[i], expected(probes[i].steps));
    }
  }
};

template <std::size_t N>
std::vector<Probe> EveryEntryAndItsNeighbours(const Entry (&list)[N]) {
  std::vector<Probe> probes;
  for (const Entry& entry : list) {
    for (const Probe& probe : EntryAndNeighbours(entry)) probes.push_back(probe);
  }
  return probes;
}

// Fault pinned: one hexadecimal digit changed in an entry of a list ("EAEDEF", "F3F5F8") passed
// every test.
TEST_F(ColourListsTest, TheSetterSwapsEachEntryOfItsListAndNotItsNeighbours) {
  CheckEach(Step::kSetter, EveryEntryAndItsNeighbours(kSetterSwapList), [](const Steps& steps) {
    if (InList(kSetterSwapList, steps)) return std::string(kMainSeen);
    if (steps == kDroppedBackgroundColour.steps) return std::string(kEarlierSeen);
    return Text(steps);  // Passed unchanged.
  });
}

TEST_F(ColourListsTest, TheSetterDropsItsOneColourAndNotItsNeighbours) {
  CheckEach(Step::kSetter, EntryAndNeighbours(kDroppedBackgroundColour), [](const Steps& steps) {
    return steps == kDroppedBackgroundColour.steps ? std::string(kEarlierSeen) : Text(steps);
  });
}

// Fault pinned: a digit changed in a layout entry ("EFEFF4", the grey at alpha 0.1) passed every
// test.
TEST_F(ColourListsTest, LayoutRepaintsEachBackgroundOfItsListAndNotItsNeighbours) {
  CheckEach(Step::kLayoutBackground, EveryEntryAndItsNeighbours(kLayoutBackgroundList),
            [](const Steps& steps) {
              return InList(kLayoutBackgroundList, steps) ? std::string(kMainSeen) : Text(steps);
            });
}

// Fault pinned: a digit changed in the border entry "DFE3E7" passed every test.
TEST_F(ColourListsTest, LayoutRepaintsEachBorderOfItsListAndNotItsNeighbours) {
  CheckEach(Step::kLayoutBorder, EveryEntryAndItsNeighbours(kLayoutBorderList),
            [](const Steps& steps) {
              return InList(kLayoutBorderList, steps) ? std::string(kMainSeen) : Text(steps);
            });
}

// The lists are independent: an entry of one list is left alone by the step that uses another.
TEST_F(ColourListsTest, EachListServesOnlyItsOwnStep) {
  struct Case {
    const char* name;
    Steps steps;
    const char* afterSetting;
    const char* backgroundAfterLayout;
    const char* borderAfterLayout;
  };
  const Case cases[] = {
      {"\"000000\": layout only", Hex(0x000000), "#000000FF", kMainSeen, "#000000FF"},
      {"\"FF0000\": setter only", Hex(0xFF0000), kMainSeen, "#FF0000FF", "#FF0000FF"},
      {"\"A05DCD\": border only", Hex(0xA05DCD), "#A05DCDFF", "#A05DCDFF", kMainSeen},
      {"\"CCCCCC\": setter and border", Hex(0xCCCCCC), kMainSeen, "#CCCCCCFF", kMainSeen},
      {"\"E5E5E5\": layout only", Hex(0xE5E5E5), "#E5E5E5FF", kMainSeen, "#E5E5E5FF"},
      {"\"262626\": dropped by the setter only", Hex(0x262626), kEarlierSeen, "#262626FF",
       "#262626FF"},
      // No list holds a fully transparent colour: a list that grew by a blank entry would.
      {"clear: in no list", Steps{0, 0, 0, 0}, "#00000000", "#00000000", "#00000000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Through(Step::kSetter, {c.steps}).at(0), c.afterSetting);
    EXPECT_EQ(Through(Step::kLayoutBackground, {c.steps}).at(0), c.backgroundAfterLayout);
    EXPECT_EQ(Through(Step::kLayoutBorder, {c.steps}).at(0), c.borderAfterLayout);
  }
}

}  // namespace
