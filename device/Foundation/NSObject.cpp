#include "device/Foundation/NSObject.h"

#include <atomic>
#include <cstddef>
#include <exception>
#include <mutex>
#include <string_view>
#include <unordered_map>

#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

namespace device {
namespace {

// What every thread's allocations and deallocations share. Objects are made and freed on any
// thread, as on the platform, so the counts and the graveyard change only under the lock.
struct Bookkeeping {
  std::mutex mutex;
  std::unordered_map<Class, long> liveByClass;  // Guarded by mutex.
  // Zombies are kept, not freed; holding them here says so to a leak checker. Guarded by mutex.
  std::vector<id> graveyard;
  std::atomic<bool> zombies{true};
};

// Never destroyed: zombies and counts must outlive every object, including those that static
// destructors release at exit.
Bookkeeping& Books() {
  static auto* books = new Bookkeeping;
  return *books;
}

// Each thread has its own stack of pools, as on the platform: an object autoreleased on a thread
// goes into that thread's innermost pool.
using PoolStack = std::vector<std::vector<id>>;
thread_local PoolStack poolStack;

// Where _retainCount lies in every object, the zombie's included: found once, when the root
// class is registered (before any thread but the first can make objects), and only read after.
std::ptrdiff_t retainCountOffset = -1;

bool IsClassObject(id object) {
  return class_isMetaClass(object_getClass(object));
}

// The count is changed by whichever threads hold the object, so it is only ever read and written
// atomically.
std::atomic_ref<long> RetainCount(id object) {
  return std::atomic_ref<long>(
      *reinterpret_cast<long*>(reinterpret_cast<char*>(object) + retainCountOffset));
}

void CountLive(Class cls, long change) {
  Bookkeeping& books = Books();
  const std::lock_guard<std::mutex> lock(books.mutex);
  books.liveByClass[cls] += change;
}

id Alloc(id cls, SEL) {
  id object = class_createInstance(reinterpret_cast<Class>(cls), 0);
  RetainCount(object).store(1, std::memory_order_relaxed);
  CountLive(reinterpret_cast<Class>(cls), +1);
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
  if (!IsClassObject(self)) RetainCount(self).fetch_add(1, std::memory_order_relaxed);
  return self;
}

// The count never goes below zero, even when threads release at once: each release takes one
// reference that it has seen to be there, and the one that takes the last deallocates.
void Release(id self, SEL) {
  if (IsClassObject(self)) return;
  std::atomic_ref<long> count = RetainCount(self);
  long before = count.load(std::memory_order_relaxed);
  do {
    if (before <= 0) {
      throw PlatformException("NSInternalInconsistencyException",
                              std::string("over-release of ") + object_getClassName(self));
    }
  } while (!count.compare_exchange_weak(before, before - 1, std::memory_order_acq_rel,
                                        std::memory_order_relaxed));
  if (before == 1) Message(self, "dealloc");
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
  return IsClassObject(self) ? -1 : RetainCount(self).load(std::memory_order_relaxed);
}

void Dealloc(id self, SEL) {
  Bookkeeping& books = Books();
  CountLive(object_getClass(self), -1);
  if (books.zombies.load(std::memory_order_relaxed)) {
    object_setClass(self, objc_getClass("_NSZombie_"));
    const std::lock_guard<std::mutex> lock(books.mutex);
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
  RecordCall(self, selector, {TracedObject(key)});
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

// Releases what the calling thread's pool at `depth` holds; releasing may autorelease more
// objects into that pool, so it drains until the pool stays empty.
void ReleaseHeld(std::size_t depth) {
  while (!poolStack[depth].empty()) {
    std::vector<id> objects;
    objects.swap(poolStack[depth]);
    for (id object : objects) Message(object, "release");
  }
}

}  // namespace

void RegisterObjectRoot() {
  DefineClass("NSObject", nullptr, {{"_retainCount", sizeof(long), kEncodingOf<long>.text}},
              [](Class cls) {
                AddClassMethod(cls, "alloc", &Alloc);
                AddClassMethod(cls, "new", &New);
                AddClassMethod(cls, "class", &ClassOfClass);
                AddInstanceMethod(cls, "init", &Init);
                AddInstanceMethod(cls, "retain", &Retain);
                AddInstanceMethod(cls, "release", &Release);
                AddInstanceMethod(cls, "autorelease", &Autorelease);
                AddInstanceMethod(cls, "retainCount", &RetainCountMethod);
                AddInstanceMethod(cls, "dealloc", &Dealloc);
                AddInstanceMethod(cls, "isEqual:", &IsEqual);
                AddInstanceMethod(cls, "hash", &Hash);
                AddInstanceMethod(cls, "class", &ClassOf);
                AddInstanceMethod(cls, "respondsToSelector:", &RespondsToSelector);
                AddInstanceMethod(cls, "isKindOfClass:", &IsKindOfClass);
                AddInstanceMethod(cls, "valueForKey:", &ValueForKey);
              });
  // A zombie answers nothing, so that every message to it goes to the forwarding that raises.
  DefineClass("_NSZombie_", nullptr, {{"_retainCount", sizeof(long), kEncodingOf<long>.text}},
              [](Class) {});
  Class root = objc_getClass("NSObject");
  Class zombie = objc_getClass("_NSZombie_");
  if (root == nullptr || zombie == nullptr) return;
  retainCountOffset = ivar_getOffset(class_getInstanceVariable(root, "_retainCount"));
  if (ivar_getOffset(class_getInstanceVariable(zombie, "_retainCount")) != retainCountOffset) {
    throw PlatformException("NSInternalInconsistencyException",
                            "a zombie must keep its retain count where the object had it");
  }
}

long LiveObjects(const char* className) {
  Bookkeeping& books = Books();
  const std::lock_guard<std::mutex> lock(books.mutex);
  long total = 0;
  for (const auto& [cls, count] : books.liveByClass) {
    if (className == nullptr || std::string_view(class_getName(cls)) == className) total += count;
  }
  return total;
}

long RetainCountOf(id object) {
  return RetainCount(object).load(std::memory_order_relaxed);
}

void SetZombiesEnabled(bool enabled) {
  Books().zombies.store(enabled, std::memory_order_relaxed);
}

AutoreleasePool::AutoreleasePool() : stack_(&poolStack), depth_(poolStack.size()) {
  poolStack.emplace_back();
}

AutoreleasePool::~AutoreleasePool() {
  // Ending here would pop another thread's pool: a fault of the caller's that nothing can repair.
  if (stack_ != &poolStack) std::terminate();
  ReleaseHeld(depth_);
  poolStack.pop_back();
}

void AutoreleasePool::Drain() {
  if (stack_ != &poolStack) {
    throw PlatformException("NSInternalInconsistencyException",
                            "an autorelease pool drained on a thread other than its own");
  }
  ReleaseHeld(depth_);
}

}  // namespace device
