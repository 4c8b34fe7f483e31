#include <functional>
#include <string>
#include <string_view>

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

std::string*& Storage(id self) {
  return InstanceVariableOf<std::string*>(self, "_storage");
}

id InitWithUTF8String(id self, SEL, const char* text) {
  Storage(self) = new std::string(text == nullptr ? "" : text);
  return self;
}

// Whether `bytes` are well-formed UTF-8, as Foundation requires of what it makes a string of:
// no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    std::size_t length = 0;
    unsigned long codePoint = 0;
    unsigned long least = 0;
    if (lead < 0x80) {
      ++i;
      continue;
    } else if ((lead & 0xE0) == 0xC0) {
      length = 2, codePoint = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, codePoint = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, codePoint = lead & 0x07, least = 0x10000;
    } else {
      return false;
    }
    if (bytes.size() - i < length) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < least || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
      return false;
    }
    i += length;
  }
  return true;
}

constexpr unsigned long kNSUTF8StringEncoding = 4;

// As Foundation: a string of every byte given, NUL included; nil, and the receiver released, for
// bytes that are not in the encoding. Only UTF-8 is known here.
id InitWithBytes(id self, SEL, const void* bytes, unsigned long length, unsigned long encoding) {
  const std::string_view text(static_cast<const char*>(bytes), bytes == nullptr ? 0 : length);
  if (encoding != kNSUTF8StringEncoding || !IsUtf8(text)) {
    Message(self, "release");
    return nullptr;
  }
  Storage(self) = new std::string(text);
  return self;
}

// The string's length in bytes in `encoding`, NUL bytes included; 0 for an unknown encoding.
unsigned long LengthOfBytes(id self, SEL selector, unsigned long encoding) {
  RecordCall(self, selector);
  return encoding == kNSUTF8StringEncoding ? Storage(self)->size() : 0;
}

id Init(id self, SEL) {
  return InitWithUTF8String(self, nullptr, "");
}

id StringWithUTF8String(id cls, SEL, const char* text) {
  id string = InitWithUTF8String(Message<id>(cls, "alloc"), nullptr, text);
  return Message<id>(string, "autorelease");
}

const char* UTF8String(id self, SEL selector) {
  RecordCall(self, selector);
  return Storage(self)->c_str();
}

// The length in UTF-16 code units, as the platform counts it.
unsigned long Length(id self, SEL selector) {
  RecordCall(self, selector);
  return UTF16Length(*Storage(self));
}

bool IsEqualToString(id self, SEL, id other) {
  return other != nullptr && IsKindOf(other, "NSString") && *Storage(self) == *Storage(other);
}

// As Foundation: a new autoreleased string with every occurrence of `target` replaced, from the
// start, without overlaps; an empty target replaces nothing. A nil argument raises.
id StringByReplacingOccurrences(id self, SEL selector, id target, id replacement) {
  RecordCall(self, selector, {TracedObject(target), TracedObject(replacement)});
  if (target == nullptr || replacement == nullptr) {
    throw PlatformException("NSInvalidArgumentException",
                            "-[NSString stringByReplacingOccurrencesOfString:withString:]: nil");
  }
  const std::string& from = *Storage(target);
  std::string text = *Storage(self);
  for (std::size_t at = from.empty() ? std::string::npos : text.find(from); at != std::string::npos;
       at = text.find(from, at + Storage(replacement)->size())) {
    text.replace(at, from.size(), *Storage(replacement));
  }
  id string = Init(Message<id>(reinterpret_cast<id>(objc_getClass("NSString")), "alloc"), nullptr);
  *Storage(string) = std::move(text);
  return Message<id>(string, "autorelease");
}

unsigned long Hash(id self, SEL) {
  return std::hash<std::string>{}(*Storage(self));
}

void Dealloc(id self, SEL) {
  delete Storage(self);
  Storage(self) = nullptr;
  MessageSuper(self, objc_getClass("NSString"), "dealloc");
}

}  // namespace

void RegisterNSString() {
  DefineClass("NSString", "NSObject", {{"_storage", sizeof(void*), "^v"}}, [](Class cls) {
    AddClassMethod(cls, "stringWithUTF8String:", &StringWithUTF8String);
    AddInstanceMethod(cls, "init", &Init);
    AddInstanceMethod(cls, "initWithUTF8String:", &InitWithUTF8String);
    AddInstanceMethod(cls, "initWithBytes:length:encoding:", &InitWithBytes);
    AddInstanceMethod(cls, "lengthOfBytesUsingEncoding:", &LengthOfBytes);
    AddInstanceMethod(cls, "UTF8String", &UTF8String);
    AddInstanceMethod(cls, "length", &Length);
    AddInstanceMethod(cls, "isEqual:", &IsEqualToString);
    AddInstanceMethod(cls, "isEqualToString:", &IsEqualToString);
    AddInstanceMethod(cls, "hash", &Hash);
    AddInstanceMethod(
        cls, "stringByReplacingOccurrencesOfString:withString:", &StringByReplacingOccurrences);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id NewString(const char* utf8) {
  return Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass("NSString")), "alloc"),
                     "initWithUTF8String:", utf8);
}

std::string StringText(id string) {
  return string == nullptr ? std::string() : *Storage(string);
}

unsigned long UTF16Length(const std::string& utf8) {
  unsigned long units = 0;
  for (unsigned char byte : utf8) {
    if ((byte & 0xC0) != 0x80) units += (byte >= 0xF0) ? 2 : 1;
  }
  return units;
}

}  // namespace device
