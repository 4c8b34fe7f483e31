#pragma once

// libSystem's file status. iPhoneOS has only 64-bit inodes, so struct stat always has the
// __DARWIN_STRUCT_STAT64 layout and fstat its plain name (xnu bsd/sys/stat.h, bsd/sys/cdefs.h:
// __DARWIN_ONLY_64_BIT_INO_T). 64-bit integers are 4-byte aligned on 32-bit ARM, so the layout
// has no padding there.

#include <stddef.h>
#include <sys/types.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

struct stat {
  dev_t st_dev;
  mode_t st_mode;
  nlink_t st_nlink;
  ino_t st_ino;
  uid_t st_uid;
  gid_t st_gid;
  dev_t st_rdev;
  struct timespec st_atimespec;
  struct timespec st_mtimespec;
  struct timespec st_ctimespec;
  struct timespec st_birthtimespec;
  off_t st_size;
  blkcnt_t st_blocks;
  blksize_t st_blksize;
  uint32_t st_flags;
  uint32_t st_gen;
  int32_t st_lspare;
  int64_t st_qspare[2];
};

#define S_IFMT 0170000
#define S_IFREG 0100000
#define S_ISREG(mode) (((mode)&S_IFMT) == S_IFREG)

int fstat(int descriptor, struct stat* status);

#ifdef __cplusplus
}
#endif

#if defined(__LP64__)
static_assert(sizeof(struct stat) == 144 && offsetof(struct stat, st_size) == 96,
              "xnu bsd/sys/stat.h: the 64-bit layout");
#else
static_assert(sizeof(struct stat) == 108 && offsetof(struct stat, st_size) == 60,
              "xnu bsd/sys/stat.h: the 32-bit layout, 64-bit integers 4-byte aligned");
#endif
static_assert(offsetof(struct stat, st_mode) == 4 && sizeof(((struct stat*)0)->st_mode) == 2,
              "xnu bsd/sys/stat.h: st_mode");
static_assert(S_IFMT == 0170000 && S_IFREG == 0100000, "xnu bsd/sys/stat.h");
