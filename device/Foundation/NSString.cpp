#include <functional>
#include <string>

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

std::string*& Storage(id self) {
  return InstanceVariableOf<std::string*>(self, "_storage");
}

id InitWithUTF8String(id self, SEL, const char* text) {
  Storage(self) = new std::string(text == nullptr ? "" : text);
  return self;
}

id Init(id self, SEL) {
  return InitWithUTF8String(self, nullptr, "");
}

id StringWithUTF8String(id cls, SEL, const char* text) {
  id string = InitWithUTF8String(Message<id>(cls, "alloc"), nullptr, text);
  return Message<id>(string, "autorelease");
}

const char* UTF8String(id self, SEL selector) {
  RecordCall(self, selector);
  return Storage(self)->c_str();
}

// The length in UTF-16 code units, as the platform counts it.
unsigned long Length(id self, SEL selector) {
  RecordCall(self, selector);
  return UTF16Length(*Storage(self));
}

bool IsEqualToString(id self, SEL, id other) {
  return other != nullptr && IsKindOf(other, "NSString") && *Storage(self) == *Storage(other);
}

unsigned long Hash(id self, SEL) {
  return std::hash<std::string>{}(*Storage(self));
}

void Dealloc(id self, SEL) {
  delete Storage(self);
  Storage(self) = nullptr;
  MessageSuper(self, objc_getClass("NSString"), "dealloc");
}

}  // namespace

void RegisterNSString() {
  DefineClass("NSString", "NSObject", {{"_storage", sizeof(void*), "^v"}}, [](Class cls) {
    AddClassMethod(cls, "stringWithUTF8String:", &StringWithUTF8String, "@@:*");
    AddInstanceMethod(cls, "init", &Init, "@@:");
    AddInstanceMethod(cls, "initWithUTF8String:", &InitWithUTF8String, "@@:*");
    AddInstanceMethod(cls, "UTF8String", &UTF8String, "*@:");
    AddInstanceMethod(cls, "length", &Length, "Q@:");
    AddInstanceMethod(cls, "isEqual:", &IsEqualToString, "C@:@");
    AddInstanceMethod(cls, "isEqualToString:", &IsEqualToString, "C@:@");
    AddInstanceMethod(cls, "hash", &Hash, "Q@:");
    AddInstanceMethod(cls, "dealloc", &Dealloc, "v@:");
  });
}

id NewString(const char* utf8) {
  return Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass("NSString")), "alloc"),
                     "initWithUTF8String:", utf8);
}

std::string StringText(id string) {
  return string == nullptr ? std::string() : *Storage(string);
}

unsigned long UTF16Length(const std::string& utf8) {
  unsigned long units = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0) != 0x80) units += (byte >= 0xF0) ? 2 : 1;
  }
  return units;
}

}  // namespace device
