#include "settings/TruthValue.h"

#include <gtest/gtest.h>
#include <plist/plist.h>

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
     "1 and more", "\xC2\xA0y", "\xE3\x80\x80T"});
// ...and these as false; the last is a full-width digit one, which is not a digit 1 to 9.
constexpr auto kFalseStrings =
    std::to_array<std::string_view>({"NO", "no", "0", "", "false", "-0", "00", "+", "- 1", "+-1",
                                     "0 1", "x1", " ", "\xEF\xBC\x91"});

void ExpectStringTruth(std::string_view text, bool expected) {
  EXPECT_EQ(StringTruthValue(text), expected) << "for the string \"" << text << "\"";
}

TEST(StringTruthValueTest, FollowsNSStringBoolValue) {
  for (const std::string_view text : kTrueStrings) ExpectStringTruth(text, true);
  for (const std::string_view text : kFalseStrings) ExpectStringTruth(text, false);
}

struct NodeCase {
  const char* description = nullptr;
  plist_t (*makeNode)() = nullptr;
  std::optional<bool> expected;
};

const auto kNodeCases = std::to_array<NodeCase>({
    {"true", [] { return plist_new_bool(1); }, true},
    {"false", [] { return plist_new_bool(0); }, false},
    {"integer 0", [] { return plist_new_uint(0); }, false},
    {"integer 2", [] { return plist_new_uint(2); }, true},
    {"integer -1", [] { return plist_new_uint(static_cast<std::uint64_t>(-1)); }, true},
    {"real 0.0", [] { return plist_new_real(0.0); }, false},
    {"real -0.0", [] { return plist_new_real(-0.0); }, false},
    {"real 0.5", [] { return plist_new_real(0.5); }, true},
    {"real NaN", [] { return plist_new_real(std::nan("")); }, true},
    {"string YES", [] { return plist_new_string("YES"); }, true},
    {"string NO", [] { return plist_new_string("NO"); }, false},
    {"data", [] { return plist_new_data("\1", 1); }, std::nullopt},
    {"date", [] { return plist_new_date(0, 0); }, std::nullopt},
    {"array", [] { return plist_new_array(); }, std::nullopt},
    {"dictionary", [] { return plist_new_dict(); }, std::nullopt},
    {"uid", [] { return plist_new_uid(1); }, std::nullopt},
});

TEST(TruthValueTest, AnswersByKindOfValue) {
  for (const NodeCase& testCase : kNodeCases) {
    plist_t node = testCase.makeNode();
    EXPECT_EQ(TruthValue(node), testCase.expected) << "for " << testCase.description;
    plist_free(node);
  }
}

TEST(TruthValueTest, AMissingValueIsFalseLikeAMessageToNil) {
  EXPECT_EQ(TruthValue(nullptr), std::optional<bool>(false));
}

}  // namespace
}  // namespace umbravista
