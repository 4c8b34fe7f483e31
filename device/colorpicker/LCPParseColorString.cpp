#include <objc/message.h>

#include <optional>
#include <string_view>

#include "CoreGraphics/CoreGraphics.h"
#include "device/colorpicker/ColorStringGrammar.h"
#include "libcolorpicker.h"

namespace {

template <typename Function>
Function* AsFunction(IMP implementation) {
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(implementation));
}

bool IsString(id value) {
  if (value == nullptr) return false;
  Class stringClass = objc_getClass("NSString");
  for (Class cls = object_getClass(value); cls != nullptr; cls = class_getSuperclass(cls)) {
    if (cls == stringClass) return true;
  }
  return false;
}

// The components that a value names, when it is a string of one of the forms.
std::optional<device::ColorStringComponents> ComponentsOf(id value) {
  if (!IsString(value)) return std::nullopt;
  // The whole string, NUL bytes included: a string holding one is no colour string.
  SEL utf8 = sel_registerName("UTF8String");
  SEL byteLength = sel_registerName("lengthOfBytesUsingEncoding:");
  constexpr unsigned long kNSUTF8StringEncoding = 4;
  const char* text = AsFunction<const char*(id, SEL)>(objc_msg_lookup(value, utf8))(value, utf8);
  const unsigned long length = AsFunction<unsigned long(id, SEL, unsigned long)>(
      objc_msg_lookup(value, byteLength))(value, byteLength, kNSUTF8StringEncoding);
  if (text == nullptr) return std::nullopt;
  return device::ParseColorString(std::string_view(text, length));
}

}  // namespace

extern "C" id LCPParseColorString(id value, id fallback) {
  std::optional<device::ColorStringComponents> components = ComponentsOf(value);
  if (!components) components = ComponentsOf(fallback);
  if (!components) return nullptr;
  id colorClass = reinterpret_cast<id>(objc_getClass("UIColor"));
  SEL make = sel_registerName("colorWithRed:green:blue:alpha:");
  return AsFunction<id(id, SEL, CGFloat, CGFloat, CGFloat, CGFloat)>(
      objc_msg_lookup(colorClass, make))(colorClass, make, components->red, components->green,
                                         components->blue, components->alpha);
}
