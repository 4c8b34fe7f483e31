#include "device/Foundation/Foundation.h"
#include "device/UIKit/ChromeDevice.h"
#include "device/UIKit/UIKitDevice.h"
#include "device/host/HostClasses.h"
#include "device/host/HostMethods.h"
#include "device/runtime/Runtime.h"
#include "device/runtime/Trace.h"

// The host's table view cells: the direct inbox's thread cell with its two labels, the album
// picker's cell, the cells whose selection the library changes, and the comment cell that
// highlights itself.
namespace device {
namespace {

constexpr char kInboxCell[] = "IGDirectInboxThreadCell";
constexpr char kAlbumCell[] = "IGSelectAlbumCell";

// The cell makes its labels with the host's own text colours, out of the trace: the host building
// a cell is not what a test looks for.
void AttachLabel(id cell, const char* variable, const char* text, unsigned colourRGB) {
  PausedTrace quiet;
  id label = AttachSubviewVariable(cell, variable, "UILabel");
  id string = NewString(text);
  id colour = NewHostColour(colourRGB);
  Message(label, "setText:", string);
  Message(label, "setTextColor:", colour);
  Message(string, "release");
  Message(colour, "release");
}

id InboxCellInitWithFrame(id self, SEL, CGRect frame) {
  self = MessageSuper<id>(self, objc_getClass(kInboxCell), "initWithFrame:", frame);
  AttachLabel(self, "_messageLabel", "See you there!", kHostBlue);
  AttachLabel(self, "_timestampLabel", "2h", kHostGrey);
  return self;
}

void InboxCellDealloc(id self, SEL) {
  ReleaseInstanceVariable(self, "_messageLabel");
  ReleaseInstanceVariable(self, "_timestampLabel");
  MessageSuper(self, objc_getClass(kInboxCell), "dealloc");
}

// Each cell lays out its own content and then lets UITableViewCell do the rest.
template <const char* kClassName>
void LayoutSubviews(id self, SEL selector) {
  RecordCall(self, selector);
  MessageSuper(self, objc_getClass(kClassName), "layoutSubviews");
}

void ShowHighlight(id self, SEL selector) {
  RecordCall(self, selector);
  InstanceVariableOf<bool>(self, "_highlightShown") = true;
}

}  // namespace

void RegisterHostCells(HostMethods& methods) {
  DefineClass(kInboxCell, "UITableViewCell",
              {{"_messageLabel", sizeof(id), "@"}, {"_timestampLabel", sizeof(id), "@"}},
              [&](Class cls) {
                methods.AddInstance(cls, "initWithFrame:", &InboxCellInitWithFrame);
                methods.AddInstance(cls, "layoutSubviews", &LayoutSubviews<kInboxCell>);
                methods.AddInstance(cls, "dealloc", &InboxCellDealloc);
              });
  DefineClass(kAlbumCell, "UITableViewCell", {}, [&](Class cls) {
    methods.AddInstance(cls, "layoutSubviews", &LayoutSubviews<kAlbumCell>);
  });
  DefineClass("IGThreadInfoUserTableViewCell", "UITableViewCell", {}, [](Class) {});
  DefineClass("IGTableViewCell", "UITableViewCell", {}, [](Class) {});
  DefineClass("IGCommentCell", "UITableViewCell", {{"_highlightShown", sizeof(bool), "C"}},
              [&](Class cls) { methods.AddInstance(cls, "showHighlight", &ShowHighlight); });
}

bool CommentHighlightShown(id cell) {
  return InstanceVariableOf<bool>(cell, "_highlightShown");
}

}  // namespace device
