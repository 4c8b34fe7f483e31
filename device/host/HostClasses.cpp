#include "device/host/HostClasses.h"

#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

// The host's feed lays out its own content and then lets UIView do the rest.
void FeedViewLayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("IGFeedView"), "layoutSubviews");
}

}  // namespace

void RegisterHostClasses() {
  DefineClass("IGFeedView", "UIView", {}, [](Class cls) {
    AddInstanceMethod(cls, "layoutSubviews", &FeedViewLayoutSubviews, "v@:");
  });
  DefineClass("IGPlainView", "UIView", {}, [](Class) {});
}

}  // namespace device
