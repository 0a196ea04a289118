#pragma once
// Colours, fonts and the small enumerations controls share. A colour is a 32-bit value: an
// explicit colour 0x00BBGGRR, or a system colour (high byte 0xFF, low byte the system index)
// that a view resolves with ColorToRGB. A font is a plain value; a control holds its own and
// computes its effective font from its parent while ParentFont is set.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tk {

using TColor = int32_t;

namespace colors {
constexpr TColor SystemColor(int index) {
  return static_cast<TColor>(0xFF000000u | index);
}
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1),
                 clActiveCaption = SystemColor(2), clInactiveCaption = SystemColor(3),
                 clMenu = SystemColor(4), clWindow = SystemColor(5), clWindowFrame = SystemColor(6),
                 clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10),
                 clInactiveBorder = SystemColor(11), clAppWorkSpace = SystemColor(12),
                 clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16),
                 clGrayText = SystemColor(17), clBtnText = SystemColor(18),
                 clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22),
                 clInfoText = SystemColor(23), clInfoBk = SystemColor(24);
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;
}  // namespace colors

// The colour of a name ("clInfoBk", case-insensitive); nullopt for an unknown name.
std::optional<TColor> IdentToColor(std::string_view name);
// The name of a named colour, or the value in hex ("$00A0B0C0") for any other.
std::string ColorToIdent(TColor color);
// An explicit 0x00BBGGRR colour: system colours resolved with a fixed classic palette.
TColor ColorToRGB(TColor color);

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
std::optional<TAlignment> IdentToAlignment(std::string_view name);
const char* AlignmentToIdent(TAlignment a);

// Font styles as a small bit set.
enum TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
  std::string Name = "MS Sans Serif";
  int Height = -11;  // negative: character height in pixels (-11 is 8 points at 96 dpi)
  uint8_t Style = 0;
  TColor Color = colors::clWindowText;
  int Charset = 1;  // DEFAULT_CHARSET

  bool Bold() const { return (Style & fsBold) != 0; }
  bool operator==(const TFont&) const = default;
};

// Charset names of the definitions ("DEFAULT_CHARSET", "ANSI_CHARSET", ...).
std::optional<int> IdentToCharset(std::string_view name);

}  // namespace tk
