#include "propertylist/TruthValue.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string_view>

namespace umbravista {
namespace {

// Foundation's documented NSString boolValue behaviour: these strings read as true...
constexpr auto kTrueStrings = std::to_array<std::string_view>(
    {"YES", "yes", "Y", "y", "true", "True", "t", "1", "9", "+01", "-1", "  7", "\t\n 1", "0001",
     "1 and more", "\xC2\xA0y", "\xE3\x80\x80\xE3\x80\x80\xE2\x80\x8AT",
     "\xE2\x80\x8A\xE1\x9A\x80"
     "1",
     // NEL, the line and paragraph separators, the narrow and the mathematical spaces.
     "\xC2\x85\xE2\x80\xA8\xE2\x80\xA9\xE2\x80\xAF\xE2\x81\x9F"
     "1"});
// ...and these as false; among them a space spelt in three bytes, which is no space, a
// full-width digit one, which is not a digit 1 to 9, and a space followed by an ideographic comma.
constexpr auto kFalseStrings = std::to_array<std::string_view>(
    {"NO", "no", "0", "", "false", "-0", "00", "+", "- 1", "+-1", "0 1", "x1", " ",
     "\xE0\x80\xA0"
     "1",
     "\xEF\xBC\x91", "\xE3\x80\x80\xE3\x80\x81y",
     // The neighbours of NEL and of the narrow space, which are no spaces.
     "\xC2\x86"
     "1",
     "\xE2\x80\xAE"
     "1"});

void ExpectStringTruth(std::string_view text, bool expected) {
  EXPECT_EQ(StringTruthValue(text), expected) << "for the string \"" << text << "\"";
}

TEST(StringTruthValueTest, FollowsNSStringBoolValue) {
  for (const std::string_view text : kTrueStrings) ExpectStringTruth(text, true);
  for (const std::string_view text : kFalseStrings) ExpectStringTruth(text, false);
}

SettingsValue Value(ValueKind kind, bool boolean = false, std::uint64_t integer = 0,
                    double real = 0, std::string_view text = {}) {
  SettingsValue value;
  value.kind = kind;
  value.boolean = boolean;
  value.integer = integer;
  value.real = real;
  value.text = text;
  return value;
}
SettingsValue Integer(std::uint64_t number) {
  return Value(ValueKind::kInteger, false, number);
}
SettingsValue Real(double number) {
  return Value(ValueKind::kReal, false, 0, number);
}
SettingsValue String(std::string_view text) {
  return Value(ValueKind::kString, false, 0, 0, text);
}

struct ValueCase {
  const char* description;
  SettingsValue value;
  std::optional<bool> expected;
};

TEST(TruthValueTest, AnswersByKindOfValue) {
  const auto cases = std::to_array<ValueCase>({
      {"true", Value(ValueKind::kBoolean, true), true},
      {"false", Value(ValueKind::kBoolean, false), false},
      {"integer 0", Integer(0), false},
      {"integer 2", Integer(2), true},
      {"integer -1", Integer(static_cast<std::uint64_t>(-1)), true},
      {"real 0.0", Real(0.0), false},
      {"real -0.0", Real(-0.0), false},
      {"real 0.5", Real(0.5), true},
      {"real NaN", Real(std::nan("")), true},
      {"string YES", String("YES"), true},
      {"string NO", String("NO"), false},
      {"string 1 then NUL", String(std::string_view("1\0", 2)), true},
      {"string NUL then 1", String(std::string_view("\0\x31", 2)), false},
      {"data", Value(ValueKind::kData), std::nullopt},
      {"date", Value(ValueKind::kDate), std::nullopt},
      {"array", Value(ValueKind::kArray), std::nullopt},
      {"dictionary", Value(ValueKind::kDictionary), std::nullopt},
      {"uid", Value(ValueKind::kUid), std::nullopt},
  });
  for (const ValueCase& testCase : cases) {
    EXPECT_EQ(TruthValue(testCase.value), testCase.expected) << "for " << testCase.description;
  }
}

}  // namespace
}  // namespace umbravista
