// The colour picker library as the library and the checker rely on it: the colour strings it
// reads, and its fallback when a value names no colour.
#include "libcolorpicker.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/colorpicker/ColorStringGrammar.h"
#include "device/runtime/Runtime.h"

namespace device {
namespace {

// "#RRGGBBAA" of the components times 255, truncated, or "rejected".
std::string Parsed(std::string_view input) {
  const std::optional<ColorStringComponents> c = ParseColorString(input);
  if (!c) return "rejected";
  auto step = [](double component) { return static_cast<unsigned>(component * 255); };
  char text[10];
  std::snprintf(text, sizeof text, "#%02X%02X%02X%02X", step(c->red), step(c->green), step(c->blue),
                step(c->alpha));
  return text;
}

TEST(ColorStringGrammarTest, ReadsItsFormsAndRejectsEveryOther) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"FF8000", "#FF8000FF"},     {"#aBcDeF", "#ABCDEFFF"},     {"F0A", "#FF00AAFF"},
      {"#f0a", "#FF00AAFF"},       {"#FF0000:0.5", "#FF00007F"}, {"FF0000:1", "#FF0000FF"},
      {"FF0000:.25", "#FF00003F"}, {"FF0000:1.7", "#FF0000FF"},  {"FF0000:0", "#FF000000"},
      {"F00:0.5", "#FF00007F"},    {"FF000080", "#FF000080"},    {"#12345600", "#12345600"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(Parsed(input), expected) << input;
  const std::string_view rejected[] = {
      "",          "#",          "##FF0000",       "12345",        "1234567",
      "123456789", "GGGGGG",     "0xFF00",         "#FF0000:",     "#FF0000:abc",
      "FF0000:-1", "FF0000:1e0", "FF0000:0.5:0.5", "FF000080:0.5", ":0.5",
      " FF0000",   "FF0000 ",    "FF0000: 0.5"};
  for (const std::string_view input : rejected) EXPECT_EQ(Parsed(input), "rejected") << input;
}

// nil, a number (which names no colour), or a string.
id Argument(const char* text) {
  if (text == nullptr) return nullptr;
  return std::string_view(text) == "7" ? NewIntegerNumber(7) : NewString(text);
}

TEST(LCPParseColorStringTest, AnswersTheValuesColourElseTheFallbacksElseNil) {
  struct Case {
    const char* value;     // nullptr for nil, "7" for the number 7.
    const char* fallback;  // The same.
    const char* expected;
  };
  const Case cases[] = {
      {"#FF8000", "000000", "#FF8000FF"},  {"F0A:0.5", nullptr, "#FF00AA7F"},
      {"12345680", "GGGGGG", "#12345680"}, {nullptr, "#00FF00", "#00FF00FF"},
      {"7", "00FF00", "#00FF00FF"},        {"", "00FF00", "#00FF00FF"},
      {"#FF00G0", "0F0:0", "#00FF0000"},   {nullptr, nullptr, "nil"},
      {"#GG0000", "#FF0000:", "nil"},      {"7", "7", "nil"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("value ") + (c.value ? c.value : "nil") + ", fallback " +
                 (c.fallback ? c.fallback : "nil"));
    const long objectsBefore = LiveObjects();
    {
      AutoreleasePool pool;
      id value = Argument(c.value);
      id fallback = Argument(c.fallback);
      EXPECT_EQ(ColorText(LCPParseColorString(value, fallback)), c.expected);
      Message(value, "release");
      Message(fallback, "release");
    }
    EXPECT_EQ(LiveObjects(), objectsBefore) << "the answer outlived its pool";
  }
}

}  // namespace
}  // namespace device

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  device::StartRuntime();
  device::RegisterFoundation();
  device::RegisterQuartzCore();
  device::RegisterUIKit();
  return RUN_ALL_TESTS();
}
