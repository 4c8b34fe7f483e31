#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "propertylist/PropertyListReader.h"

// The two forms of property list, each read by a reader of its own. PropertyListReader.h states
// what both promise; these are its halves, chosen by the document's first eight bytes.
namespace umbravista::property_list {

// Whether `document` is in the binary form: eight bytes or more, starting with "bplist00".
[[nodiscard]] bool IsBinaryForm(std::span<const char> document);

// Reads an XML property list. Decodes text where it stands in `document`. Calls `visitor`, when
// not null, for each root entry as it is read; looks up `key` otherwise.
[[nodiscard]] SettingsLookup ReadXml(std::span<char> document, std::string_view key,
                                     RootEntryVisitor* visitor);

// Reads a binary property list. Leaves `document` as it is and keeps its bookkeeping in `work`,
// which must hold WorkBytesFor(document.size()) bytes. Calls `visitor`, when not null, for each
// root entry once the whole document has proved sound; looks up `key` otherwise.
[[nodiscard]] SettingsLookup ReadBinary(std::span<const char> document, std::span<std::byte> work,
                                        std::string_view key, RootEntryVisitor* visitor);

}  // namespace umbravista::property_list
