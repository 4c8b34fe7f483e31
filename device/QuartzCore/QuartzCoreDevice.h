#pragma once

// The simulated device's QuartzCore stand-in.
namespace device {

// Registers CALayer, whose border colour starts opaque black. Foundation must be registered first.
void RegisterQuartzCore();

}  // namespace device
