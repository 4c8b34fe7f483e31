// A host whose system lacks UIView: which classes exist is fixed for the whole process, so this
// runs in a process of its own. The library must load, install what it can and nothing else.
#include <gtest/gtest.h>
#include <objc/runtime.h>

#include "device/host/SimulatedHost.h"
#include "device/substrate/HookRecord.h"

namespace {

TEST(MissingClassesTest, EntriesOfAMissingClassInstallNothingAndLoadingGoesOn) {
  device::SimulatedHost host({.missingClasses = {"UIView"}, .libraryPath = {}});
  ASSERT_NO_THROW(host.Launch());
  const std::vector<device::HookRecord>& hooks = device::HookRecords();
  ASSERT_EQ(hooks.size(), 2u);
  for (const device::HookRecord& hook : hooks) {
    SCOPED_TRACE(hook.selector);
    EXPECT_EQ(hook.className, "");
    EXPECT_FALSE(hook.installed);
  }
  EXPECT_EQ(hooks[0].selector, "layoutSubviews");
  EXPECT_EQ(hooks[1].selector, "setBackgroundColor:");
  // The category still reaches UIColor, which this system has.
  EXPECT_TRUE(class_respondsToSelector(objc_getClass("UIColor"), sel_registerName("isSameColor:")));
}

}  // namespace
