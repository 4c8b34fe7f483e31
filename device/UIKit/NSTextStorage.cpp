#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "Foundation/Foundation.h"
#include "device/Foundation/Foundation.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The platform's text storage is a mutable attributed string. This one keeps, for each UTF-16
// unit of its text, the attributes that apply to it, by name, each value retained once per unit.
namespace device {
namespace {

struct TextStorageState {
  std::string text;
  std::vector<std::map<std::string, id>> attributes;  // One map per UTF-16 unit.
  long editingDepth = 0;
};

TextStorageState*& State(id self) {
  return InstanceVariableOf<TextStorageState*>(self, "_state");
}

TraceArgument RangeArgument(NSRange range) {
  return {"{" + std::to_string(range.location) + "," + std::to_string(range.length) + "}", nullptr};
}
TraceValue TracedRange(NSRange range) {
  return TraceValue::Of<&RangeArgument>(range);
}

// Whether the caller asked for the effective range: "range", or "NULL".
TraceArgument RangeRequestArgument(NSRange* effectiveRange) {
  return {effectiveRange == nullptr ? "NULL" : "range", nullptr};
}

[[noreturn]] void RaiseOutOfBounds(SEL selector, const std::string& what, unsigned long length) {
  throw PlatformException("NSRangeException",
                          std::string("-[NSTextStorage ") + sel_getName(selector) + "]: " + what +
                              " out of bounds; string length " + std::to_string(length));
}

void Initialise(id self, const std::string& text) {
  State(self) = new TextStorageState{text, {}, 0};
  State(self)->attributes.resize(UTF16Length(text));
}

id Init(id self, SEL) {
  Initialise(self, "");
  return self;
}

id InitWithString(id self, SEL selector, id string) {
  RecordCall(self, selector, {TracedObject(string)});
  Initialise(self, StringText(string));
  return self;
}

void BeginEditing(id self, SEL selector) {
  RecordCall(self, selector);
  ++State(self)->editingDepth;
}

// An end without a matching begin is an inconsistency that the platform reports loudly.
void EndEditing(id self, SEL selector) {
  RecordCall(self, selector);
  if (State(self)->editingDepth == 0) {
    throw PlatformException("NSInternalInconsistencyException",
                            "-[NSTextStorage endEditing]: endEditing without beginEditing");
  }
  --State(self)->editingDepth;
}

unsigned long Length(id self, SEL selector) {
  RecordCall(self, selector);
  return State(self)->attributes.size();
}

void AddAttribute(id self, SEL selector, id name, id value, NSRange range) {
  RecordCall(self, selector, {TracedObject(name), TracedObject(value), TracedRange(range)});
  if (name == nullptr || value == nullptr) {
    throw PlatformException("NSInvalidArgumentException",
                            "-[NSTextStorage addAttribute:value:range:]: nil attribute name or "
                            "value");
  }
  std::vector<std::map<std::string, id>>& units = State(self)->attributes;
  if (range.location > units.size() || range.length > units.size() - range.location) {
    RaiseOutOfBounds(selector, "range " + RangeArgument(range).text, units.size());
  }
  const std::string key = StringText(name);
  for (unsigned long index = range.location; index < range.location + range.length; ++index) {
    StoreRetained(units[index][key], value);
  }
}

// The byte offset in UTF-8 `text` at which UTF-16 unit `unit` starts.
std::size_t ByteOffsetOfUnit(const std::string& text, unsigned long unit) {
  std::size_t offset = 0;
  unsigned long units = 0;
  while (offset < text.size() && units < unit) {
    const auto lead = static_cast<unsigned char>(text[offset]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    units += length == 4 ? 2 : 1;
    offset += length;
  }
  return std::min(offset, text.size());
}

// Replaces a run of the text. The new characters take the attributes of the first character they
// replace, or of the character before them when they replace none, as the platform's do.
void ReplaceCharacters(id self, SEL selector, NSRange range, id string) {
  RecordCall(self, selector, {TracedRange(range), TracedObject(string)});
  TextStorageState& state = *State(self);
  std::vector<std::map<std::string, id>>& units = state.attributes;
  if (range.location > units.size() || range.length > units.size() - range.location) {
    RaiseOutOfBounds(selector, "range " + RangeArgument(range).text, units.size());
  }
  const std::string inserted = StringText(string);
  std::map<std::string, id> inherited;
  if (range.length > 0) {
    inherited = units[range.location];
  } else if (range.location > 0) {
    inherited = units[range.location - 1];
  }
  const std::size_t begin = ByteOffsetOfUnit(state.text, range.location);
  const std::size_t end = ByteOffsetOfUnit(state.text, range.location + range.length);
  state.text.replace(begin, end - begin, inserted);
  for (unsigned long index = range.location; index < range.location + range.length; ++index) {
    for (auto& [name, value] : units[index]) Message(value, "release");
  }
  units.erase(units.begin() + static_cast<long>(range.location),
              units.begin() + static_cast<long>(range.location + range.length));
  const unsigned long added = UTF16Length(inserted);
  for (auto& [name, value] : inherited) {
    for (unsigned long copy = 0; copy < added; ++copy) Message(value, "retain");
  }
  units.insert(units.begin() + static_cast<long>(range.location), added, inherited);
}

// Answers the value at `index` and, when asked, the run of units around it that hold the same
// value (the same object, or none).
id AttributeAtIndex(id self, SEL selector, id name, unsigned long index, NSRange* effectiveRange) {
  RecordCall(self, selector,
             {TracedObject(name), TracedNumber(static_cast<double>(index)),
              TraceValue::Of<&RangeRequestArgument>(effectiveRange)});
  const std::vector<std::map<std::string, id>>& units = State(self)->attributes;
  if (index >= units.size()) {
    RaiseOutOfBounds(selector, "index " + std::to_string(index), units.size());
  }
  const std::string key = StringText(name);
  auto valueAt = [&](unsigned long unit) -> id {
    auto found = units[unit].find(key);
    return found == units[unit].end() ? nullptr : found->second;
  };
  id value = valueAt(index);
  if (effectiveRange != nullptr) {
    unsigned long first = index;
    while (first > 0 && valueAt(first - 1) == value) --first;
    unsigned long end = index + 1;
    while (end < units.size() && valueAt(end) == value) ++end;
    *effectiveRange = {first, end - first};
  }
  return value;
}

void Dealloc(id self, SEL) {
  if (TextStorageState* state = State(self)) {
    for (const std::map<std::string, id>& unit : state->attributes) {
      for (const auto& [key, value] : unit) Message(value, "release");
    }
    delete state;
    State(self) = nullptr;
  }
  MessageSuper(self, objc_getClass("NSTextStorage"), "dealloc");
}

}  // namespace

void RegisterNSTextStorage() {
  DefineClass("NSTextStorage", "NSObject", {{"_state", sizeof(void*), "^v"}}, [](Class cls) {
    AddInstanceMethod(cls, "init", &Init);
    AddInstanceMethod(cls, "initWithString:", &InitWithString);
    AddInstanceMethod(cls, "beginEditing", &BeginEditing);
    AddInstanceMethod(cls, "endEditing", &EndEditing);
    AddInstanceMethod(cls, "length", &Length);
    AddInstanceMethod(cls, "addAttribute:value:range:", &AddAttribute);
    AddInstanceMethod(cls, "replaceCharactersInRange:withString:", &ReplaceCharacters);
    AddInstanceMethod(cls, "attribute:atIndex:effectiveRange:", &AttributeAtIndex);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id NewTextStorage(const char* utf8) {
  PausedTrace quiet;
  id text = NewString(utf8);
  id storage =
      Message<id>(Message<id>(reinterpret_cast<id>(objc_getClass("NSTextStorage")), "alloc"),
                  "initWithString:", text);
  Message(text, "release");
  return storage;
}

id TextStorageAttribute(id storage, const char* name, unsigned long index) {
  if (storage == nullptr) return nullptr;
  const std::vector<std::map<std::string, id>>& units = State(storage)->attributes;
  if (index >= units.size()) return nullptr;
  auto found = units[index].find(name);
  return found == units[index].end() ? nullptr : found->second;
}

std::string TextStorageText(id storage) {
  return storage == nullptr ? std::string() : State(storage)->text;
}

}  // namespace device
