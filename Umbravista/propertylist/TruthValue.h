#pragma once

#include <optional>
#include <string_view>

#include "propertylist/PropertyListReader.h"

namespace umbravista {

// The truth of a stored property-list value, as the device's Foundation answers boolValue for it,
// so that a switch written by any tool reads here as it reads in the preferences pane.
//
// - A boolean answers itself.
// - An integer answers whether it is non-zero (negative integers, kept as their two's complement
//   bits, are non-zero).
// - A real answers whether it is non-zero; NaN is non-zero and answers true; -0.0 answers false.
// - A string answers StringTruthValue of its bytes.
// - Any other kind (data, date, array, dictionary, UID) has no boolValue on the device and answers
//   nullopt: what such a value means is for the caller to decide.
[[nodiscard]] std::optional<bool> TruthValue(const SettingsValue& value);

// The truth of a string as NSString's boolValue gives it: skip leading white space (space, tab,
// the line and paragraph breaks, and the other Unicode space characters, read as UTF-8), then one
// optional sign '+' or '-', then any number of '0' characters; the answer is true exactly when the
// character reached next is 'Y', 'y', 'T', 't' or a digit 1 to 9. Nothing after that character
// matters. So "YES", "yes", "true", "1", "+01" and "  7" answer true; "NO", "0", "", "false",
// "-0", "00" and "- 1" answer false. A NUL byte is no white space and no digit: "\0" and "0\0"
// answer false.
[[nodiscard]] bool StringTruthValue(std::string_view text);

}  // namespace umbravista
