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

// A new instance of the class named `className`, made with alloc and init (retain count 1, owned
// by the caller). Its initialisation is not recorded in the trace.
id NewObject(const char* className);

// Stores `value` retained in `place` and releases what was there, as a retaining property does;
// nil stores nil.
void StoreRetained(id& place, id value);

// A new string (retain count 1, owned by the caller).
id NewString(const char* utf8);
// The text of a string, or "" for nil.
std::string StringText(id string);
// The number of UTF-16 code units that `utf8` takes, which is how the platform counts the length
// of a string: two for a character beyond the basic plane, one for any other.
unsigned long UTF16Length(const std::string& utf8);

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
