#include "device/runtime/Runtime.h"

#include <bit>
#include <cstring>
#include <set>
#include <string>

// The GNU runtime starts when the first Objective-C image registers its module. The stand-ins are
// C++, so the device registers an empty module of the runtime's current ABI, as a compiled image
// would, before anything else touches the runtime.
extern "C" {
struct ObjectiveCSymbolTable {
  unsigned long selectorReferenceCount;
  void* selectorReferences;
  unsigned short classDefinitionCount;
  unsigned short categoryDefinitionCount;
  void* definitions[1];
};
struct ObjectiveCModule {
  unsigned long version;
  unsigned long size;
  const char* name;
  ObjectiveCSymbolTable* symbolTable;
};
void __objc_exec_class(ObjectiveCModule* module);  // NOLINT(bugprone-reserved-identifier)
}

namespace device {
namespace {

constexpr unsigned long kRuntimeModuleVersion = 8;

ObjectiveCSymbolTable emptySymbolTable{0, nullptr, 0, 0, {nullptr}};
ObjectiveCModule deviceModule{kRuntimeModuleVersion, sizeof(ObjectiveCModule), "SimulatedDevice",
                              &emptySymbolTable};

[[noreturn]] void RaiseUnrecognisedSelector(id receiver, SEL selector) {
  const bool isClass = receiver != nullptr && class_isMetaClass(object_getClass(receiver));
  std::string reason = std::string(isClass ? "+[" : "-[") + object_getClassName(receiver) + " " +
                       sel_getName(selector) + "]: unrecognized selector sent to " +
                       (isClass ? "class" : "instance");
  throw PlatformException("NSInvalidArgumentException", reason);
}

IMP UnrecognisedSelectorForwarder(id, SEL) {
  return AsImplementation(&RaiseUnrecognisedSelector);
}

}  // namespace

void StartRuntime() {
  if (__objc_msg_forward2 == &UnrecognisedSelectorForwarder) return;
  __objc_exec_class(&deviceModule);
  __objc_msg_forward2 = &UnrecognisedSelectorForwarder;
}

std::set<std::string>& OmittedClasses() {
  static std::set<std::string> omitted;
  return omitted;
}

void OmitClasses(std::initializer_list<std::string> names) {
  for (const std::string& name : names) OmitClass(name);
}

void OmitClass(const std::string& name) {
  OmittedClasses().insert(name);
}

Class AllocateClass(const char* name, const char* superclassName,
                    std::initializer_list<InstanceVariable> ivars) {
  if (OmittedClasses().count(name) != 0) return nullptr;
  Class superclass = superclassName == nullptr ? nullptr : objc_getClass(superclassName);
  if (superclassName != nullptr && superclass == nullptr) return nullptr;
  if (objc_getClass(name) != nullptr) {
    throw PlatformException("NSInternalInconsistencyException",
                            std::string("class ") + name + " is already registered");
  }
  Class cls = objc_allocateClassPair(superclass, name, 0);
  // A root class lays out its own isa; every object starts with it.
  if (superclass == nullptr) {
    class_addIvar(cls, "isa", sizeof(Class), std::countr_zero(alignof(Class)),
                  kEncodingOf<Class>.text);
  }
  for (const InstanceVariable& ivar : ivars) {
    unsigned char alignment = 0;
    while ((std::size_t{1} << (alignment + 1)) <= ivar.size && alignment < 3) ++alignment;
    class_addIvar(cls, ivar.name, ivar.size, alignment, ivar.typeEncoding);
  }
  return cls;
}

void RegisterClass(Class cls) {
  objc_registerClassPair(cls);
}

void* InstanceVariableAddress(id object, const char* name) {
  Ivar ivar = class_getInstanceVariable(object_getClass(object), name);
  if (ivar == nullptr) {
    throw PlatformException("NSInternalInconsistencyException",
                            std::string(object_getClassName(object)) + " has no " + name);
  }
  return reinterpret_cast<char*>(object) + ivar_getOffset(ivar);
}

bool IsKindOf(id object, const char* className) {
  if (object == nullptr) return false;
  Class wanted = objc_getClass(className);
  for (Class cls = object_getClass(object); cls != nullptr; cls = class_getSuperclass(cls)) {
    if (cls == wanted) return true;
  }
  return false;
}

}  // namespace device
