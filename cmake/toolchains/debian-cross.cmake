# What the ARM toolchain files share: Debian's cross compilers, the target's multiarch libraries,
# and qemu to run what is built. Included after UMBRAVISTA_TRIPLE and CMAKE_SYSTEM_PROCESSOR are set.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${UMBRAVISTA_TRIPLE}-gcc-12)
set(CMAKE_CXX_COMPILER ${UMBRAVISTA_TRIPLE}-g++-12)

# The multiarch packages install beside the host's own, under /usr/lib/<triple> and /usr/include:
# search there for libraries and headers, and on the build machine only for programs.
set(CMAKE_LIBRARY_ARCHITECTURE ${UMBRAVISTA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH /usr/${UMBRAVISTA_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${UMBRAVISTA_TRIPLE}/pkgconfig:/usr/share/pkgconfig)

# char is unsigned on Linux ARM but signed on the device, as on x86-64: build as the device does.
# A narrowing conversion that one width hides is an error on every width.
set(CMAKE_C_FLAGS_INIT "-fsigned-char")
set(CMAKE_CXX_FLAGS_INIT "-fsigned-char -Werror=narrowing")

# The target's dynamic loader and libraries come from the multiarch packages, so qemu needs no
# prefix. Tests that start the tool themselves start it through the same emulator.
find_program(UMBRAVISTA_EMULATOR qemu-${CMAKE_SYSTEM_PROCESSOR}-static REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${UMBRAVISTA_EMULATOR})
