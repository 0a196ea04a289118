#pragma once
// How the toolkit's colours and fonts look on screen. A system colour resolves through the
// toolkit's classic palette, so the screen looks the same on every desktop theme. A font named
// by a definition is drawn with a metric-compatible substitute from the installed font packages
// ("MS Sans Serif" becomes Liberation Sans, then DejaVu Sans); a negative height is the
// character height in pixels, as the definitions give it at 96 dpi.

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QString>

#include "toolkit/graphics.h"

namespace qtviews {

QColor ToQColor(tk::TColor color);
// The installed family drawn for a definition's font name.
QString SubstituteFamily(const std::string& name);
QFont ToQFont(const tk::TFont& font);
// Registers the substitutes with Qt's font matching, so that a font asked for by its definition
// name anywhere (dialogs, tool tips) finds them too. Call once after the QApplication exists.
void InstallFontSubstitutes();
// Sets `role` (and the same role when disabled or inactive) to `color` in `palette`.
void SetPaletteColor(QPalette& palette, QPalette::ColorRole role, const QColor& color);

}  // namespace qtviews
