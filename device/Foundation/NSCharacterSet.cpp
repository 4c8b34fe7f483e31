#include "device/Foundation/Foundation.h"
#include "device/Foundation/HexScanning.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

int& Kind(id self) {
  return InstanceVariableOf<int>(self, "_kind");
}

// Made at registration and never released, as the platform's shared sets are one object for the
// whole process, so that a leak count taken around their first use does not see them appear.
id symbols = nullptr;
id whitespaceAndNewlines = nullptr;

id SymbolCharacterSet(id cls, SEL selector) {
  RecordCall(cls, selector);
  return symbols;
}

id WhitespaceAndNewlineCharacterSet(id cls, SEL selector) {
  RecordCall(cls, selector);
  return whitespaceAndNewlines;
}

bool CharacterIsMember(id self, SEL, unsigned short character) {
  return IsMember(static_cast<CharacterSetKind>(Kind(self)), character);
}

id NewSet(CharacterSetKind kind) {
  id set = NewObject("NSCharacterSet");
  Kind(set) = static_cast<int>(kind);
  return set;
}

}  // namespace

void RegisterNSCharacterSet() {
  Class cls =
      DefineClass("NSCharacterSet", "NSObject", {{"_kind", sizeof(int), "i"}}, [](Class cls) {
        AddClassMethod(cls, "symbolCharacterSet", &SymbolCharacterSet);
        AddClassMethod(cls, "whitespaceAndNewlineCharacterSet", &WhitespaceAndNewlineCharacterSet);
        AddInstanceMethod(cls, "characterIsMember:", &CharacterIsMember);
      });
  if (cls == nullptr) return;
  symbols = NewSet(CharacterSetKind::kSymbols);
  whitespaceAndNewlines = NewSet(CharacterSetKind::kWhitespaceAndNewlines);
}

std::optional<CharacterSetKind> CharacterSetKindOf(id set) {
  if (set == nullptr) return std::nullopt;
  return static_cast<CharacterSetKind>(Kind(set));
}

}  // namespace device
