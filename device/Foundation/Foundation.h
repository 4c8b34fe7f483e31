#pragma once

#include <objc/runtime.h>

#include <string>
#include <vector>

#include "device/Foundation/NSObject.h"

// The stand-in of Foundation: the classes the library and the simulated host use, as real runtime
// classes, with C++ conveniences for building and reading them from the device's own code.
namespace device {

// Registers NSObject, NSString, NSNumber and NSArray, in that order.
void RegisterFoundation();

// A new string (retain count 1, owned by the caller).
id NewString(const char* utf8);
// The text of a string, or "" for nil.
std::string StringText(id string);

// A new number (retain count 1, owned by the caller).
id NewBoolNumber(bool value);
id NewIntegerNumber(long long value);
id NewRealNumber(double value);

// A new array holding (and retaining) `objects` (retain count 1, owned by the caller).
id NewArray(const std::vector<id>& objects);
// The objects of an array, in order.
std::vector<id> ArrayObjects(id array);

void RegisterNSString();
void RegisterNSNumber();
void RegisterNSArray();

}  // namespace device
