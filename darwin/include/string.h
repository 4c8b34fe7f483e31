#pragma once

// libSystem's C library: the ISO C string functions, under their plain names.

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

void* memchr(const void* bytes, int byte, size_t count);
int memcmp(const void* first, const void* second, size_t count);
void* memcpy(void* destination, const void* source, size_t count);
void* memmove(void* destination, const void* source, size_t count);
void* memset(void* destination, int byte, size_t count);
char* strchr(const char* text, int character);
char* strrchr(const char* text, int character);
char* strstr(const char* text, const char* part);
char* strpbrk(const char* text, const char* characters);
int strcmp(const char* first, const char* second);
int strncmp(const char* first, const char* second, size_t count);
size_t strlen(const char* text);

#ifdef __cplusplus
}
#endif
