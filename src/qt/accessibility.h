#pragma once
// What the desktop's accessibility interface reports for the views. The radio buttons leave
// their exclusivity to the model, and Qt then reports them as check boxes; they are reported
// as the radio buttons they are, checkable, checked when they are, with their caption as their
// name and a press action. The names of the other controls are set by the views
// (tk::AccessibleName).

namespace qtviews {

// Installs the accessibility factory for radio buttons. Call once after the QApplication
// exists and before any view is built; further calls do nothing.
void InstallAccessibility();

}  // namespace qtviews
