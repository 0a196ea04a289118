#include "toolkit/register_classes.h"

#include "toolkit/check_buttons.h"
#include "toolkit/containers.h"
#include "toolkit/date_edit.h"
#include "toolkit/edit.h"
#include "toolkit/glyph_button.h"
#include "toolkit/label.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"

namespace tk {

void RegisterToolkitClasses(ClassRegistry& registry) {
  registry.add<TLabel>("TLabel");
  registry.add<TEdit>("TEdit");
  registry.add<TMaskEdit>("TMaskEdit");
  registry.add<TDateEditPlus>("TDateEditPlus");
  registry.add<TGroupBox>("TGroupBox");
  registry.add<TPanel>("TPanel");
  registry.add<TRadioButton>("TRadioButton");
  registry.add<TCheckBox>("TCheckBox");
  registry.add<TRadioGroup>("TRadioGroup");
  registry.add<TButtonFlat>("TButtonFlat");
}

}  // namespace tk
