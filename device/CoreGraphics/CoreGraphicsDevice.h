#pragma once

#include <string>

#include "CoreGraphics/CoreGraphics.h"

// The simulated device's own view of its CoreGraphics stand-in.
namespace device {

// The number of CGColors created and not yet freed, for leak checks.
long LiveCGColors();

// "#RRGGBBAA" with each component times 255, truncated; "NULL" or "pattern" otherwise.
std::string CGColorText(CGColorRef color);

}  // namespace device
