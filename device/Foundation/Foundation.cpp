#include "device/Foundation/Foundation.h"

#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {

void RegisterFoundation() {
  RegisterObjectRoot();
  RegisterNSString();
  RegisterNSNumber();
  RegisterNSArray();
  RegisterNSDictionary();
  RegisterNSProcessInfo();
  RegisterNSCharacterSet();
  RegisterNSScanner();
}

id NewObject(const char* className) {
  PausedTrace quiet;
  return Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass(className)), "alloc"), "init");
}

void StoreRetained(id& place, id value) {
  Message(value, "retain");
  Message(place, "release");
  place = value;
}

}  // namespace device
