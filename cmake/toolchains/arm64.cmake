# Cross build for 64-bit ARM Linux (arm64), as the device's arm64 build: pointers, long and CGFloat
# are 64 bits wide. scripts/test.sh --arch arm64 installs what it needs.
set(UMBRAVISTA_TRIPLE aarch64-linux-gnu)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/debian-cross.cmake)
