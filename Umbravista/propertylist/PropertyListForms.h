#pragma once

#include <span>
#include <string_view>

#include "propertylist/PropertyListReader.h"

// The two forms of property list, each read by a reader of its own. PropertyListReader.h states
// what both promise; these are its halves, chosen by the document's first eight bytes.
namespace umbravista::property_list {

// What one read is for.
struct ReadRequest {
  std::string_view key;  // The key looked up, when no visitor is given.
  Decoding decoding = Decoding::kValue;
  RootEntryVisitor* visitor = nullptr;  // When given, every root entry is handed to it instead.
};

// Whether `document` is in the binary form: eight bytes or more, starting with "bplist00".
[[nodiscard]] bool IsBinaryForm(std::span<const char> document);

// Reads an XML property list. Decodes text where it stands in `document`; visits each root entry
// as it is read.
[[nodiscard]] SettingsLookup ReadXml(std::span<char> document, const ReadRequest& request);

// Reads a binary property list. Leaves `document` as it is and keeps its bookkeeping in `work`,
// which must hold WorkBytesFor(document.size()) bytes; visits the root entries once the whole
// document has proved sound.
[[nodiscard]] SettingsLookup ReadBinary(std::span<const char> document, std::span<std::byte> work,
                                        const ReadRequest& request);

}  // namespace umbravista::property_list
