#pragma once

// libSystem's standard input and output, as far as libc++'s <cstdio> needs it to compile (its own
// templates would clash with an undeclared remove): the stream type stays opaque, and the library
// calls none of it.

#include <stddef.h>

#define EOF (-1)

#ifdef __cplusplus
extern "C" {
#endif

typedef struct __sFILE FILE;
typedef long long fpos_t;

int remove(const char* path);
int rename(const char* from, const char* to);
int snprintf(char* buffer, size_t size, const char* format, ...);

#ifdef __cplusplus
}
#endif
