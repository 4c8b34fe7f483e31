# Cross build for 32-bit ARM Linux (armhf), the closest Linux has to the device's armv7 build:
# pointers, long and CGFloat are 32 bits wide. scripts/test.sh --arch armhf installs what it needs.
set(UMBRAVISTA_TRIPLE arm-linux-gnueabihf)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
