#pragma once
// The keys the model handles itself, part of the user-input API (user_input.h) for the views
// and the headless driver alike. An arrow key moves the focus to the next (Right, Down) or
// previous (Left, Up) control of the same parent in tab order, tab stop or not, round the end;
// a radio button reached this way becomes checked and fires its click. Controls that use the
// arrows themselves keep them: an edit (its view moves the caret) and a radio group (its
// choice moves). A function key presses the button it belongs to: the search key the search
// button serving the control that has the focus, any other the form's button whose ShortCut
// it is. Whatever a handler raises goes on to the caller, as with every user action.

#include <string_view>

#include "toolkit/control.h"
#include "toolkit/form.h"

namespace tk {

enum class TArrowKey { Left, Up, Right, Down };

// Presses `key` in `focused`, which must have the focus (else EInputRejected). True when the
// model used the key; false when the control keeps its arrows or there is nowhere to go.
bool userArrowKey(TControl& focused, TArrowKey key);
// Presses the function key `key` ("F2", "F10") on `form`. True when it pressed a button;
// false when no enabled button of the form answers to it there.
bool userFunctionKey(TForm& form, std::string_view key);

}  // namespace tk
