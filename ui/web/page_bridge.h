#pragma once
// The page's script as the module calls it: each function here is one
// function of the script's `page` object (ui/web/page.js). Elements are
// named by their ids, windows by their names in the control tables.
// Strings are UTF-8.
#include <optional>
#include <string>
#include <vector>

#include "ui/window_placement.h"

namespace varidac::web::page {

std::string fieldText(const std::string& element);
// The field's text without its selected part.
std::string fieldTextOutsideSelection(const std::string& element);
// Sets the text alone: no handler runs.
void setFieldText(const std::string& element, const std::string& text);
void focus(const std::string& element);
// A short-lived tip just right of the element.
void showTip(const std::string& element, const std::string& tip);
void setListItems(const std::string& element, const std::vector<std::string>& items);
// Checks the option, unchecks the others of its name and gives it the focus.
void checkOption(const std::string& element);
// The mark beside a field: its text, and the tip that says why, which
// also describes the field to a screen reader; an empty tip takes both away.
void showMark(const std::string& mark, const std::string& field, const std::string& text, const std::string& tip);
// Replaces the picture box's picture by an SVG document.
void showSvg(const std::string& element, const std::string& svg);

bool windowShown(const std::string& window);
// Shows the window in front of the other, or brings it forward.
void showWindow(const std::string& window);
void hideWindow(const std::string& window);
void setWindowTitle(const std::string& window, const std::string& title);
// The window's frame on the page, title bar and border included, and
// measured while it is hidden too.
PixelRect windowFrame(const std::string& window);
// Where windows may stand: the page's width.
PixelRect room();
void moveWindow(const std::string& window, int left, int top);

void beep();
// Opens the file of the module's file system as a page of its own; false
// when the browser shows it nowhere.
bool showHelp(const std::string& path);
void endProgram();

// The modal ones: each returns only once the user has answered, the
// module's stack kept meanwhile (Asyncify).
void showMessage(const std::string& title, const std::string& icon, const std::string& text);
// 0 Yes, 1 No, 2 Cancel.
int ask(const std::string& title, const std::string& question);
// The browser's file chooser: the chosen file copied into `folder`, and its path there.
std::optional<std::string> chooseFileToOpen(const std::string& filter, const std::string& folder);
// The page's save box: a full path in `folder`.
std::optional<std::string> chooseFileToSave(const std::string& title, const std::string& fileName, const std::string& folder,
                                            const std::string& defaultExt);

// Tells the page that the event it reported has been handled to the end,
// after whatever waited on the way.
void eventDone();

}  // namespace varidac::web::page
