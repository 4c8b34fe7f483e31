#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <type_traits>

// The library's one road to the Objective-C runtime: classes, selectors, message sends and
// instance variables. Replacements send every message through Send, so that the rule of the
// platform holds everywhere, including for floating-point and structure results: a message to nil
// does nothing and answers zero.
namespace umbravista::platform {

// The class registered under `name`, or nil when the process has none.
inline Class ClassNamed(const char* name) {
  return objc_getClass(name);
}

// The metaclass of `cls`, on which class methods live; nil for nil.
inline Class MetaclassOf(Class cls) {
  return cls == nullptr ? nullptr : object_getClass(reinterpret_cast<id>(cls));
}

inline id ClassObject(const char* name) {
  return reinterpret_cast<id>(ClassNamed(name));
}

inline SEL Selector(const char* name) {
  return sel_registerName(name);
}

// A name written in the library, as a template argument, so that each name has a reference of its
// own (see "name"_sel and "Name"_class below).
template <std::size_t Length>
struct RuntimeName {
  // NOLINTNEXTLINE(google-explicit-constructor): only ever made from a string literal.
  consteval RuntimeName(const char (&text)[Length]) { std::copy_n(text, Length, chars); }
  char chars[Length]{};
};

// The selector `name`, looked up by name at its first use only, as a compiled library's selector
// references are fixed once at load: a send that looks its selector up by name every time spends
// more in the runtime's hashing and string comparisons than in the method. A selector is never
// unregistered, so the reference never changes once set; threads that set it at once set the same
// value. Constant-initialised, so no guard runs.
template <RuntimeName name>
SEL SelectorReference() {
  static std::atomic<SEL> reference{nullptr};
  SEL selector = reference.load(std::memory_order_relaxed);
  if (selector == nullptr) {
    selector = sel_registerName(name.chars);
    reference.store(selector, std::memory_order_relaxed);
  }
  return selector;
}

// The class `name` as a receiver, looked up by name until the process has it and never again,
// as SelectorReference does; nil while the process has no class of that name.
template <RuntimeName name>
id ClassReference() {
  static std::atomic<Class> reference{nullptr};
  Class cls = reference.load(std::memory_order_relaxed);
  if (cls == nullptr) {
    cls = objc_getClass(name.chars);
    if (cls != nullptr) reference.store(cls, std::memory_order_relaxed);
  }
  return reinterpret_cast<id>(cls);
}

// Function pointers of any signature pass through the runtime as IMP; the detour through
// void (*)() tells the compiler that the change of type is meant.
template <typename Function>
IMP AsImplementation(Function* function) {
  return reinterpret_cast<IMP>(reinterpret_cast<void (*)()>(function));
}
template <typename Function>
Function* AsFunction(IMP implementation) {
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(implementation));
}

// The type encoding of BOOL, with which the methods that the library adds declare a boolean
// answer: the runtime's BOOL is signed char ("c") on 32-bit ARM, bool ("B") on 64-bit ARM
// (objc4 runtime/objc.h), and unsigned char ("C") in GCC's runtime.
#if defined(__APPLE__)
inline constexpr char kBoolEncoding = OBJC_BOOL_IS_BOOL ? 'B' : 'c';
#else
inline constexpr char kBoolEncoding = 'C';
#endif

// A zero value of any result type, as a message to nil answers it.
template <typename Result>
Result Zero() {
  if constexpr (!std::is_void_v<Result>) return Result{};
}

#if defined(__APPLE__)
// The runtime's send function for a method answering Result (objc4 runtime/message.h): 32-bit ARM
// returns a structure of more than four bytes in memory, through a pointer the caller passes, and
// only objc_msgSend_stret passes that pointer on; 64-bit ARM has no _stret form, as objc_msgSend
// passes the result's place on itself.
template <typename Result>
IMP SendFunction() {
#if defined(__arm__)
  if constexpr (std::is_class_v<Result>) {
    if constexpr (sizeof(Result) > 4) return AsImplementation(&objc_msgSend_stret);
  }
#endif
  return AsImplementation(&objc_msgSend);
}
#endif

// Sends `selector` with `arguments` to `receiver` and answers the method's result. A nil receiver
// answers zero of Result (nil, 0, 0.0, false, an all-zero structure) without calling the runtime.
// An unrecognised selector is the runtime's business: on the device, and on the simulated one,
// it raises.
template <typename Result = void, typename... Arguments>
Result Send(id receiver, SEL selector, Arguments... arguments) {
  if (receiver == nullptr) return Zero<Result>();
#if defined(__APPLE__)
  // Apple's runtime: the send function itself, called as the method's exact type.
  return AsFunction<Result(id, SEL, Arguments...)>(SendFunction<Result>())(receiver, selector,
                                                                           arguments...);
#else
  // GCC's runtime looks the implementation up, and the caller calls it.
  IMP implementation = objc_msg_lookup(receiver, selector);
  return AsFunction<Result(id, SEL, Arguments...)>(implementation)(receiver, selector,
                                                                   arguments...);
#endif
}

// A send of a selector named at run time, from a table: looked up by name at each send.
template <typename Result = void, typename... Arguments>
Result Send(id receiver, const char* selector, Arguments... arguments) {
  return Send<Result>(receiver, Selector(selector), arguments...);
}

// Calls a saved implementation directly with the receiver, the selector as received and the
// arguments. An empty slot is never called: it answers zero, as a message to nil would.
template <typename Result = void, typename... Arguments>
Result CallSaved(IMP saved, id receiver, SEL selector, Arguments... arguments) {
  if (saved == nullptr) return Zero<Result>();
  return AsFunction<Result(id, SEL, Arguments...)>(saved)(receiver, selector, arguments...);
}

// The current value of the object instance variable `name` of `object`; nil when the object is
// nil or its class has no variable of that name.
inline id InstanceVariable(id object, const char* name) {
  if (object == nullptr) return nullptr;
  void* value = nullptr;
  if (object_getInstanceVariable(object, name, &value) == nullptr) return nullptr;
  return static_cast<id>(value);
}

// Whether `object` answers `selector`; false for nil.
inline bool RespondsTo(id object, SEL selector) {
  return object != nullptr && class_respondsToSelector(object_getClass(object), selector);
}

}  // namespace umbravista::platform

namespace umbravista {

// "setBackgroundColor:"_sel: the selector's reference (platform::SelectorReference).
template <platform::RuntimeName name>
SEL operator""_sel() {
  return platform::SelectorReference<name>();
}

// "UIColor"_class: the class's reference as a receiver (platform::ClassReference).
template <platform::RuntimeName name>
id operator""_class() {
  return platform::ClassReference<name>();
}

}  // namespace umbravista
