#pragma once

#include <objc/runtime.h>

// The navigation and table controllers: black, opaque bars with white titles, and table screens
// in the main background colour. Neither asks ThemeGate.
namespace umbravista {

// -[UINavigationController viewDidLoad]. The saved viewDidLoad first; then one attributes
// dictionary (text colour: UIKit white) is made, and the bars are set in this order, each step
// asking the controller for its bar again: navigation bar style black (1), not translucent, tint
// clear black; toolbar tint clear black (a colour of its own), style black; navigation bar title
// attributes, large-title attributes (only from system version 11.0.0 on), style black again;
// and finally the controller is asked to update its status bar appearance. No settings are read.
void ReplaceUINavigationControllerViewDidLoad(id controller, SEL selector);

// -[UITableViewController viewWillAppear:]. Sends setBackgroundColor: with the main background
// colour to the controller's table view, as an ordinary message; the saved viewWillAppear: is
// never called, and `animated` is not looked at.
void ReplaceUITableViewControllerViewWillAppear(id controller, SEL selector, BOOL animated);

}  // namespace umbravista
