#pragma once

#include <objc/runtime.h>

#include "device/runtime/Runtime.h"

// The text colour that UIKit's text views hold (UILabel, UITextField, UITextView) and that the
// host's own text views copy: a retained colour in the instance variable _textColor, read with
// textColor and written with setTextColor:. One definition serves every class that has it, so that
// they all behave alike.
namespace device {

// The instance variable to list when defining a class that holds a text colour.
inline constexpr InstanceVariable kTextColorVariable{"_textColor", sizeof(id), "@"};

// Adds textColor (records the call and answers the held colour, unowned) and setTextColor:
// (records the call with the colour, retains the new colour and releases the old; nil stores nil)
// to `cls`, which must list kTextColorVariable.
void AddTextColorMethods(Class cls);

// Gives a newly initialised view the platform's default text colour, opaque black in the grey
// space. Call from the class's initialiser.
void InitialiseTextColor(id view);

// Releases the held colour. Call from the class's dealloc before calling super's.
void ReleaseTextColor(id view);

}  // namespace device
