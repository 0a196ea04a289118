#include "host/screen_state.h"

#include "data/data_set.h"
#include "host/screen_module.h"
#include "toolkit/application.h"
#include "toolkit/check_buttons.h"
#include "toolkit/radio_group.h"

namespace host {

using nlohmann::ordered_json;

namespace {

ordered_json controlState(const tk::TControl& control) {
  ordered_json c;
  c["text"] = control.Text();
  c["enabled"] = control.Enabled();
  if (auto* r = dynamic_cast<const tk::TRadioButton*>(&control)) c["checked"] = r->Checked();
  if (auto* b = dynamic_cast<const tk::TCheckBox*>(&control)) c["checked"] = b->Checked();
  return c;
}

ordered_json formState(const ScreenModule& module, const tk::TForm& form, int busy) {
  ordered_json f;
  f["caption"] = form.Caption();
  f["visible"] = form.Visible();
  f["window_state"] = tk::WindowStateName(form.WindowState());
  const tk::TWinControl* focused = form.ActiveControl();
  f["focused"] = focused ? ordered_json(focused->Name()) : ordered_json(nullptr);
  f["cursor"] = tk::Screen().Cursor();
  f["busy"] = busy;
  ordered_json controls = ordered_json::object();
  ordered_json itemIndex = ordered_json::object();
  ordered_json datasets = ordered_json::object();
  for (size_t i = 0; i < form.ComponentCount(); ++i) {
    const tk::TComponent* c = form.Components(i);
    if (auto* control = dynamic_cast<const tk::TControl*>(c)) {
      controls[control->Name()] = controlState(*control);
      if (auto* group = dynamic_cast<const tk::TRadioGroup*>(control))
        itemIndex[group->Name()] = group->ItemIndex();
    } else if (auto* set = dynamic_cast<const data::TDataSet*>(c)) {
      datasets[set->Name()] = {{"active", set->Active()},
                               {"rows", set->Active() ? set->RecordCount() : 0}};
    }
  }
  f["controls"] = std::move(controls);
  f["item_index"] = std::move(itemIndex);
  f["list"] = module.ListaProd();
  f["datasets"] = std::move(datasets);
  return f;
}

}  // namespace

ordered_json ScreenState(const ScreenModule& module, int busy) {
  ordered_json state;
  const tk::TForm* form = module.Form();
  state["form"] = form ? formState(module, *form, busy) : ordered_json(nullptr);
  state["globals"] = {{"boStCriado", module.StCriado()},
                      {"boPrimVez", module.PrimVez()},
                      {"stErro", module.StErro()}};
  return state;
}

}  // namespace host
