#pragma once
// The toolkit's control classes, registered by the names definitions use. Every application
// registry gets them at construction; the data layer and the shared library add theirs.

#include "toolkit/component.h"

namespace tk {

// Registers TLabel, TEdit, TMaskEdit, TDateEditPlus, TGroupBox, TPanel, TRadioButton,
// TCheckBox, TRadioGroup and TButtonFlat.
void RegisterToolkitClasses(ClassRegistry& registry);

}  // namespace tk
