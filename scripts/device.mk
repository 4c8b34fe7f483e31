# The device build, driven by scripts/device-build.sh: the library's sources (Umbravista/sources.txt,
# which CMake reads too) compiled with clang against libc++'s headers and our own declarations of
# the Darwin interfaces (darwin/), for arm64 on iOS 7 and armv7 on iOS 6, warnings as errors. The
# arm64 objects are linked with lld against the stubs in darwin/stubs and signed with
# scripts/adhoc-sign.py; the armv7 objects wait for Apple's linker (see the README).

ROOT := $(abspath $(dir $(lastword $(MAKEFILE_LIST)))/..)
OUT := $(ROOT)/build-device
SOURCES := $(shell cat $(ROOT)/Umbravista/sources.txt)
INSTALL_NAME := /Library/MobileSubstrate/DynamicLibraries/Umbravista.dylib

CXX := clang++-16
LD := ld64.lld-16
LIBCXX_HEADERS := /usr/lib/llvm-14/include/c++/v1
# Our libc++ configuration comes before libc++'s own, the C library's declarations after libc++'s
# wrappers of them; nothing of the build machine's C library is seen.
CXXFLAGS := -std=c++20 -O2 -Wall -Wextra -Werror -fvisibility=hidden -fvisibility-inlines-hidden \
  -nostdinc++ -nostdlibinc -isystem $(ROOT)/darwin/c++ -isystem $(LIBCXX_HEADERS) \
  -isystem $(ROOT)/darwin/include -I$(ROOT)/Umbravista -I$(ROOT)/device/sdk -MMD -MP
STUBS := $(wildcard $(ROOT)/darwin/stubs/*.tbd)

ARM64_OBJECTS := $(SOURCES:%.cpp=$(OUT)/arm64/%.o)
ARMV7_OBJECTS := $(SOURCES:%.cpp=$(OUT)/armv7/%.o)

all: $(OUT)/Umbravista.dylib $(OUT)/armv7/imports-checked

$(OUT)/arm64/%.o: $(ROOT)/Umbravista/%.cpp $(ROOT)/scripts/device.mk
	@mkdir -p $(@D)
	@echo "arm64 $*.cpp"
	@$(CXX) -target arm64-apple-ios7.0 $(CXXFLAGS) -c $< -o $@

$(OUT)/armv7/%.o: $(ROOT)/Umbravista/%.cpp $(ROOT)/scripts/device.mk
	@mkdir -p $(@D)
	@echo "armv7 $*.cpp"
	@$(CXX) -target armv7-apple-ios6.0 $(CXXFLAGS) -c $< -o $@

$(OUT)/stubs-checked: $(STUBS) $(ROOT)/darwin/imports.txt $(ROOT)/scripts/device-stubs.py
	@python3 $(ROOT)/scripts/device-stubs.py --check
	@touch $@

# Nothing is exported (an empty list), and lld reserves the signature's place (-adhoc_codesign),
# which the signer then fills with the SHA-1 page hashes that iOS 6 to 8 require.
$(OUT)/Umbravista.unsigned.dylib: $(ARM64_OBJECTS) $(OUT)/stubs-checked
	@: > $(OUT)/no-exports.txt
	@echo "link $(@F)"
	@$(LD) -arch arm64 -platform_version ios 7.0 7.0 -dylib -install_name $(INSTALL_NAME) \
	  -compatibility_version 1 -current_version 1 -dead_strip \
	  -exported_symbols_list $(OUT)/no-exports.txt -adhoc_codesign -o $@ $(ARM64_OBJECTS) $(STUBS)

$(OUT)/Umbravista.dylib: $(OUT)/Umbravista.unsigned.dylib $(ROOT)/scripts/adhoc-sign.py
	@echo "sign $(@F)"
	@cp $< $@.tmp
	@python3 $(ROOT)/scripts/adhoc-sign.py --identifier Umbravista $@.tmp
	@mv $@.tmp $@

# No linker here can link armv7, but each object's undefined symbols must be ones that the
# library defines or that the list allows from the device.
$(OUT)/armv7/imports-checked: $(ARMV7_OBJECTS) $(OUT)/stubs-checked
	@echo "check armv7 imports"
	@python3 $(ROOT)/scripts/device-stubs.py --check-objects armv7 $(ARMV7_OBJECTS)
	@touch $@

.PHONY: all
.DELETE_ON_ERROR:
-include $(ARM64_OBJECTS:.o=.d) $(ARMV7_OBJECTS:.o=.d)
