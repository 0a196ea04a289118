// The definition properties and events every control understands.

#include "rtl/strings.h"
#include "toolkit/control.h"

namespace tk {

namespace {

int asInt(const std::string& name, const PropValue& v) {
  return static_cast<int>(v.asInteger(name));
}

TColor colorValue(const std::string& name, const PropValue& v) {
  if (v.kind == PropValue::Kind::Integer) return static_cast<TColor>(v.integer);
  const auto c = IdentToColor(v.asIdentifier(name));
  if (!c) throw EDefinitionError("property " + name + ": unknown colour " + v.text);
  return *c;
}

uint8_t fontStyleValue(const std::string& name, const PropValue& v) {
  if (v.kind != PropValue::Kind::Set)
    throw EDefinitionError("property " + name + ": a set of font styles is expected");
  uint8_t style = 0;
  for (const PropValue& item : v.items) {
    const std::string& s = item.asIdentifier(name);
    if (rtl::SameText(s, "fsBold")) {
      style |= fsBold;
    } else if (rtl::SameText(s, "fsItalic")) {
      style |= fsItalic;
    } else if (rtl::SameText(s, "fsUnderline")) {
      style |= fsUnderline;
    } else if (rtl::SameText(s, "fsStrikeOut")) {
      style |= fsStrikeOut;
    } else {
      throw EDefinitionError("property " + name + ": unknown font style " + s);
    }
  }
  return style;
}

}  // namespace

void TControl::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Left") {
    SetLeft(asInt(name, value));
  } else if (name == "Top") {
    SetTop(asInt(name, value));
  } else if (name == "Width") {
    SetWidth(asInt(name, value));
  } else if (name == "Height") {
    SetHeight(asInt(name, value));
  } else if (name == "Enabled") {
    SetEnabled(value.asBoolean(name));
  } else if (name == "Visible") {
    SetVisible(value.asBoolean(name));
  } else if (name == "Caption") {
    SetCaption(value.asString(name));
  } else if (name == "Hint") {
    SetHint(value.asString(name));
  } else if (name == "ShowHint") {
    SetShowHint(value.asBoolean(name));
  } else if (name == "ParentShowHint") {
    SetParentShowHint(value.asBoolean(name));
  } else if (name == "Color") {
    SetColor(colorValue(name, value));
  } else if (name == "ParentFont") {
    SetParentFont(value.asBoolean(name));
  } else if (name.rfind("Font.", 0) == 0) {
    TFont f = EffectiveFont();
    const std::string part = name.substr(5);
    if (part == "Name") {
      f.Name = value.asString(name);
    } else if (part == "Height") {
      f.Height = asInt(name, value);
    } else if (part == "Size") {
      f.Height = -(asInt(name, value) * 96 + 36) / 72;  // points to pixels at 96 dpi
    } else if (part == "Style") {
      f.Style = fontStyleValue(name, value);
    } else if (part == "Color") {
      f.Color = colorValue(name, value);
    } else if (part == "Charset") {
      if (value.kind == PropValue::Kind::Integer) {
        f.Charset = asInt(name, value);
      } else {
        const auto cs = IdentToCharset(value.asIdentifier(name));
        if (!cs) throw EDefinitionError("property " + name + ": unknown charset " + value.text);
        f.Charset = *cs;
      }
    } else {
      unknownProperty(name);
    }
    SetFont(f);
  } else if (name == "TabOrder") {
    SetTabOrder(asInt(name, value));
  } else if (name == "TabStop") {
    SetTabStop(value.asBoolean(name));
  } else if (name == "Alignment") {
    const auto a = IdentToAlignment(value.asIdentifier(name));
    if (!a) throw EDefinitionError("property " + name + ": unknown alignment " + value.text);
    SetAlignment(*a);
  } else if (name == "AutoSize") {
    SetAutoSize(value.asBoolean(name));
  } else {
    TComponent::SetProperty(name, value);
  }
}

const TNotifyEvent& TControl::NotifyHandler(const std::string& event,
                                            const EventHandler& handler) const {
  const TNotifyEvent* fn = handlerAs<TNotifyEvent>(handler);
  if (fn == nullptr) wrongHandler(event);
  return *fn;
}

void TControl::SetEvent(const std::string& name, const EventHandler& handler) {
  if (name == "OnClick") {
    OnClick = NotifyHandler(name, handler);
  } else {
    TComponent::SetEvent(name, handler);
  }
}

}  // namespace tk
