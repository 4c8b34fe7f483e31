#include "propertylist/PropertyListReader.h"

#include <cstring>

#include "propertylist/PropertyListForms.h"

namespace umbravista {
namespace {

SettingsLookup Read(PropertyListSpace space, const property_list::ReadRequest& request) {
  // libplist reads nothing shorter than the binary form's magic, in either form.
  constexpr std::size_t kShortest = 8;
  if (space.document.size() < kShortest || space.document.size() > kLargestDocument) return {};
  if (property_list::IsBinaryForm(space.document)) {
    return property_list::ReadBinary(space.document, space.work, request);
  }
  return property_list::ReadXml(space.document, request);
}

}  // namespace

namespace property_list {

bool IsBinaryForm(std::span<const char> document) {
  return document.size() >= 8 && std::memcmp(document.data(), "bplist00", 8) == 0;
}

}  // namespace property_list

SettingsLookup LookUpKey(PropertyListSpace space, std::string_view key, Decoding decoding) {
  return Read(space, {key, decoding, nullptr});
}

SettingsLookup VisitRootEntries(PropertyListSpace space, RootEntryVisitor& visitor) {
  SettingsLookup answer = Read(space, {{}, Decoding::kValue, &visitor});
  answer.value.reset();
  return answer;
}

}  // namespace umbravista
