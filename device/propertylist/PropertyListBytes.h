#pragma once

#include <plist/plist.h>

#include <string>

// Property lists as a writer on the device makes them, with libplist: the one place where a tree
// becomes the bytes of a settings file, for the simulated host, the tools, the tests and the
// benchmarks alike.
namespace device {

enum class PropertyListFormat { kXml, kBinary };

// The bytes of `root` in `format`, as libplist writes them. Takes `root` over and frees it.
std::string PropertyListBytes(plist_t root, PropertyListFormat format);

}  // namespace device
