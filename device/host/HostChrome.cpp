#include "device/host/HostMethods.h"

namespace device {

// The host's cells, buttons, tooltip and comment views.
void RegisterHostChrome(HostMethods& methods) { (void)methods; }

}  // namespace device
