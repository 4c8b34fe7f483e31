#include "device/Foundation/Foundation.h"
#include "device/Foundation/HexScanning.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

id& ScannedString(id self) {
  return InstanceVariableOf<id>(self, "_string");
}
unsigned long& Location(id self) {
  return InstanceVariableOf<unsigned long>(self, "_location");
}
id& Skipped(id self) {
  return InstanceVariableOf<id>(self, "_skipped");
}

// As Foundation: a scanner of the string (immutable here, so kept rather than copied), from its
// start, skipping white space and line ends until told otherwise. A nil string raises, as the
// platform's does.
id InitWithString(id self, SEL selector, id string) {
  RecordCall(self, selector, {TracedObject(string)});
  if (string == nullptr || !IsKindOf(string, "NSString")) {
    Message(self, "release");
    throw PlatformException("NSInvalidArgumentException", "-[NSScanner initWithString:]: nil");
  }
  StoreRetained(ScannedString(self), string);
  Location(self) = 0;
  StoreRetained(Skipped(self), Message<id>(reinterpret_cast<id>(objc_getClass("NSCharacterSet")),
                                           "whitespaceAndNewlineCharacterSet"));
  return self;
}

id ScannerWithString(id cls, SEL selector, id string) {
  RecordCall(cls, selector, {TracedObject(string)});
  PausedTrace quiet;
  return Message<id>(Message<id>(Message<id>(cls, "alloc"), "initWithString:", string),
                     "autorelease");
}

void SetCharactersToBeSkipped(id self, SEL selector, id set) {
  RecordCall(self, selector, {TracedObject(set)});
  StoreRetained(Skipped(self), set);
}

id CharactersToBeSkipped(id self, SEL selector) {
  RecordCall(self, selector);
  return Skipped(self);
}

// Location is kept in bytes of the UTF-8 text and answered in UTF-16 units, as the platform
// counts it.
unsigned long ScanLocation(id self, SEL selector) {
  RecordCall(self, selector);
  return UTF16Length(StringText(ScannedString(self)).substr(0, Location(self)));
}

bool ScanHexIntInto(id self, SEL selector, unsigned int* result) {
  RecordCall(self, selector);
  const std::optional<HexScan> scan = ScanHexInt(StringText(ScannedString(self)), Location(self),
                                                 CharacterSetKindOf(Skipped(self)));
  if (!scan) return false;
  Location(self) = scan->end;
  if (result != nullptr) *result = scan->value;
  return true;
}

void Dealloc(id self, SEL) {
  Message(ScannedString(self), "release");
  Message(Skipped(self), "release");
  MessageSuper(self, objc_getClass("NSScanner"), "dealloc");
}

}  // namespace

void RegisterNSScanner() {
  DefineClass("NSScanner", "NSObject",
              {{"_string", sizeof(id), "@"},
               {"_location", sizeof(unsigned long), kEncodingOf<unsigned long>.text},
               {"_skipped", sizeof(id), "@"}},
              [](Class cls) {
                AddClassMethod(cls, "scannerWithString:", &ScannerWithString);
                AddInstanceMethod(cls, "initWithString:", &InitWithString);
                AddInstanceMethod(cls, "setCharactersToBeSkipped:", &SetCharactersToBeSkipped);
                AddInstanceMethod(cls, "charactersToBeSkipped", &CharactersToBeSkipped);
                AddInstanceMethod(cls, "scanLocation", &ScanLocation);
                AddInstanceMethod(cls, "scanHexInt:", &ScanHexIntInto);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
              });
}

}  // namespace device
