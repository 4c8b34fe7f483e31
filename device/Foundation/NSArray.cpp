#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

std::vector<id>*& Items(id self) {
  return InstanceVariableOf<std::vector<id>*>(self, "_items");
}

id InitWithObjects(id self, SEL, const id* objects, unsigned long count) {
  Items(self) = new std::vector<id>(objects, objects + count);
  for (id object : *Items(self)) Message(object, "retain");
  return self;
}

id Init(id self, SEL) {
  return InitWithObjects(self, nullptr, nullptr, 0);
}

id ArrayWithObjects(id cls, SEL, const id* objects, unsigned long count) {
  return Message<id>(InitWithObjects(Message<id>(cls, "alloc"), nullptr, objects, count),
                     "autorelease");
}

unsigned long Count(id self, SEL selector) {
  RecordCall(self, selector);
  return Items(self)->size();
}

id ObjectAtIndex(id self, SEL selector, unsigned long index) {
  RecordCall(self, selector, {TracedNumber(static_cast<double>(index))});
  if (index >= Items(self)->size()) {
    throw PlatformException("NSRangeException", "index " + std::to_string(index) +
                                                    " beyond bounds of array of " +
                                                    std::to_string(Items(self)->size()));
  }
  return (*Items(self))[index];
}

void Dealloc(id self, SEL) {
  for (id object : *Items(self)) Message(object, "release");
  delete Items(self);
  Items(self) = nullptr;
  MessageSuper(self, objc_getClass("NSArray"), "dealloc");
}

}  // namespace

void RegisterNSArray() {
  DefineClass("NSArray", "NSObject", {{"_items", sizeof(void*), "^v"}}, [](Class cls) {
    AddClassMethod(cls, "arrayWithObjects:count:", &ArrayWithObjects);
    AddInstanceMethod(cls, "init", &Init);
    AddInstanceMethod(cls, "initWithObjects:count:", &InitWithObjects);
    AddInstanceMethod(cls, "count", &Count);
    AddInstanceMethod(cls, "objectAtIndex:", &ObjectAtIndex);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id NewArray(const std::vector<id>& objects) {
  return Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass("NSArray")), "alloc"),
                     "initWithObjects:count:", objects.data(),
                     static_cast<unsigned long>(objects.size()));
}

std::vector<id> ArrayObjects(id array) {
  return array == nullptr ? std::vector<id>() : *Items(array);
}

}  // namespace device
