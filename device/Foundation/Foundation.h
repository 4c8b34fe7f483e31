#pragma once

#include <objc/runtime.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/Foundation.h"
#include "device/Foundation/HexScanning.h"
#include "device/Foundation/NSObject.h"

// The stand-in of Foundation: the classes the library and the simulated host use, as real runtime
// classes, with C++ conveniences for building and reading them from the device's own code.
namespace device {

// Registers NSObject, NSString, NSNumber, NSArray, NSDictionary, NSProcessInfo, NSCharacterSet and
// NSScanner, in that order.
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

// A new dictionary holding (and retaining) each value under its key, given as (key, value) pairs
// (retain count 1, owned by the caller). A later pair for an equal key replaces the earlier one.
id NewDictionary(const std::vector<std::pair<id, id>>& entries);
// The (key, value) pairs of a dictionary in the order first stored, unowned; none for nil.
std::vector<std::pair<id, id>> DictionaryEntries(id dictionary);
// The value that a dictionary holds under the string key with the text `key`, unowned, or nil when
// it holds none or `dictionary` is nil. Sends no message and records nothing.
id DictionaryEntry(id dictionary, const char* key);

// The environment variable from which NSProcessInfo reads the simulated system's version,
// "major.minor.patch" with missing parts 0 ("13" is 13.0.0). It is read once per process, when
// NSProcessInfo is registered (a system before 8.0 has neither isOperatingSystemAtLeastVersion: nor
// operatingSystemVersion, as on the device), and that reading is answered from then on. Unset or
// empty means 12.4.0; any other text that is no version makes that reading raise PlatformException.
inline constexpr const char* kSystemVersionVariable = "SIMULATED_SYSTEM_VERSION";
// The version that `text` writes in the form above, or nullopt when it is no such version (empty
// text included).
std::optional<NSOperatingSystemVersion> ParseSystemVersion(const std::string& text);
// The version that NSProcessInfo has read and answers, or nullopt while nothing has asked yet.
std::optional<NSOperatingSystemVersion> SystemVersionAnswered();

// The system's version as UIDevice's systemVersion writes it: "6.1.3", "7.0", "12.4" (a patch
// number of 0 is left out). Reads the version as the first question about it does.
std::string SystemVersionText();

void RegisterNSString();
void RegisterNSNumber();
void RegisterNSArray();
void RegisterNSDictionary();
void RegisterNSProcessInfo();
void RegisterNSCharacterSet();
void RegisterNSScanner();

// The set that an NSCharacterSet stands for, or nullopt for nil.
std::optional<CharacterSetKind> CharacterSetKindOf(id set);

}  // namespace device
