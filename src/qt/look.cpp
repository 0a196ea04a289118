#include "qt/look.h"

#include <QStringList>
#include <cmath>

#include "rtl/strings.h"

namespace qtviews {

QColor ToQColor(tk::TColor color) {
  const auto rgb = static_cast<uint32_t>(tk::ColorToRGB(color));
  return QColor(static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>((rgb >> 16) & 0xFF));
}

QString SubstituteFamily(const std::string& name) {
  // Sans faces of the era share Arial's metrics closely enough for 8-point dialog text.
  static const char* const sans[] = {
      "MS Sans Serif", "Microsoft Sans Serif", "Arial",         "Tahoma",
      "Verdana",       "MS Shell Dlg",         "MS Shell Dlg 2"};
  for (const char* s : sans)
    if (rtl::SameText(name, s)) return QStringLiteral("Liberation Sans");
  if (rtl::SameText(name, "Courier New") || rtl::SameText(name, "Courier"))
    return QStringLiteral("Liberation Mono");
  if (rtl::SameText(name, "Times New Roman") || rtl::SameText(name, "MS Serif"))
    return QStringLiteral("Liberation Serif");
  return QString::fromStdString(name);
}

QFont ToQFont(const tk::TFont& font) {
  QFont f;
  f.setFamilies({SubstituteFamily(font.Name), QStringLiteral("DejaVu Sans")});
  if (font.Height < 0) {
    f.setPixelSize(-font.Height);
  } else if (font.Height > 0) {
    // A positive height includes the internal leading, about a fifth of the cell.
    f.setPixelSize(std::max(1, static_cast<int>(std::lround(font.Height * 0.8))));
  }
  f.setBold((font.Style & tk::fsBold) != 0);
  f.setItalic((font.Style & tk::fsItalic) != 0);
  f.setUnderline((font.Style & tk::fsUnderline) != 0);
  f.setStrikeOut((font.Style & tk::fsStrikeOut) != 0);
  return f;
}

void InstallFontSubstitutes() {
  const QStringList fallbacks{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
  for (const char* name : {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial"})
    QFont::insertSubstitutions(QString::fromLatin1(name), fallbacks);
}

void SetPaletteColor(QPalette& palette, QPalette::ColorRole role, const QColor& color) {
  for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
    palette.setColor(g, role, color);
}

}  // namespace qtviews
