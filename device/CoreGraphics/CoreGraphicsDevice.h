#pragma once

#include <string>

#include "CoreGraphics/CoreGraphics.h"
#include "device/runtime/Trace.h"

// The simulated device's own view of its CoreGraphics stand-in.
namespace device {

// The number of CGColors created and not yet freed, for leak checks. Exact whichever threads make
// and free them.
long LiveCGColors();

// "#RRGGBBAA" with each component times 255, truncated; "NULL" or "pattern" otherwise.
std::string CGColorText(CGColorRef color);

// Geometry and colours as the trace shows them: a rectangle as "{x,y,width,height}", a size as
// "{width,height}" (each number with "%g"), a CGColor as CGColorText renders it.
TraceArgument RectArgument(CGRect rect);
TraceArgument SizeArgument(CGSize size);
TraceArgument CGColorArgument(CGColorRef color);

// The same, rendered only on the recording path (see TraceValue).
inline TraceValue TracedRect(CGRect rect) {
  return TraceValue::Of<&RectArgument>(rect);
}
inline TraceValue TracedSize(CGSize size) {
  return TraceValue::Of<&SizeArgument>(size);
}
inline TraceValue TracedCGColor(CGColorRef color) {
  return TraceValue::Of<&CGColorArgument>(color);
}

}  // namespace device
