#pragma once
// Showavi: the busy animation the family's screens show while they wait for the application
// server. Shows and hides pair up; the animation is drawn by the application's busy port.

namespace tk {
class TForm;
}

namespace Showavi {

// Kinds of animation; the screens' remote calls use aviServidor.
enum TShowAvi { aviCopiar, aviMover, aviApagar, aviPesquisar, aviImprimir, aviCalcular,
                aviServidor };

void ActiveShowAvi(tk::TForm* mainForm, int kind);
void DeactiveShowAvi();

}  // namespace Showavi
