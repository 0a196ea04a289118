#pragma once
// The name a screen reader says for a control, read from the form as a sighted user reads it.
// A control with a caption of its own (radio button, check box, group, button) is named by it;
// an edit by the labels on its line to its left, in reading order ("Filial"; "Vigência a" for
// the end date after the "a"), or, with none, by the caption of the box around it; a search
// button by its hint and the name of the control it serves ("Pesquisar Filial").

#include <string>

#include "toolkit/control.h"

namespace tk {

std::string AccessibleName(const TControl& control);

}  // namespace tk
