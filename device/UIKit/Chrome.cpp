#include "device/UIKit/UIKitDevice.h"

namespace device {

// Bars, controllers, cells and UIKit's private chrome views.
void RegisterUIKitChrome() {}

}  // namespace device
