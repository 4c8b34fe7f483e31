#include "device/Foundation/Foundation.h"

#include "device/runtime/Runtime.h"

namespace device {

void RegisterFoundation() {
  RegisterObjectRoot();
  RegisterNSString();
  RegisterNSNumber();
  RegisterNSArray();
}

}  // namespace device
