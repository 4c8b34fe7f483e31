#include "device/host/HostClasses.h"

#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {

void RegisterHostPalettes(HostMethods& methods);
void RegisterHostTextViews(HostMethods& methods);
void RegisterHostGraphics(HostMethods& methods);
void RegisterHostChrome(HostMethods& methods);

namespace {

// The host's feed lays out its own content and then lets UIView do the rest.
void FeedViewLayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass("IGFeedView"), "layoutSubviews");
}

}  // namespace

void RegisterHostClasses(const std::vector<std::string>& missingMethods) {
  HostMethods methods(missingMethods);
  DefineClass("IGFeedView", "UIView", {}, [&](Class cls) {
    methods.AddInstance(cls, "layoutSubviews", &FeedViewLayoutSubviews);
  });
  DefineClass("IGPlainView", "UIView", {}, [](Class) {});
  RegisterHostPalettes(methods);
  RegisterHostTextViews(methods);
  RegisterHostGraphics(methods);
  RegisterHostChrome(methods);
  methods.CheckEveryNameMatched();
}

}  // namespace device
