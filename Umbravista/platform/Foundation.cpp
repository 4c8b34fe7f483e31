#include "platform/Foundation.h"

#include "platform/ObjectiveC.h"

namespace umbravista::platform {
namespace {

constexpr unsigned long kNSUTF8StringEncoding = 4;

id Alloc(const char* className) {
  return Send<id>(ClassObject(className), "alloc");
}

}  // namespace

id NewString(std::string_view text) {
  return Send<id>(Alloc("NSString"), "initWithBytes:length:encoding:", text.data(),
                  static_cast<unsigned long>(text.size()), kNSUTF8StringEncoding);
}

std::string_view StringText(id string) {
  if (!RespondsTo(string, Selector("UTF8String"))) return {};
  const char* text = Send<const char*>(string, "UTF8String");
  return text == nullptr ? std::string_view() : std::string_view(text);
}

id NewObjectForValue(const SettingsValue& value) {
  switch (value.kind) {
    case ValueKind::kString:
      return Send<id>(Alloc("NSString"), "initWithBytes:length:encoding:", value.text.data(),
                      static_cast<unsigned long>(value.text.size()), kNSUTF8StringEncoding);
    case ValueKind::kBoolean:
      return Send<id>(Alloc("NSNumber"), "initWithBool:", value.boolean);
    case ValueKind::kInteger:
      return Send<id>(Alloc("NSNumber"),
                      "initWithLongLong:", static_cast<long long>(value.integer));
    case ValueKind::kReal:
      return Send<id>(Alloc("NSNumber"), "initWithDouble:", value.real);
    default:
      return Send<id>(Alloc("NSObject"), "init");
  }
}

std::optional<std::uint32_t> ScanHexNumber(id text) {
  static constexpr const char* kReplace = "stringByReplacingOccurrencesOfString:withString:";
  if (!RespondsTo(text, Selector(kReplace))) return std::nullopt;
  id hashMark = NewString("#");
  id nothing = NewString("");
  id digits = Send<id>(text, kReplace, hashMark, nothing);
  Release(nothing);
  Release(hashMark);
  id scanner = Send<id>(ClassObject("NSScanner"), "scannerWithString:", digits);
  Send(scanner,
       "setCharactersToBeSkipped:", Send<id>(ClassObject("NSCharacterSet"), "symbolCharacterSet"));
  unsigned int value = 0;
  if (!Send<BOOL>(scanner, "scanHexInt:", &value)) return std::nullopt;
  return std::uint32_t{value};
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
