#pragma once

// The host application's own classes, as the simulated host registers them before the library
// loads: views of the host's screens with the methods and instance variables that its code and
// the library's replacements reach.
namespace device {

// Registers every host class, less those omitted (see OmitClasses). UIKit must be registered
// first.
void RegisterHostClasses();

}  // namespace device
