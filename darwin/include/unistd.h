#pragma once

// libSystem's read(2) and close(2), under their plain names (xnu bsd/sys/cdefs.h: iPhoneOS has no
// $UNIX2003 variants).

#include <stddef.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

ssize_t read(int descriptor, void* buffer, size_t count);
int close(int descriptor);

#ifdef __cplusplus
}
#endif
