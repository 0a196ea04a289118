#include "toolkit/graphics.h"

#include <cstdio>

#include "rtl/strings.h"

namespace tk {

namespace {

struct NamedColor {
  const char* name;
  TColor color;
  TColor rgb;  // the classic palette value of a system colour (unused for plain colours)
};

using namespace colors;

constexpr NamedColor kColors[] = {
    {"clBlack", clBlack, clBlack},
    {"clMaroon", clMaroon, clMaroon},
    {"clGreen", clGreen, clGreen},
    {"clOlive", clOlive, clOlive},
    {"clNavy", clNavy, clNavy},
    {"clPurple", clPurple, clPurple},
    {"clTeal", clTeal, clTeal},
    {"clGray", clGray, clGray},
    {"clSilver", clSilver, clSilver},
    {"clRed", clRed, clRed},
    {"clLime", clLime, clLime},
    {"clYellow", clYellow, clYellow},
    {"clBlue", clBlue, clBlue},
    {"clFuchsia", clFuchsia, clFuchsia},
    {"clAqua", clAqua, clAqua},
    {"clWhite", clWhite, clWhite},
    {"clScrollBar", clScrollBar, 0xC8C8C8},
    {"clBackground", clBackground, 0x000000},
    {"clActiveCaption", clActiveCaption, 0xD1B499},
    {"clInactiveCaption", clInactiveCaption, 0xDBCDBF},
    {"clMenu", clMenu, 0xF0F0F0},
    {"clWindow", clWindow, 0xFFFFFF},
    {"clWindowFrame", clWindowFrame, 0x646464},
    {"clMenuText", clMenuText, 0x000000},
    {"clWindowText", clWindowText, 0x000000},
    {"clCaptionText", clCaptionText, 0x000000},
    {"clActiveBorder", clActiveBorder, 0xB4B4B4},
    {"clInactiveBorder", clInactiveBorder, 0xFCF7F4},
    {"clAppWorkSpace", clAppWorkSpace, 0xABABAB},
    {"clHighlight", clHighlight, 0xFF9933},
    {"clHighlightText", clHighlightText, 0xFFFFFF},
    {"clBtnFace", clBtnFace, 0xF0F0F0},
    {"clBtnShadow", clBtnShadow, 0xA0A0A0},
    {"clGrayText", clGrayText, 0x6D6D6D},
    {"clBtnText", clBtnText, 0x000000},
    {"clInactiveCaptionText", clInactiveCaptionText, 0x000000},
    {"clBtnHighlight", clBtnHighlight, 0xFFFFFF},
    {"cl3DDkShadow", cl3DDkShadow, 0x696969},
    {"cl3DLight", cl3DLight, 0xE3E3E3},
    {"clInfoText", clInfoText, 0x000000},
    {"clInfoBk", clInfoBk, 0xE1FFFF},
    {"clNone", clNone, clNone},
    {"clDefault", clDefault, clDefault},
};

}  // namespace

std::optional<TColor> IdentToColor(std::string_view name) {
  for (const NamedColor& c : kColors)
    if (rtl::SameText(name, c.name)) return c.color;
  return std::nullopt;
}

std::string ColorToIdent(TColor color) {
  for (const NamedColor& c : kColors)
    if (c.color == color) return c.name;
  char buf[16];
  std::snprintf(buf, sizeof buf, "$%08X", static_cast<unsigned>(color));
  return buf;
}

TColor ColorToRGB(TColor color) {
  if ((static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u) {
    for (const NamedColor& c : kColors)
      if (c.color == color) return c.rgb;
    return clBlack;
  }
  return color & 0x00FFFFFF;
}

std::optional<TAlignment> IdentToAlignment(std::string_view name) {
  if (rtl::SameText(name, "taLeftJustify")) return TAlignment::taLeftJustify;
  if (rtl::SameText(name, "taRightJustify")) return TAlignment::taRightJustify;
  if (rtl::SameText(name, "taCenter")) return TAlignment::taCenter;
  return std::nullopt;
}

const char* AlignmentToIdent(TAlignment a) {
  switch (a) {
    case TAlignment::taLeftJustify:
      return "taLeftJustify";
    case TAlignment::taRightJustify:
      return "taRightJustify";
    case TAlignment::taCenter:
      return "taCenter";
  }
  return "taLeftJustify";
}

std::optional<int> IdentToCharset(std::string_view name) {
  static constexpr std::pair<const char*, int> kCharsets[] = {
      {"ANSI_CHARSET", 0},          {"DEFAULT_CHARSET", 1},      {"SYMBOL_CHARSET", 2},
      {"SHIFTJIS_CHARSET", 128},    {"HANGEUL_CHARSET", 129},    {"GB2312_CHARSET", 134},
      {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255},        {"JOHAB_CHARSET", 130},
      {"HEBREW_CHARSET", 177},      {"ARABIC_CHARSET", 178},     {"GREEK_CHARSET", 161},
      {"TURKISH_CHARSET", 162},     {"VIETNAMESE_CHARSET", 163}, {"THAI_CHARSET", 222},
      {"EASTEUROPE_CHARSET", 238},  {"RUSSIAN_CHARSET", 204},    {"MAC_CHARSET", 77},
      {"BALTIC_CHARSET", 186},
  };
  for (const auto& [n, v] : kCharsets)
    if (rtl::SameText(name, n)) return v;
  return std::nullopt;
}

}  // namespace tk
