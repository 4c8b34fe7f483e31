#pragma once

#include <objc/runtime.h>

// Key value lookup, guarded: on the platform valueForKey: raises for a key the object does not
// hold, and a replacement must never bring the host down for a sub-view it expected to find.
namespace umbravista::platform {

// What `object` holds under `key`, as valueForKey: answers it, when the object holds the key: it
// answers a getter named as the key, or has an instance variable named "_key" or "key". For any
// other key, and for a nil object, answers nil without sending valueForKey:. A key that the
// platform would reach some other way (a "get" accessor) also answers nil: nothing is lost but a
// sub-view that was never found.
id ValueForHeldKey(id object, const char* key);

}  // namespace umbravista::platform
