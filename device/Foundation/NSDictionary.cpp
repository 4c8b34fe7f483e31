#include <utility>
#include <vector>

#include "device/Foundation/Foundation.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

using Entries = std::vector<std::pair<id, id>>;  // Key, then value, in the order first stored.

Entries*& EntriesOf(id self) {
  return InstanceVariableOf<Entries*>(self, "_entries");
}

// Keys match as the platform matches them, by isEqual:, so that two strings of the same text name
// the same entry.
Entries::iterator FindKey(Entries& entries, id key) {
  for (auto entry = entries.begin(); entry != entries.end(); ++entry) {
    if (Message<bool>(entry->first, "isEqual:", key)) return entry;
  }
  return entries.end();
}

// A later entry for a key already present replaces the earlier one.
id InitWithObjects(id self, SEL, const id* objects, const id* keys, unsigned long count) {
  EntriesOf(self) = new Entries;
  for (unsigned long index = 0; index < count; ++index) {
    if (objects[index] == nullptr || keys[index] == nullptr) {
      const std::string which = objects[index] == nullptr ? "object" : "key";
      Message(self, "release");
      throw PlatformException(
          "NSInvalidArgumentException",
          "attempt to insert nil " + which + " from objects[" + std::to_string(index) + "]");
    }
    Message(objects[index], "retain");
    Message(keys[index], "retain");
    Entries& entries = *EntriesOf(self);
    auto existing = FindKey(entries, keys[index]);
    if (existing == entries.end()) {
      entries.emplace_back(keys[index], objects[index]);
    } else {
      Message(existing->first, "release");
      Message(existing->second, "release");
      *existing = {keys[index], objects[index]};
    }
  }
  return self;
}

id Init(id self, SEL) {
  return InitWithObjects(self, nullptr, nullptr, nullptr, 0);
}

id DictionaryWithObjects(id cls, SEL selector, const id* objects, const id* keys,
                         unsigned long count) {
  RecordCall(cls, selector, {TracedNumber(static_cast<double>(count))});
  id dictionary = Message<id>(cls, "alloc");
  return Message<id>(InitWithObjects(dictionary, nullptr, objects, keys, count), "autorelease");
}

id ObjectForKey(id self, SEL selector, id key) {
  RecordCall(self, selector, {TracedObject(key)});
  if (key == nullptr) return nullptr;
  Entries& entries = *EntriesOf(self);
  auto entry = FindKey(entries, key);
  return entry == entries.end() ? nullptr : entry->second;
}

unsigned long Count(id self, SEL selector) {
  RecordCall(self, selector);
  return EntriesOf(self)->size();
}

void Dealloc(id self, SEL) {
  for (const auto& [key, object] : *EntriesOf(self)) {
    Message(key, "release");
    Message(object, "release");
  }
  delete EntriesOf(self);
  EntriesOf(self) = nullptr;
  MessageSuper(self, objc_getClass("NSDictionary"), "dealloc");
}

}  // namespace

void RegisterNSDictionary() {
  DefineClass("NSDictionary", "NSObject", {{"_entries", sizeof(void*), "^v"}}, [](Class cls) {
    AddClassMethod(cls, "dictionaryWithObjects:forKeys:count:", &DictionaryWithObjects);
    AddInstanceMethod(cls, "init", &Init);
    AddInstanceMethod(cls, "initWithObjects:forKeys:count:", &InitWithObjects);
    AddInstanceMethod(cls, "objectForKey:", &ObjectForKey);
    AddInstanceMethod(cls, "count", &Count);
    AddInstanceMethod(cls, "dealloc", &Dealloc);
  });
}

id NewDictionary(const std::vector<std::pair<id, id>>& entries) {
  std::vector<id> keys;
  std::vector<id> objects;
  for (const auto& [key, object] : entries) {
    keys.push_back(key);
    objects.push_back(object);
  }
  PausedTrace quiet;
  id dictionary = Message<id>(reinterpret_cast<id>(objc_getClass("NSDictionary")), "alloc");
  return Message<id>(dictionary, "initWithObjects:forKeys:count:", objects.data(), keys.data(),
                     static_cast<unsigned long>(entries.size()));
}

std::vector<std::pair<id, id>> DictionaryEntries(id dictionary) {
  return dictionary == nullptr ? Entries() : *EntriesOf(dictionary);
}

id DictionaryEntry(id dictionary, const char* key) {
  for (const auto& [entryKey, object] : DictionaryEntries(dictionary)) {
    if (IsKindOf(entryKey, "NSString") && StringText(entryKey) == key) return object;
  }
  return nullptr;
}

}  // namespace device
