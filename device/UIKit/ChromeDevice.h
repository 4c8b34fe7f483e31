#pragma once

#include <objc/runtime.h>

#include <string>

// C++ conveniences for UIKit's chrome stand-ins: the bars, the navigation and table view
// controllers, table view cells, buttons, and the views that hold sub-views in instance variables.
// None of them records anything in the trace.
namespace device {

// A bar's state as it holds it, read without sending a message.
struct BarState {
  long barStyle = 0;
  // The navigation bar's translucency; always false for a toolbar, which holds none.
  bool translucent = false;
  // The bar tint as ColorText renders it: "#RRGGBBAA", "nil" or "pattern".
  std::string barTintColor = "nil";
  // The navigation bar's title attributes, unowned; nil for a toolbar.
  id titleTextAttributes = nullptr;
  id largeTitleTextAttributes = nullptr;
  // Whether the title and the large title use one and the same dictionary (not merely equal
  // ones); false when either is nil.
  bool titleAttributesShared = false;
};

// The state of a UINavigationBar or UIToolbar; the defaults above for nil.
BarState BarStateOf(id bar);

// A new navigation controller of the class named `className` (UINavigationController or a
// subclass such as the host's IGNavigationController), made with alloc and init and owned by the
// caller. Its viewDidLoad has not run; send it to load the controller as the platform would.
id NewNavigationController(const char* className = "UINavigationController");
// The state of the controller's navigation bar and of its toolbar. Each bar is made on first
// request, so reading a bar that nothing has asked for yet makes it, with its defaults.
BarState NavigationBarStateOf(id controller);
BarState ToolbarStateOf(id controller);

// Whether a UITableViewCell is selected, as setSelected:animated: last left it.
bool CellIsSelected(id cell);
// The view that a UITableViewCell shows behind itself while selected, unowned; nil before any.
id SelectedBackgroundViewOf(id cell);
// The multiselect colour that a UITableViewCellSelectedBackground holds, unowned; nil before any.
id MultiselectBackgroundColorOf(id view);

// The image that a UIButton shows in control state `state` (the normal state's where that state
// has none), unowned; nil when it has none.
id ButtonImageOf(id button, unsigned long state = 0);

// The class that a view showing an image is made of: "UIImageView" where the system has that
// class registered now, "UIView" otherwise.
const char* ImageViewClassName();

// Makes a view of the class named `viewClass` as large as `owner` (at its origin), adds it as a
// subview of `owner` and keeps it, retained, in the object instance variable `variable` of
// `owner`, releasing what that held. Answers the new view, unowned. Records nothing. For
// initialisers that make the sub-views a view holds.
id AttachSubviewVariable(id owner, const char* variable, const char* viewClass);
// Releases what the object instance variable `name` of `object` holds and sets it to nil. For
// dealloc methods.
void ReleaseInstanceVariable(id object, const char* name);

// The object that the instance variable `name` of `object` holds, unowned, read without a
// message. Raises PlatformException when the object's class has no such variable.
id InstanceVariableObject(id object, const char* name);
// Empties the object instance variable `name` of `object`, as if it had never been set: a view
// that it holds is taken out of `object`'s subviews first, then the variable's reference is
// released and the variable set to nil. Records nothing. For making a host view that lacks one of
// its usual sub-views (a tooltip with no right background).
void EmptyInstanceVariable(id object, const char* name);

}  // namespace device
