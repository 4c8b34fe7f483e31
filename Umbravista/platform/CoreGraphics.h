#pragma once

// CoreGraphics as the library compiles against it: CGFloat, geometry and CGColorRef.
#include "CoreGraphics/CoreGraphics.h"
