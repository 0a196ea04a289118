#include "vnd42406/Cli_vnd42406.h"

#include "shared/roti_geral.h"
#include "toolkit/application.h"
#include "vnd42406/unit_lifecycle.h"

// The unit's globals (declared with C linkage in the header, so the host finds them by name).
extern "C" {
vnd42406::TfrmCadAutPromocao* frmCadAutPromocao = nullptr;
bool boStCriado = false;
bool boPrimVez = false;
std::string stErro;
}

namespace vnd42406 {

void CriaCadAutPromocao() {
  tk::TScreen& screen = tk::Screen();
  screen.SetCursor(tk::crHourGlass);
  try {
    if (!boStCriado) {
      shared::RegisterSharedClasses(tk::Application().Classes());
      tk::Application().CreateForm(frmCadAutPromocao);
      boStCriado = true;
    }
    frmCadAutPromocao->Show();
    frmCadAutPromocao->SetWindowState(tk::TWindowState::wsNormal);
  } catch (...) {
    // A failed opening must not leave the user with the hourglass.
    screen.SetCursor(tk::crDefault);
    throw;
  }
  screen.SetCursor(tk::crDefault);
}

namespace {
// Each unit start and stop runs once per process however many loaders ask for it: the
// counter goes down at every start and up at every stop.
int unitCounter = 0;
}  // namespace

void UnitInitialization() {
  if (unitCounter-- == 0) boStCriado = false;
}

void UnitFinalization() {
  if (++unitCounter == 0) stErro.clear();
}

}  // namespace vnd42406
