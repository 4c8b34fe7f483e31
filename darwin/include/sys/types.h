#pragma once

// libSystem's basic system types, the same on both architectures where the library meets them:
// off_t a 64-bit integer, ssize_t a long, mode_t 16 bits (xnu bsd/sys/_types.h, bsd/arm/_types.h).

#include <stddef.h>
#include <stdint.h>

typedef int32_t dev_t;
typedef uint16_t mode_t;
typedef uint16_t nlink_t;
typedef uint64_t ino_t;
typedef uint32_t uid_t;
typedef uint32_t gid_t;
typedef int64_t off_t;
typedef int64_t blkcnt_t;
typedef int32_t blksize_t;
typedef long ssize_t;

static_assert(sizeof(off_t) == 8 && sizeof(mode_t) == 2 && sizeof(ssize_t) == sizeof(long),
              "xnu bsd/sys/_types.h, bsd/arm/_types.h");
static_assert(sizeof(size_t) == sizeof(unsigned long), "xnu bsd/arm/_types.h: size_t");
