#pragma once
// The Tab key's path through a form, read from the model: containers in their tab order, depth
// first, stopping at the controls a user can focus whose TabStop is set. The form view moves
// the focus along it through the user-input API, so Tab runs the same exit handlers as a click.

#include <vector>

#include "toolkit/form.h"

namespace qtviews {

// Every control a user can focus, in tab order, tab stop or not.
std::vector<tk::TWinControl*> FocusOrder(const tk::TForm& form);
// The control Tab (forward) or Shift+Tab (backward) moves to from `from`: the next one in
// FocusOrder, round the end, with TabStop set that can take the focus now; nullptr when there is
// none. With no `from` the walk starts at the end it would leave from.
tk::TWinControl* NextTabControl(const tk::TForm& form, const tk::TWinControl* from, bool forward);

}  // namespace qtviews
