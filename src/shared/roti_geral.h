#pragma once
// TfrmRotiGeral: the standard form of the family's screens. It brings the screen code label,
// the content box, the side panel with the confirm button and the message catalogue, from its
// own definition; a screen's definition is applied over it. Its close handler releases the
// closed form, so every opening of a screen builds a fresh one.

#include <string>
#include <vector>

#include "shared/messages.h"
#include "toolkit/containers.h"
#include "toolkit/form.h"
#include "toolkit/glyph_button.h"
#include "toolkit/label.h"

namespace shared {

class TfrmRotiGeral : public tk::TForm {
 public:
  explicit TfrmRotiGeral(tk::TComponent* owner = nullptr);
  const char* ClassName() const override { return "TfrmRotiGeral"; }

  std::vector<tk::FormDefinition> Definitions() const override;

  // The base handlers; a screen's handlers of the same names call them first.
  void FormCreate(tk::TComponent* sender);
  void FormClose(tk::TComponent* sender, tk::TCloseAction& action);
  void FormDestroy(tk::TComponent* sender);

  tk::TLabel* lblCodTela = nullptr;
  tk::TGroupBox* grbDadosRel = nullptr;
  tk::TPanel* panMenu = nullptr;
  tk::TPanel* panBotoes = nullptr;
  tk::TButtonFlat* sbtConfirma = nullptr;
  TMessages* msgPadrao = nullptr;

 protected:
  void BindComponents() override;
};

// Makes every class a family screen's definition may name known to `registry`: the toolkit's
// controls, the data classes, and the shared library's own components.
void RegisterSharedClasses(tk::ClassRegistry& registry);

}  // namespace shared
