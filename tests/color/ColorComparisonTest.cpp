#include "color/ColorComparison.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace umbravista {
namespace {

static_assert(EightBitStep(0.5) == 127 && EightBitStep(0.5F) == 127, "usable in constant tables");

constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr std::int32_t kLargestStep = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kSmallestStep = std::numeric_limits<std::int32_t>::min();

struct StepCase {
  double component;
  std::int32_t expectedStep;
};

struct SamenessCase {
  ThemeColor<double> first;
  ThemeColor<double> second;
  bool expectedSame;
};

template <typename Component>
ThemeColor<Component> InWidth(ThemeColor<double> color) {
  return {static_cast<Component>(color.red), static_cast<Component>(color.green),
          static_cast<Component>(color.blue), static_cast<Component>(color.alpha)};
}

template <typename Component>
class ColorComparisonTest : public testing::Test {
 protected:
  static void ExpectSteps(const std::vector<StepCase>& cases) {
    for (const auto& [component, expectedStep] : cases) {
      SCOPED_TRACE(testing::Message() << "component " << component);
      EXPECT_EQ(EightBitStep(static_cast<Component>(component)), expectedStep);
    }
  }

  static void ExpectSameness(const std::vector<SamenessCase>& cases) {
    for (const auto& [first, second, expectedSame] : cases) {
      SCOPED_TRACE(testing::Message()
                   << "first " << first.red << ' ' << first.green << ' ' << first.blue << ' '
                   << first.alpha << ", second " << second.red << ' ' << second.green << ' '
                   << second.blue << ' ' << second.alpha);
      EXPECT_EQ(IsSameColor(InWidth<Component>(first), InWidth<Component>(second)), expectedSame);
    }
  }
};

using ComponentWidths = testing::Types<double, float>;
TYPED_TEST_SUITE(ColorComparisonTest, ComponentWidths);

// Truncates toward zero, leaves slightly out-of-range components unclamped, saturates huge
// products and answers zero for NaN.
TYPED_TEST(ColorComparisonTest, ScalesComponentsToEightBitSteps) {
  TestFixture::ExpectSteps({{0.97, 247},
                            {0.96, 244},
                            {0.94, 239},
                            {0.5, 127},
                            {0.145, 36},
                            {0.2, 51},
                            {1.0, 255},
                            {0.0, 0},
                            {0.9999, 254},
                            {-0.002, 0},
                            {1.002, 255},
                            {2.0, 510},
                            {-0.5, -127},
                            {1e10, kLargestStep},
                            {-1e10, kSmallestStep},
                            {kInfinity, kLargestStep},
                            {-kInfinity, kSmallestStep},
                            {std::numeric_limits<double>::quiet_NaN(), 0}});
}

// Pins a boundary where a plain cast is undefined: a product of exactly 2^31 does not fit.
TYPED_TEST(ColorComparisonTest, SaturatesAProductOfExactlyTwoToTheThirtyOne) {
  using Component = TypeParam;
  const auto edge = static_cast<Component>(2147483648.0);
  auto component = edge / static_cast<Component>(255.0);
  // The quotient may be off by a rounding step in this width; its neighbours give the product.
  for (int step = 0; step < 4 && component * static_cast<Component>(255.0) != edge; ++step) {
    component = std::nextafter(component, component * static_cast<Component>(255.0) < edge
                                              ? std::numeric_limits<Component>::infinity()
                                              : Component{0});
  }
  ASSERT_EQ(component * static_cast<Component>(255.0), edge);
  // Read back at run time: the compiler folds an out-of-range conversion to a saturated value,
  // while the device's conversion instruction does not.
  const volatile Component atRunTime = component;
  EXPECT_EQ(EightBitStep(static_cast<Component>(atRunTime)), kLargestStep);
  EXPECT_EQ(EightBitStep(static_cast<Component>(-atRunTime)), kSmallestStep);
}

// Every component counts, alpha too, and components within one step are the same.
TYPED_TEST(ColorComparisonTest, ComparesEveryComponentToTheStep) {
  TestFixture::ExpectSameness({
      {{1, 1, 1, 1}, {1, 1, 1, 0.5}, false},
      {{0.2, 0.2, 0.2, 1}, {0.2, 0.2, 0.21, 1}, false},
      {{0.2, 0.2, 0.2, 1}, {0.2, 0.21, 0.2, 1}, false},
      {{0.2, 0.2, 0.2, 1}, {0.21, 0.2, 0.2, 1}, false},
      {{0.97, 0.97, 0.97, 1}, {0.9701, 0.9701, 0.9701, 1}, true},
      {{0.5, 0.5, 0.5, 1}, {0.501, 0.501, 0.501, 1}, true},
      {{0.5, 0.5, 0.5, 1}, {0.502, 0.502, 0.502, 1}, false},
      {{1.0, 0, 0, 1}, {1.002, -0.002, 0, 1}, true},
  });
}

}  // namespace
}  // namespace umbravista
