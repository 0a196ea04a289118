#pragma once
// Driving modal dialogs from a test without blocking it: the test arms an action, then does
// what opens the dialog; the action runs from inside the dialog's own event loop as soon as the
// dialog shows, and must close it. A dialog that never shows is reported as a test failure
// after a bounded number of event-loop turns.

#include <QWidget>
#include <functional>

namespace qttest {

// Runs `action` on the next modal dialog that shows.
void WhenModalShows(std::function<void(QWidget* dialog)> action);
// True once every armed action has run.
bool AllModalActionsRan();
// Drops every watcher, run or not (at the end of a test).
void StopModalWatchers();

// Presses the button of `dialog` with that object name ("yes", "no", "ok", "cancel").
void PressButton(QWidget* dialog, const char* name);
// The text of a message box, its title and its icon kind, on one line: "[title] text (icon)".
QString DescribeMessageBox(QWidget* dialog);

}  // namespace qttest
