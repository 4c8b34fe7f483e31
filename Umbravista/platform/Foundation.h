#pragma once

#include <objc/runtime.h>
#include <plist/plist.h>

#include <string_view>

// Foundation as the library uses it: strings, the objects that stand for settings values, and
// reference counting of what the library makes itself.
namespace umbravista::platform {

// A new NSString with `text` (UTF-8), owned by the caller: release it with Release.
id NewString(std::string_view text);

// The UTF-8 text of a string; "" for nil or an object that is no string.
std::string_view StringText(id string);

// The object that Foundation would hand out for a property-list value, owned by the caller: an
// NSString for a string, an NSNumber for a boolean, an integer or a real; for any other kind (data,
// date, array, dictionary) a plain NSObject, which names nothing. nil for a null value.
id NewObjectForValue(plist_t value);

// Drops one reference; nothing for nil.
void Release(id object);

// [NSDictionary dictionaryWithObjects:&object forKeys:&key count:1]: a dictionary of one entry,
// autoreleased.
id DictionaryWithEntry(id key, id object);

// Hands `object` to the current autorelease pool, as a getter hands over what it made; answers it.
id Autorelease(id object);

}  // namespace umbravista::platform
