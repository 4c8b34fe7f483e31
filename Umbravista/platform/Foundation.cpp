#include "platform/Foundation.h"

#include "platform/ObjectiveC.h"

namespace umbravista::platform {
namespace {

constexpr unsigned long kNSUTF8StringEncoding = 4;

id Alloc(id cls) {
  return Send<id>(cls, "alloc"_sel);
}

}  // namespace

id NewString(std::string_view text) {
  return Send<id>(Alloc("NSString"_class), "initWithBytes:length:encoding:"_sel, text.data(),
                  static_cast<unsigned long>(text.size()), kNSUTF8StringEncoding);
}

std::string_view StringText(id string) {
  if (!RespondsTo(string, "UTF8String"_sel)) return {};
  const char* text = Send<const char*>(string, "UTF8String"_sel);
  return text == nullptr ? std::string_view() : std::string_view(text);
}

id NewObjectForValue(const SettingsValue& value) {
  switch (value.kind) {
    case ValueKind::kString:
      return Send<id>(Alloc("NSString"_class), "initWithBytes:length:encoding:"_sel,
                      value.text.data(), static_cast<unsigned long>(value.text.size()),
                      kNSUTF8StringEncoding);
    case ValueKind::kBoolean:
      return Send<id>(Alloc("NSNumber"_class), "initWithBool:"_sel, value.boolean);
    case ValueKind::kInteger:
      return Send<id>(Alloc("NSNumber"_class), "initWithLongLong:"_sel,
                      static_cast<long long>(value.integer));
    case ValueKind::kReal:
      return Send<id>(Alloc("NSNumber"_class), "initWithDouble:"_sel, value.real);
    default:
      return Send<id>(Alloc("NSObject"_class), "init"_sel);
  }
}

std::optional<std::uint32_t> ScanHexNumber(id text) {
  const SEL replace = "stringByReplacingOccurrencesOfString:withString:"_sel;
  if (!RespondsTo(text, replace)) return std::nullopt;
  id hashMark = NewString("#");
  id nothing = NewString("");
  id digits = Send<id>(text, replace, hashMark, nothing);
  Release(nothing);
  Release(hashMark);
  id scanner = Send<id>("NSScanner"_class, "scannerWithString:"_sel, digits);
  Send(scanner, "setCharactersToBeSkipped:"_sel,
       Send<id>("NSCharacterSet"_class, "symbolCharacterSet"_sel));
  unsigned int value = 0;
  if (!Send<BOOL>(scanner, "scanHexInt:"_sel, &value)) return std::nullopt;
  return std::uint32_t{value};
}

void Release(id object) {
  Send(object, "release"_sel);
}

id DictionaryWithEntry(id key, id object) {
  return Send<id>("NSDictionary"_class, "dictionaryWithObjects:forKeys:count:"_sel, &object, &key,
                  1UL);
}

id Autorelease(id object) {
  return Send<id>(object, "autorelease"_sel);
}

}  // namespace umbravista::platform
