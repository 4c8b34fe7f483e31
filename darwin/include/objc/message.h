#pragma once

// Apple's Objective-C runtime (libobjc.A.dylib): the send functions of objc4 runtime/message.h,
// declared without a type (OBJC_OLD_DISPATCH_PROTOTYPES 0), so that every call casts one to the
// exact type of the method it reaches.

#include <objc/objc.h>

#ifdef __cplusplus
extern "C" {
#endif

void objc_msgSend(void);
#if defined(__arm__)
// Only 32-bit ARM returns structures in memory through a separate send function; 64-bit ARM has
// none (OBJC_ARM64_UNAVAILABLE).
void objc_msgSend_stret(void);
#endif

#ifdef __cplusplus
}
#endif
