#include "device/host/HostMethods.h"

namespace device {

// The host's button bar and React Native image view.
void RegisterHostGraphics(HostMethods& methods) { (void)methods; }

}  // namespace device
