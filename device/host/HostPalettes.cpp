#include <map>
#include <string>

#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The host's own palette: the colours that its code asks its palette classes for. Each answers a
// colour of its own (opaque, from six hexadecimal digits), so that what the host shows with the
// theme off is recognisable in a test.
namespace device {
namespace {

struct PaletteColor {
  const char* className;
  const char* selector;
  unsigned long rgb;
};

constexpr PaletteColor kPalette[] = {
    {"IGColors", "navigationBarOverlayColor", 0xFAFAFA},
    {"IGColors", "navigationBarBackgroundColor", 0xFFFFFF},
    {"IGColors", "separatorColor", 0xDBDBDB},
    {"IGColors", "boldLinkColor", 0x262626},
    {"IGColors", "linkColor", 0x003569},
    {"IGColors", "textColor", 0x262626},
    {"IGColors", "veryLightTextColor", 0xC7C7C7},
    {"IGColors", "secondaryTextColor", 0x999999},
    {"IGColors", "boldLinkHighlightedColor", 0x00376B},
    {"IGColors", "linkHighlightedColor", 0x005FA3},
    {"IGColors", "IGRichTextFormat", 0x3897F0},
    {"IGColors", "darkButtonColor", 0x262626},
    {"IGColors", "heartColor", 0xED4956},
    {"IGRichTextFormat", "defaultTextColor", 0x1E1E1E},
    {"IGRichTextFormat", "displayName", 0x2C2C2C},
    {"IGRichTextFormat", "separatorColor", 0xE6E6E6},
    {"IGStringStyle", "defaultColor", 0x3C3C3C},
    {"RCTTextAttributes", "effectiveForegroundColor", 0x4D4D4D},
};

const PaletteColor& EntryFor(const char* className, const char* selector) {
  for (const PaletteColor& entry : kPalette) {
    if (std::string(entry.className) == className && std::string(entry.selector) == selector) {
      return entry;
    }
  }
  throw PlatformException("NSInternalInconsistencyException",
                          std::string("no host colour for ") + className + " " + selector);
}

// The host makes its colours afresh on each request, as a convenience constructor does: the
// answer is autoreleased. The palette entry is found by the receiver's class and the selector, so
// that one implementation serves every getter.
id AnswerPaletteColor(id receiver, const char* className, SEL selector) {
  RecordCall(receiver, selector);
  const unsigned long rgb = EntryFor(className, sel_getName(selector)).rgb;
  id color = NewRGBColor(((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0, 1.0);
  PausedTrace quiet;
  return Message<id>(color, "autorelease");
}

template <const char* kClassName>
id PaletteGetter(id receiver, SEL selector) {
  return AnswerPaletteColor(receiver, kClassName, selector);
}

constexpr char kColors[] = "IGColors";
constexpr char kRichTextFormat[] = "IGRichTextFormat";
constexpr char kStringStyle[] = "IGStringStyle";
constexpr char kTextAttributes[] = "RCTTextAttributes";

// Adds every getter of `kClassName` in the palette, as class or instance methods.
template <const char* kClassName>
void AddPaletteGetters(HostMethods& methods, Class cls, bool classMethods) {
  for (const PaletteColor& entry : kPalette) {
    if (std::string(entry.className) != kClassName) continue;
    if (classMethods) {
      methods.AddClass(cls, entry.selector, &PaletteGetter<kClassName>);
    } else {
      methods.AddInstance(cls, entry.selector, &PaletteGetter<kClassName>);
    }
  }
}

}  // namespace

// IGColors and IGRichTextFormat answer their colours to class methods; IGStringStyle and
// RCTTextAttributes to instance methods.
void RegisterHostPalettes(HostMethods& methods) {
  DefineClass(kColors, "NSObject", {},
              [&](Class cls) { AddPaletteGetters<kColors>(methods, cls, true); });
  DefineClass(kRichTextFormat, "NSObject", {},
              [&](Class cls) { AddPaletteGetters<kRichTextFormat>(methods, cls, true); });
  DefineClass(kStringStyle, "NSObject", {},
              [&](Class cls) { AddPaletteGetters<kStringStyle>(methods, cls, false); });
  DefineClass(kTextAttributes, "NSObject", {},
              [&](Class cls) { AddPaletteGetters<kTextAttributes>(methods, cls, false); });
}

}  // namespace device
