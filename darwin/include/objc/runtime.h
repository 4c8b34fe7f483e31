#pragma once

// Apple's Objective-C runtime (libobjc.A.dylib): the functions of objc4 runtime/runtime.h that the
// library calls, each available since iOS 2.0.

#include <objc/objc.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct objc_ivar* Ivar;

Class objc_getClass(const char* name);
Class object_getClass(id object);
SEL sel_registerName(const char* name);
Ivar class_getInstanceVariable(Class cls, const char* name);
Ivar object_getInstanceVariable(id object, const char* name, void** value);
BOOL class_respondsToSelector(Class cls, SEL selector);
IMP class_getMethodImplementation(Class cls, SEL selector);
BOOL class_addMethod(Class cls, SEL selector, IMP implementation, const char* types);
IMP class_replaceMethod(Class cls, SEL selector, IMP implementation, const char* types);

#ifdef __cplusplus
}
#endif
