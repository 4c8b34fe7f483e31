#pragma once

#include <objc/runtime.h>

#include <cstdint>
#include <optional>
#include <string_view>

#include "propertylist/PropertyListReader.h"

// Foundation as the library uses it: strings, the objects that stand for settings values, and
// reference counting of what the library makes itself.
namespace umbravista::platform {

// A new NSString with every byte of `text` (UTF-8), owned by the caller: release it with Release.
// nil when the bytes are no UTF-8.
id NewString(std::string_view text);

// The UTF-8 text of a string; "" for nil or an object that is no string.
std::string_view StringText(id string);

// The object that Foundation would hand out for a settings value, owned by the caller: an
// NSString of every byte of a string (NUL included; nil when the bytes are no UTF-8, as Foundation
// makes no string of them), an NSNumber for a boolean, an integer or a real; for any other kind
// (data, date, array, dictionary, UID) a plain NSObject, which names nothing.
id NewObjectForValue(const SettingsValue& value);

// The number that hexadecimal text starts with, read as Foundation reads it: every "#" removed
// with stringByReplacingOccurrencesOfString:withString:, then one NSScanner scanHexInt: with
// symbolCharacterSet as the characters to skip (so the device's own Unicode tables decide which
// characters those are). See scanHexInt: for the rest: an optional "0x", digits of either case as
// far as they go, 0xFFFFFFFF for a number too large. nullopt when the text holds no number, and for
// nil or an object that is no string, which are not sent a message the platform would refuse.
// What it makes is autoreleased, so the calling thread needs an autorelease pool in place.
std::optional<std::uint32_t> ScanHexNumber(id text);

// Drops one reference; nothing for nil.
void Release(id object);

// [NSDictionary dictionaryWithObjects:&object forKeys:&key count:1]: a dictionary of one entry,
// autoreleased.
id DictionaryWithEntry(id key, id object);

// Hands `object` to the current autorelease pool, as a getter hands over what it made; answers it.
id Autorelease(id object);

}  // namespace umbravista::platform
