#include "libcolorpicker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"

namespace device {
namespace {

// What a caller hands over: nil, a string with `text`, or a number (which names no colour).
struct Argument {
  enum Kind { kNil, kString, kNumber } kind;
  const char* text = "";
};
constexpr Argument kNil{Argument::kNil};
constexpr Argument kNumber{Argument::kNumber};
constexpr Argument String(const char* text) {
  return {Argument::kString, text};
}

std::string Describe(const Argument& argument) {
  switch (argument.kind) {
    case Argument::kNil:
      return "nil";
    case Argument::kNumber:
      return "NSNumber 7";
    case Argument::kString:
      break;
  }
  return std::string("\"") + argument.text + "\"";
}

// A new object (owned by the caller) for `argument`, or nil.
id Make(const Argument& argument) {
  switch (argument.kind) {
    case Argument::kNil:
      return nullptr;
    case Argument::kNumber:
      return NewIntegerNumber(7);
    case Argument::kString:
      break;
  }
  return NewString(argument.text);
}

struct Case {
  Argument value;
  Argument fallback;
  std::string expected;  // "#RRGGBBAA", or "nil" when neither names a colour.
};

void ExpectAnswers(const std::vector<Case>& cases) {
  for (const auto& [value, fallback, expected] : cases) {
    SCOPED_TRACE("value " + Describe(value) + ", fallback " + Describe(fallback));
    const long colorsBefore = LiveObjects("UIColor");
    const long stringsBefore = LiveObjects("NSString");
    {
      AutoreleasePool pool;
      id valueObject = Make(value);
      id fallbackObject = Make(fallback);
      std::string answer = "raised";
      EXPECT_NO_THROW(answer = ColorText(LCPParseColorString(valueObject, fallbackObject)));
      EXPECT_EQ(answer, expected);
      Message(valueObject, "release");
      Message(fallbackObject, "release");
    }
    EXPECT_EQ(LiveObjects("UIColor"), colorsBefore);
    EXPECT_EQ(LiveObjects("NSString"), stringsBefore);
  }
}

TEST(LCPParseColorStringTest, AnswersTheColourThatTheValueNames) {
  ExpectAnswers({{String("#FF8000"), String("000000"), "#FF8000FF"},
                 {String("F0A:0.5"), kNil, "#FF00AA7F"},
                 {String("12345680"), String("GGGGGG"), "#12345680"}});
}

TEST(LCPParseColorStringTest, AnswersTheFallbacksColourWhenTheValueNamesNone) {
  ExpectAnswers({{kNil, String("#00FF00"), "#00FF00FF"},
                 {kNumber, String("00FF00"), "#00FF00FF"},
                 {String(""), String("00FF00"), "#00FF00FF"},
                 {String("#"), String("00FF00"), "#00FF00FF"},
                 {String("#FF00G0"), String("0F0:0"), "#00FF0000"}});
}

TEST(LCPParseColorStringTest, AnswersNilWhenNeitherNamesAColour) {
  ExpectAnswers({{kNil, kNil, "nil"},
                 {String("#GG0000"), String("#FF0000:"), "nil"},
                 {kNumber, kNumber, "nil"},
                 {String(""), String(""), "nil"}});
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
