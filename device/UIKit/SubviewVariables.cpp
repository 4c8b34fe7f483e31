#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {

const char* ImageViewClassName() {
  return objc_getClass("UIImageView") != nullptr ? "UIImageView" : "UIView";
}

id AttachSubviewVariable(id owner, const char* variable, const char* viewClass) {
  PausedTrace quiet;
  const CGRect bounds{{0, 0}, Message<CGRect>(owner, "frame").size};
  id subview = NewView(viewClass, bounds);
  Message(owner, "addSubview:", subview);
  // The new view's own reference becomes the variable's.
  id& held = InstanceVariableOf<id>(owner, variable);
  Message(held, "release");
  held = subview;
  return subview;
}

void ReleaseInstanceVariable(id object, const char* name) {
  id& held = InstanceVariableOf<id>(object, name);
  Message(held, "release");
  held = nullptr;
}

id InstanceVariableObject(id object, const char* name) {
  return InstanceVariableOf<id>(object, name);
}

void EmptyInstanceVariable(id object, const char* name) {
  id held = InstanceVariableOf<id>(object, name);
  PausedTrace quiet;
  if (IsKindOf(held, "UIView") && Message<id>(held, "superview") == object) {
    Message(held, "removeFromSuperview");
  }
  ReleaseInstanceVariable(object, name);
}

}  // namespace device
