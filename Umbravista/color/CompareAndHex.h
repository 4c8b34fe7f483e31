#pragma once

// The category CompareAndHex on UIColor: exactly two instance methods, put on the runtime's UIColor
// when the library loads, before any replacement can run.
//
//   -initWithHex:(NSString*)text   Initialises a freshly allocated colour from hexadecimal text
//                                  (see platform::ScanHexNumber, then ColorFromHexValue) as
//                                  opaque red, green and blue, and
//                                  answers it. Text that holds no number answers nil; the
//                                  receiver is then released, so that [[UIColor alloc]
//                                  initWithHex:] leaks nothing. A nil or non-string argument
//                                  holds no number.
//   -isSameColor:(UIColor*)other   Whether the receiver and `other` fall into the same 8-bit
//                                  steps, alpha included (see IsSameColor). A colour without an
//                                  RGBA form (a pattern colour), or a nil argument, is the same
//                                  as nothing: false. Sent to nil, the answer is false.
namespace umbravista {

// Puts the two methods on UIColor as a category loaded after the class does: a method of the same
// name that UIColor itself already has is replaced, one it lacks is added, and nothing else of
// UIColor changes. A method that UIColor only inherits is left as it is in its own class, and
// UIColor gets the category's beside it. Does nothing when the process has no UIColor.
void AttachCompareAndHex();

}  // namespace umbravista
