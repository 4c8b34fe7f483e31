#include <string>

#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// UIDevice: the one device, and the system's version as text, which is how systems before iOS 8
// tell their version.
namespace device {
namespace {

// Made at registration and never released, as UIKit keeps its device for the process.
id sharedDevice = nullptr;

id CurrentDevice(id cls, SEL selector) {
  RecordCall(cls, selector);
  return sharedDevice;
}

id SystemVersion(id self, SEL selector) {
  RecordCall(self, selector);
  return Message<id>(NewString(SystemVersionText().c_str()), "autorelease");
}

}  // namespace

void RegisterUIDevice() {
  Class cls = DefineClass("UIDevice", "NSObject", {}, [](Class cls) {
    AddClassMethod(cls, "currentDevice", &CurrentDevice);
    AddInstanceMethod(cls, "systemVersion", &SystemVersion);
  });
  if (cls != nullptr) sharedDevice = NewObject("UIDevice");
}

}  // namespace device
