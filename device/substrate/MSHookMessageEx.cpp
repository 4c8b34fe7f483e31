#include <cstdlib>
#include <mutex>
#include <vector>

#include "device/substrate/HookRecord.h"
#include "substrate.h"

// GCC's runtime: rebuilds the dispatch tables of a class and of every subclass that has one.
extern "C" void __objc_update_dispatch_table_for_class(
    Class cls);  // NOLINT(bugprone-reserved-identifier)

namespace device {
namespace {

struct Records {
  std::mutex mutex;
  std::vector<HookRecord> made;  // Guarded by mutex.
};

Records& AllRecords() {
  static Records records;
  return records;
}

void Note(HookRecord record) {
  Records& records = AllRecords();
  const std::lock_guard<std::mutex> lock(records.mutex);
  records.made.push_back(std::move(record));
}

bool DefinesItself(Class cls, SEL selector) {
  unsigned int count = 0;
  Method* methods = class_copyMethodList(cls, &count);
  bool found = false;
  for (unsigned int i = 0; i < count && !found; ++i) {
    found = sel_isEqual(method_getName(methods[i]), selector);
  }
  std::free(methods);
  return found;
}

}  // namespace

std::string Describe(const HookRecord& record) {
  return std::string(record.metaclass ? "+[" : "-[") +
         (record.className.empty() ? "nil" : record.className) + " " + record.selector + "]" +
         (record.installed ? "" : " skipped");
}

std::vector<HookRecord> HookRecords() {
  Records& records = AllRecords();
  const std::lock_guard<std::mutex> lock(records.mutex);
  return records.made;
}

}  // namespace device

extern "C" void MSHookMessageEx(Class cls, SEL selector, IMP replacement, IMP* saved) {
  device::HookRecord record{cls == nullptr ? "" : class_getName(cls),
                            cls != nullptr && class_isMetaClass(cls),
                            selector == nullptr ? "" : sel_getName(selector), false};
  // The lookup searches the superclasses too, so an inherited method is found here.
  Method method =
      (cls == nullptr || selector == nullptr) ? nullptr : class_getInstanceMethod(cls, selector);
  if (method == nullptr || replacement == nullptr) {
    device::Note(record);
    return;
  }
  // GCC's runtime builds a class's dispatch table at its first message; until then the class
  // shares one placeholder table with every other such class, and changing a method's
  // implementation would write the replacement into that shared table, where every class not yet
  // messaged would find it. Building this class's own table first keeps the change to it.
  class_getMethodImplementation(cls, selector);
  if (device::DefinesItself(cls, selector)) {
    if (saved != nullptr) *saved = method_getImplementation(method);
    method_setImplementation(method, replacement);
    // GCC's runtime updates only the tables of classes that define the method, so a subclass
    // messaged before would keep the replaced implementation; the device's runtime flushes every
    // cache, and so must this.
    __objc_update_dispatch_table_for_class(cls);
  } else {
    // Adding the method to the class itself leaves the superclass's method untouched; the saved
    // implementation is the superclass's as in force now, earlier replacements included.
    if (saved != nullptr) *saved = method_getImplementation(method);
    class_addMethod(cls, selector, replacement, method_getTypeEncoding(method));
  }
  record.installed = true;
  device::Note(record);
}
