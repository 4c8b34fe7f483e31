#include "device/propertylist/PropertyListBytes.h"

#include <cstdint>

namespace device {

std::string PropertyListBytes(plist_t root, PropertyListFormat format) {
  char* bytes = nullptr;
  std::uint32_t length = 0;
  const bool xml = format == PropertyListFormat::kXml;
  xml ? plist_to_xml(root, &bytes, &length) : plist_to_bin(root, &bytes, &length);
  std::string answer(bytes, length);
  xml ? plist_to_xml_free(bytes) : plist_to_bin_free(bytes);
  plist_free(root);
  return answer;
}

}  // namespace device
