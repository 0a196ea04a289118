#include "shared/showavi.h"

#include "toolkit/application.h"

namespace Showavi {

void ActiveShowAvi(tk::TForm* mainForm, int kind) {
  tk::Application().Busy().Show(mainForm, kind);
}

void DeactiveShowAvi() {
  tk::Application().Busy().Hide();
}

}  // namespace Showavi
