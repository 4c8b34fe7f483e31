#include "color/CompareAndHex.h"

#include "color/ColorComparison.h"
#include "color/HexColor.h"
#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"

namespace umbravista {
namespace {

id InitWithHex(id self, SEL, id text) {
  const std::optional<std::uint32_t> value = platform::ScanHexNumber(text);
  if (!value) {
    platform::Release(self);
    return nullptr;
  }
  const platform::Colour colour = ColorFromHexValue<CGFloat>(*value);
  return platform::Send<id>(self, "initWithRed:green:blue:alpha:"_sel, colour.red, colour.green,
                            colour.blue, colour.alpha);
}

BOOL IsSameColorMethod(id self, SEL, id other) {
  const std::optional<platform::Colour> mine = platform::ColourComponents(self);
  const std::optional<platform::Colour> theirs = platform::ColourComponents(other);
  return static_cast<BOOL>(mine && theirs && IsSameColor(*mine, *theirs));
}

// The runtime keeps the type strings it is given, so they live as long as the process.
constexpr char kInitWithHexTypes[] = "@@:@";
constexpr char kIsSameColorTypes[] = {platform::kBoolEncoding, '@', ':', '@', '\0'};

}  // namespace

void AttachCompareAndHex() {
  struct CategoryMethod {
    const char* selector;
    IMP implementation;
    const char* types;
  };
  const CategoryMethod methods[] = {
      {"initWithHex:", platform::AsImplementation(&InitWithHex), kInitWithHexTypes},
      {"isSameColor:", platform::AsImplementation(&IsSameColorMethod), kIsSameColorTypes},
  };
  Class colourClass = platform::ClassNamed("UIColor");
  if (colourClass == nullptr) return;
  for (const CategoryMethod& method : methods) {
    SEL selector = platform::Selector(method.selector);
    // As a category loaded after the class: a method that UIColor itself lacks is added, and one
    // of its own takes the category's place. class_addMethod looks at UIColor's own methods only,
    // so one that UIColor merely inherits stays with the class that defines it.
    if (class_addMethod(colourClass, selector, method.implementation, method.types)) continue;
    // GCC's runtime builds a class's dispatch table at its first message; until then a changed
    // method would land in a table that every class not yet messaged shares. Asking for the
    // implementation builds UIColor's own table first. On the device this is a plain lookup.
    class_getMethodImplementation(colourClass, selector);
    // UIColor has a method of that name of its own, so the lookup of class_replaceMethod, which
    // in GCC's runtime goes up the superclasses, finds it first.
    class_replaceMethod(colourClass, selector, method.implementation, method.types);
  }
}

}  // namespace umbravista
