#pragma once

// Apple's Objective-C runtime (libobjc.A.dylib), its basic types as objc4 runtime/objc.h declares
// them. Every runtime function the library uses exists since iOS 2.0 (objc4 runtime/runtime.h).

typedef struct objc_class* Class;
typedef struct objc_object* id;
typedef struct objc_selector* SEL;
// An implementation is called only after a cast to its exact type (objc4 with
// OBJC_OLD_DISPATCH_PROTOTYPES 0, as on 64-bit ARM).
typedef void (*IMP)(void);

// BOOL is bool on 64-bit ARM and signed char on 32-bit ARM, whose type encodings are "B" and "c";
// the compiler says which (__OBJC_BOOL_IS_BOOL), as objc4 runtime/objc.h reads it.
#if defined(__OBJC_BOOL_IS_BOOL) && __OBJC_BOOL_IS_BOOL
#define OBJC_BOOL_IS_BOOL 1
typedef bool BOOL;
#else
#define OBJC_BOOL_IS_BOOL 0
typedef signed char BOOL;
#endif

#define YES ((BOOL)1)
#define NO ((BOOL)0)

static_assert(sizeof(BOOL) == 1, "objc4 runtime/objc.h: BOOL is one byte");
#if defined(__arm64__)
static_assert(OBJC_BOOL_IS_BOOL == 1, "objc4 runtime/objc.h: BOOL is bool on 64-bit ARM");
#elif defined(__arm__)
static_assert(OBJC_BOOL_IS_BOOL == 0, "objc4 runtime/objc.h: BOOL is signed char on 32-bit ARM");
#endif
