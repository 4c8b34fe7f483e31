#include "device/UIKit/UIKitDevice.h"

namespace device {

// Images, image views, buttons and image contexts.
void RegisterUIKitGraphics() {}

}  // namespace device
