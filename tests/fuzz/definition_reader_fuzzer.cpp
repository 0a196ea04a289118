// Fuzz target: the form definition reader, parsing a definition and building a form from it
// with every class a screen's definition may name (controls, data sets, fields, connections).
//
// Input: the text of a definition. It is read onto a fresh form that knows a few handlers of
// each event type; the only failure allowed is tk::EDefinitionError, and whatever the text
// declared must be released with the form.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "shared/roti_geral.h"
#include "toolkit/application.h"
#include "toolkit/definition_parser.h"
#include "toolkit/form.h"

namespace {

class FuzzedForm : public tk::TForm {
 public:
  using tk::TForm::TForm;
  std::string text;
  std::vector<tk::FormDefinition> Definitions() const override { return {{"fuzz.def", text}}; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // One application per process, never released.
  static tk::TApplication* app = [] {
    auto* made = new tk::TApplication();
    shared::RegisterSharedClasses(made->Classes());
    return made;
  }();
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    (void)tk::ParseDefinition(text, "fuzz.def");
  } catch (const tk::EDefinitionError&) {
  }

  auto* form = app->Create<FuzzedForm>();
  form->text = text;
  form->Handlers().add("Notify", tk::TNotifyEvent([](tk::TComponent*) {}));
  form->Handlers().add("Close", tk::TCloseEvent([](tk::TComponent*, tk::TCloseAction&) {}));
  form->Handlers().add("Search", tk::TBeforeSearchEvent([](tk::TComponent*, bool&) {}));
  try {
    form->CreateFromDefinitions(app->Classes());
  } catch (const tk::EDefinitionError&) {
  }
  app->FreeOwned(form);
  return 0;
}
