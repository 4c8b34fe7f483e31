#pragma once

#include <objc/runtime.h>

#include <string>
#include <vector>

#include "CoreGraphics/CoreGraphics.h"

// The host application's own classes, as the simulated host registers them before the library
// loads: views of the host's screens, its palette classes and its text views, with the methods and
// instance variables that its code and the library's replacements reach.
namespace device {

// Registers every host class, less those omitted (see OmitClasses) and less the methods named in
// `missingMethods` ("+[IGColors IGRichTextFormat]"; see HostOptions). UIKit must be registered
// first. Raises std::invalid_argument when a name in `missingMethods` matches no method of a
// registered host class.
void RegisterHostClasses(const std::vector<std::string>& missingMethods = {});

// The content frame that an RCTTextView last received with its text storage, exactly as it
// arrived; zero before any.
CGRect ContentFrameOf(id textView);

}  // namespace device
