#pragma once

#include <objc/message.h>
#include <objc/runtime.h>

#include <cstddef>
#include <initializer_list>
#include <string>
#include <type_traits>

#include "device/runtime/PlatformException.h"
#include "device/runtime/TypeEncoding.h"

// The simulated device's side of the Objective-C runtime: starting it, defining the stand-in
// classes and reaching their instance variables. The library never uses this header; it talks to
// the runtime through its own platform layer, as it would on a device.
//
// Threads. Starting the runtime, omitting classes and defining them happen once, at start, on one
// thread, before any other thread sends a message. Message, MessageSuper, IsKindOf and
// InstanceVariableAddress may then be used from any thread.
namespace device {

// Starts the GNU runtime as an Objective-C image loading into the process would, and makes a
// message that no class answers raise PlatformException ("NSInvalidArgumentException"), as
// Foundation does. Safe to call more than once; only the first call does anything.
void StartRuntime();

// Defines and registers a class named `name` under the class named `superclassName` (nullptr for
// a root class) with the given instance variables. `define` runs before registration and adds the
// methods. Answers the new class, or nil when the simulated system lacks it: when it was named in
// OmitClasses, or its superclass is not registered. Raises PlatformException when a class of that
// name is already registered.
struct InstanceVariable {
  const char* name;
  std::size_t size;
  const char* typeEncoding;
};
template <typename Define>
Class DefineClass(const char* name, const char* superclassName,
                  std::initializer_list<InstanceVariable> ivars, Define define);
Class AllocateClass(const char* name, const char* superclassName,
                    std::initializer_list<InstanceVariable> ivars);

// Names classes that this simulated system or host does not have; DefineClass skips them (and
// so their subclasses). Call before the classes are registered.
void OmitClasses(std::initializer_list<std::string> names);
void OmitClass(const std::string& name);
void RegisterClass(Class cls);

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

// Adds an instance method (or, on the metaclass, a class method) with the given C++ function as
// its implementation, declared with the type encoding of the function's own type.
template <typename Function>
void AddInstanceMethod(Class cls, const char* selector, Function* implementation) {
  class_addMethod(cls, sel_registerName(selector), AsImplementation(implementation),
                  kMethodEncoding<Function>.text);
}
template <typename Function>
void AddClassMethod(Class cls, const char* selector, Function* implementation) {
  AddInstanceMethod(object_getClass(reinterpret_cast<id>(cls)), selector, implementation);
}

// A reference to the instance variable `name` of `object`, which must have one of type T.
// Raises PlatformException when the object's class has no such variable.
void* InstanceVariableAddress(id object, const char* name);
template <typename T>
T& InstanceVariableOf(id object, const char* name) {
  return *static_cast<T*>(InstanceVariableAddress(object, name));
}

// Sends `selector` to `receiver` through the runtime's dispatch. A message to nil answers zero.
template <typename Result = void, typename... Arguments>
Result Message(id receiver, const char* selector, Arguments... arguments) {
  if (receiver == nullptr) {
    if constexpr (std::is_void_v<Result>) {
      return;
    } else {
      return Result{};
    }
  }
  SEL sel = sel_registerName(selector);
  IMP implementation = objc_msg_lookup(receiver, sel);
  return AsFunction<Result(id, SEL, Arguments...)>(implementation)(receiver, sel, arguments...);
}

// Sends `selector` to `receiver` starting the method search at the superclass of `cls`, as a
// method of `cls` does with [super selector].
template <typename Result = void, typename... Arguments>
Result MessageSuper(id receiver, Class cls, const char* selector, Arguments... arguments) {
  objc_super super{receiver, class_getSuperclass(cls)};
  SEL sel = sel_registerName(selector);
  IMP implementation = objc_msg_lookup_super(&super, sel);
  return AsFunction<Result(id, SEL, Arguments...)>(implementation)(receiver, sel, arguments...);
}

// Whether `object` is an instance of the class named `className` or of one of its subclasses.
bool IsKindOf(id object, const char* className);

template <typename Define>
Class DefineClass(const char* name, const char* superclassName,
                  std::initializer_list<InstanceVariable> ivars, Define define) {
  Class cls = AllocateClass(name, superclassName, ivars);
  if (cls == nullptr) return nullptr;
  define(cls);
  RegisterClass(cls);
  return cls;
}

}  // namespace device
