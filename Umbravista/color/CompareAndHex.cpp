#include "color/CompareAndHex.h"

#include "color/ColorComparison.h"
#include "color/HexColor.h"
#include "platform/Foundation.h"
#include "platform/ObjectiveC.h"
#include "platform/UIKit.h"

namespace umbravista {
namespace {

id InitWithHex(id self, SEL, id text) {
  const std::optional<platform::Colour> colour =
      ColorFromHexText<CGFloat>(platform::StringText(text));
  if (!colour) {
    platform::Release(self);
    return nullptr;
  }
  return platform::Send<id>(self, "initWithRed:green:blue:alpha:", colour->red, colour->green,
                            colour->blue, colour->alpha);
}

bool IsSameColorMethod(id self, SEL, id other) {
  const std::optional<platform::Colour> mine = platform::ColourComponents(self);
  const std::optional<platform::Colour> theirs = platform::ColourComponents(other);
  return mine && theirs && IsSameColor(*mine, *theirs);
}

}  // namespace

void AttachCompareAndHex() {
  Class colourClass = platform::ClassNamed("UIColor");
  if (colourClass == nullptr) return;
  class_addMethod(colourClass, platform::Selector("initWithHex:"),
                  platform::AsImplementation(&InitWithHex), "@@:@");
  class_addMethod(colourClass, platform::Selector("isSameColor:"),
                  platform::AsImplementation(&IsSameColorMethod), "C@:@");
}

}  // namespace umbravista
