#pragma once
// The user-input API: the one way user actions enter the model, for the Qt views and the
// headless driver alike. Each call does what the user's action does -- moving the focus first
// where the action would, with the exit handler of the control losing it -- and lets whatever
// a handler raises go on to the caller. A request the model cannot carry out at all (a
// disabled or invisible control, a control that cannot take that input, a bad index) raises
// EInputRejected before anything happens. RunUserEvent wraps one action as an event loop
// would: it catches at the event boundary, shows the exception and frees released forms.

#include <functional>
#include <string>
#include <string_view>

#include "rtl/exceptions.h"
#include "toolkit/control.h"
#include "toolkit/form.h"

namespace tk {

class EInputRejected : public rtl::Exception {
 public:
  using rtl::Exception::Exception;
  const char* className() const noexcept override { return "EInputRejected"; }
};

// Moves the focus to `control` (Tab or a click).
void userFocus(TControl& control);
// Focuses an edit as userFocus does, then replaces its whole text by typing `text`: a masked
// edit applies its mask (case, allowed characters, length; the mask's literals may be typed),
// a plain edit its MaxLength. Typing is abandoned when the focus did not arrive.
void userType(TControl& control, std::string_view text);
// Clicks `control`. Focusable controls (edits, check boxes, radio buttons) take the focus
// first and the click is abandoned when it did not arrive; a radio button then becomes
// checked, a check box toggles, and the click handler runs. Buttons that never take the focus
// (flat buttons, search buttons) just run their click.
void userClick(TControl& control);
// Chooses item `index` (from 0) of a radio group, after moving the focus to it.
void userChoose(TControl& control, int index);
// Switches to another window and back to `form`: OnDeactivate, then OnActivate.
void userActivate(TForm& form);
// Closes `form` as its close box does.
void userClose(TForm& form);
// Minimizes, maximizes or restores `form` as the buttons of its title bar do.
void userSetWindowState(TForm& form, TWindowState state);
// Presses Esc in `control`, which must have the focus: a masked edit the user changed takes
// back the text it had before (TMaskEdit::Reset), its change handler running when the text
// differs. True when the control used the key; other controls ignore it (a view then passes it
// on to the window).
bool userEscape(TControl& control);
// Keystroke level, for views: the edit text of the widget after a keystroke, kept to the
// control's rules (mask, MaxLength). The edit must have the focus.
void userEditText(TControl& control, std::string_view editText);

// How a user event ended.
struct EventOutcome {
  bool rejected = false;  // EInputRejected: nothing happened
  bool raised = false;    // an exception ended the event (EAbort included)
  std::string className;  // of the exception, when rejected or raised
  std::string message;
};

// Runs `action` as one user event: an exception other than EInputRejected is handed to
// Application().HandleException (which shows all but EAbort); forms released during the event
// are freed once the outermost event ends.
EventOutcome RunUserEvent(const std::function<void()>& action);

}  // namespace tk
