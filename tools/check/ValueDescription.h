#pragma once

#include <string>
#include <string_view>

#include "propertylist/PropertyListReader.h"

// How the checker writes keys and property-list values into its one-line reports.
namespace umbravista::check {

// The longest text, in bytes, quoted whole; longer text is cut at a character boundary and
// followed by "...", so that a report line stays readable.
inline constexpr std::size_t kLongestQuotedText = 64;

// Answers text between two quote characters, with the quote character and backslash escaped by a
// backslash and every control character written as \xNN, so that the answer is one printable
// line whatever the file holds. Bytes from 0x80 up are kept, so UTF-8 text shows as written.
[[nodiscard]] std::string Quoted(std::string_view text, char quote = '"');

// Answers a short phrase naming a value's kind and, for scalars, the value: "the string \"yes\"",
// "the integer 2", "the real number 0.5", "the boolean false", "a date", "data", "an array",
// "a dictionary", "a UID". A string is given whole, a NUL byte written as \x00.
[[nodiscard]] std::string DescribeValue(const SettingsValue& value);

// Answers a kind with its article: "a string", "an integer", "an array".
[[nodiscard]] std::string DescribeKind(ValueKind kind);

}  // namespace umbravista::check
