#include "device/Foundation/NSObject.h"

#include <map>

#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

struct Bookkeeping {
  std::map<std::string, long> liveByClass;
  bool zombies = true;
  // Zombies are kept, not freed; holding them here says so to a leak checker.
  std::vector<id> graveyard;
};

// Never destroyed: zombies and counts must outlive every object, including those that static
// destructors release at exit.
Bookkeeping& Books() {
  static auto* books = new Bookkeeping;
  return *books;
}

thread_local std::vector<std::vector<id>> poolStack;

bool IsClassObject(id object) {
  return class_isMetaClass(object_getClass(object));
}

long& RetainCount(id object) {
  return InstanceVariableOf<long>(object, "_retainCount");
}

id Alloc(id cls, SEL) {
  id object = class_createInstance(reinterpret_cast<Class>(cls), 0);
  RetainCount(object) = 1;
  ++Books().liveByClass[class_getName(reinterpret_cast<Class>(cls))];
  return object;
}

id New(id cls, SEL) {
  return Message<id>(Message<id>(cls, "alloc"), "init");
}

id ClassOfClass(id cls, SEL) {
  return cls;
}

id Init(id self, SEL) {
  return self;
}

id Retain(id self, SEL) {
  if (!IsClassObject(self)) ++RetainCount(self);
  return self;
}

void Release(id self, SEL) {
  if (IsClassObject(self)) return;
  long& count = RetainCount(self);
  if (count <= 0) {
    throw PlatformException("NSInternalInconsistencyException",
                            std::string("over-release of ") + object_getClassName(self));
  }
  if (--count == 0) Message(self, "dealloc");
}

id Autorelease(id self, SEL) {
  if (IsClassObject(self)) return self;
  if (poolStack.empty()) {
    throw PlatformException("NSInternalInconsistencyException",
                            std::string("autorelease of ") + object_getClassName(self) +
                                " with no pool in place: it would leak");
  }
  poolStack.back().push_back(self);
  return self;
}

long RetainCountMethod(id self, SEL) {
  return IsClassObject(self) ? -1 : RetainCount(self);
}

void Dealloc(id self, SEL) {
  Bookkeeping& books = Books();
  --books.liveByClass[object_getClassName(self)];
  if (books.zombies) {
    object_setClass(self, objc_getClass("_NSZombie_"));
    books.graveyard.push_back(self);
  } else {
    object_dispose(self);
  }
}

bool IsEqual(id self, SEL, id other) {
  return self == other;
}

unsigned long Hash(id self, SEL) {
  return reinterpret_cast<unsigned long>(self);
}

id ClassOf(id self, SEL) {
  return reinterpret_cast<id>(object_getClass(self));
}

bool RespondsToSelector(id self, SEL, SEL selector) {
  return selector != nullptr && class_respondsToSelector(object_getClass(self), selector);
}

bool IsKindOfClass(id self, SEL, id cls) {
  for (Class current = object_getClass(self); current != nullptr;
       current = class_getSuperclass(current)) {
    if (reinterpret_cast<id>(current) == cls) return true;
  }
  return false;
}

[[noreturn]] void RaiseUnknownKey(id self, const std::string& key) {
  throw PlatformException("NSUnknownKeyException",
                          std::string("[<") + object_getClassName(self) +
                              "> valueForUndefinedKey:]: this class is not key value "
                              "coding-compliant for the key " +
                              key + ".");
}

// Key value lookup in the platform's order: a getter named as the key, then an object instance
// variable "_key", then "key". Anything else is an undefined key.
id ValueForKey(id self, SEL selector, id key) {
  RecordCall(self, selector, {ObjectArgument(key)});
  const std::string name = Message<const char*>(key, "UTF8String");
  SEL getter = sel_registerName(name.c_str());
  if (class_respondsToSelector(object_getClass(self), getter)) {
    return AsFunction<id(id, SEL)>(objc_msg_lookup(self, getter))(self, getter);
  }
  for (const std::string& ivarName : {"_" + name, name}) {
    Ivar ivar = class_getInstanceVariable(object_getClass(self), ivarName.c_str());
    if (ivar != nullptr && ivar_getTypeEncoding(ivar)[0] == '@') return object_getIvar(self, ivar);
  }
  RaiseUnknownKey(self, name);
}

}  // namespace

void RegisterObjectRoot() {
  DefineClass("NSObject", nullptr, {{"_retainCount", sizeof(long), "q"}}, [](Class cls) {
    AddClassMethod(cls, "alloc", &Alloc, "@@:");
    AddClassMethod(cls, "new", &New, "@@:");
    AddClassMethod(cls, "class", &ClassOfClass, "#@:");
    AddInstanceMethod(cls, "init", &Init, "@@:");
    AddInstanceMethod(cls, "retain", &Retain, "@@:");
    AddInstanceMethod(cls, "release", &Release, "v@:");
    AddInstanceMethod(cls, "autorelease", &Autorelease, "@@:");
    AddInstanceMethod(cls, "retainCount", &RetainCountMethod, "Q@:");
    AddInstanceMethod(cls, "dealloc", &Dealloc, "v@:");
    AddInstanceMethod(cls, "isEqual:", &IsEqual, "C@:@");
    AddInstanceMethod(cls, "hash", &Hash, "Q@:");
    AddInstanceMethod(cls, "class", &ClassOf, "#@:");
    AddInstanceMethod(cls, "respondsToSelector:", &RespondsToSelector, "C@::");
    AddInstanceMethod(cls, "isKindOfClass:", &IsKindOfClass, "C@:#");
    AddInstanceMethod(cls, "valueForKey:", &ValueForKey, "@@:@");
  });
  // A zombie answers nothing, so that every message to it goes to the forwarding that raises.
  DefineClass("_NSZombie_", nullptr, {{"_retainCount", sizeof(long), "q"}}, [](Class) {});
}

long LiveObjects(const char* className) {
  long total = 0;
  for (const auto& [name, count] : Books().liveByClass) {
    if (className == nullptr || name == className) total += count;
  }
  return total;
}

long RetainCountOf(id object) {
  return RetainCount(object);
}

void SetZombiesEnabled(bool enabled) {
  Books().zombies = enabled;
}

AutoreleasePool::AutoreleasePool() {
  poolStack.emplace_back();
}

AutoreleasePool::~AutoreleasePool() {
  Drain();
  poolStack.pop_back();
}

void AutoreleasePool::Drain() {
  // Releasing may autorelease more objects into this pool; drain until it stays empty.
  while (!poolStack.back().empty()) {
    std::vector<id> objects;
    objects.swap(poolStack.back());
    for (id object : objects) Message(object, "release");
  }
}

}  // namespace device
