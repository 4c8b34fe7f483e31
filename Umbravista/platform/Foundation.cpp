#include "platform/Foundation.h"

#include <cstdlib>
#include <string>

#include "platform/ObjectiveC.h"

namespace umbravista::platform {
namespace {

id Alloc(const char* className) {
  return Send<id>(ClassObject(className), "alloc");
}

}  // namespace

id NewString(std::string_view text) {
  const std::string terminated(text);
  return Send<id>(Alloc("NSString"), "initWithUTF8String:", terminated.c_str());
}

std::string_view StringText(id string) {
  if (!RespondsTo(string, Selector("UTF8String"))) return {};
  const char* text = Send<const char*>(string, "UTF8String");
  return text == nullptr ? std::string_view() : std::string_view(text);
}

id NewObjectForValue(plist_t value) {
  if (value == nullptr) return nullptr;
  switch (plist_get_node_type(value)) {
    case PLIST_STRING: {
      char* text = nullptr;
      plist_get_string_val(value, &text);
      id string = NewString(text == nullptr ? "" : text);
      std::free(text);
      return string;
    }
    case PLIST_BOOLEAN: {
      uint8_t flag = 0;
      plist_get_bool_val(value, &flag);
      return Send<id>(Alloc("NSNumber"), "initWithBool:", flag != 0);
    }
    case PLIST_UINT: {
      uint64_t number = 0;
      plist_get_uint_val(value, &number);
      return Send<id>(Alloc("NSNumber"), "initWithLongLong:", static_cast<long long>(number));
    }
    case PLIST_REAL: {
      double number = 0;
      plist_get_real_val(value, &number);
      return Send<id>(Alloc("NSNumber"), "initWithDouble:", number);
    }
    default:
      return Send<id>(Alloc("NSObject"), "init");
  }
}

void Release(id object) {
  Send(object, "release");
}

id DictionaryWithEntry(id key, id object) {
  return Send<id>(ClassObject("NSDictionary"), "dictionaryWithObjects:forKeys:count:", &object,
                  &key, 1UL);
}

id Autorelease(id object) {
  return Send<id>(object, "autorelease");
}

}  // namespace umbravista::platform
