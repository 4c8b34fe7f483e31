#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"

namespace device {

id NewHostColour(unsigned rgb) {
  auto component = [&](int shift) { return static_cast<double>((rgb >> shift) & 0xFF) / 255.0; };
  return NewRGBColor(component(16), component(8), component(0), 1.0);
}

}  // namespace device
