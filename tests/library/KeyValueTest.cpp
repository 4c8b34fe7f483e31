// The guarded key value lookup, against the simulated platform's valueForKey:, which raises for a
// key an object does not hold, as Foundation does.
#include <gtest/gtest.h>

#include "device/Foundation/Foundation.h"
#include "device/QuartzCore/QuartzCoreDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "platform/KeyValue.h"

namespace {

class KeyValueTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    device::StartRuntime();
    device::RegisterFoundation();
    device::RegisterQuartzCore();
    device::RegisterUIKit();
  }
};

TEST_F(KeyValueTest, AnswersWhatTheObjectHoldsByGetterOrInstanceVariable) {
  device::AutoreleasePool pool;
  id view = device::NewView("UIView");
  id superview = device::NewView("UIView");
  device::Message(superview, "addSubview:", view);
  EXPECT_EQ(umbravista::platform::ValueForHeldKey(view, "superview"), superview);
  EXPECT_EQ(umbravista::platform::ValueForHeldKey(view, "_superview"), superview);
  EXPECT_NE(umbravista::platform::ValueForHeldKey(view, "layer"), nullptr);
  device::Message(superview, "release");
  device::Message(view, "release");
}

TEST_F(KeyValueTest, AKeyTheObjectDoesNotHoldAnswersNilWhereTheLookupWouldRaise) {
  device::AutoreleasePool pool;
  id view = device::NewView("UIView");
  id key = device::NewString("_backgroundImageView");
  EXPECT_THROW(device::Message<id>(view, "valueForKey:", key), device::PlatformException);
  // As on the device, a selector that no class answers raises rather than answering zero.
  EXPECT_THROW(device::Message<id>(view, "noSuchSelector"), device::PlatformException);
  EXPECT_EQ(umbravista::platform::ValueForHeldKey(view, "_backgroundImageView"), nullptr);
  EXPECT_EQ(umbravista::platform::ValueForHeldKey(nullptr, "layer"), nullptr);
  device::Message(key, "release");
  device::Message(view, "release");
}

}  // namespace
