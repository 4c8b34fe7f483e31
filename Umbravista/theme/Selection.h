#pragma once

#include <objc/runtime.h>

// Selection and highlight of the host's cells.
namespace umbravista {

// -[IGCommentCell showHighlight]: does nothing, whatever the settings say; a comment cell never
// shows its highlight. The saved showHighlight is never called.
void ReplaceIGCommentCellShowHighlight(id cell, SEL selector);

// -[IGThreadInfoUserTableViewCell setSelected:animated:] and -[IGTableViewCell
// setSelected:animated:]. Ask ThemeGate first; theme off, the call is passed on unchanged. Theme
// on, the cell gets a new plain view with the cell's frame and a clear background as its selected
// background view, and the selection is not passed on: the cell's selected state stays as it
// was. The cell holds the only reference to the new view.
void ReplaceIGThreadInfoUserTableViewCellSetSelected(id cell, SEL selector, BOOL selected,
                                                     BOOL animated);
void ReplaceIGTableViewCellSetSelected(id cell, SEL selector, BOOL selected, BOOL animated);

}  // namespace umbravista
