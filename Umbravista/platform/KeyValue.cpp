#include "platform/KeyValue.h"

#include <string>

#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"

namespace umbravista::platform {
namespace {

bool HoldsKey(id object, const char* key) {
  if (RespondsTo(object, Selector(key))) return true;
  Class cls = object_getClass(object);
  return class_getInstanceVariable(cls, (std::string("_") + key).c_str()) != nullptr ||
         class_getInstanceVariable(cls, key) != nullptr;
}

}  // namespace

id ValueForHeldKey(id object, const char* key) {
  if (object == nullptr || !HoldsKey(object, key)) return nullptr;
  id keyString = NewString(key);
  id value = Send<id>(object, "valueForKey:"_sel, keyString);
  Release(keyString);
  return value;
}

}  // namespace umbravista::platform
