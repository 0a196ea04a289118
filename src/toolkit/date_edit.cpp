#include "toolkit/date_edit.h"

#include <cctype>
#include <cmath>

#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace tk {

TDateEditPlus::TDateEditPlus(TComponent* owner) : TMaskEdit(owner) {
  UpdateDateMask();
}

std::string TDateEditPlus::MaskForDateFormat(std::string_view format) {
  std::string mask = "!";
  size_t i = 0;
  bool separatorDue = false;
  while (i < format.size()) {
    const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(format[i])));
    if (c != 'd' && c != 'm' && c != 'y') {
      separatorDue = mask.size() > 1;  // a separator only between parts
      ++i;
      continue;
    }
    size_t run = 0;
    while (i < format.size() && std::tolower(static_cast<unsigned char>(format[i])) == c) {
      ++run;
      ++i;
    }
    if (separatorDue) mask += '/';
    separatorDue = false;
    mask += c == 'y' ? (run >= 3 ? "0000" : "00") : "99";
  }
  return mask + ";1;_";
}

void TDateEditPlus::UpdateDateMask() {
  SetEditMask(MaskForDateFormat(rtl::ShortDateFormat()));
}

bool TDateEditPlus::IsEmptyDate() const {
  for (char c : EditText())
    if (std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

void TDateEditPlus::ValidateExit() {
  if (!IsEmptyDate()) TMaskEdit::ValidateExit();
}

rtl::TDateTime TDateEditPlus::GetDate() const {
  if (IsEmptyDate()) return 0;
  const std::string text = Text();
  const auto invalid = [&] {
    return rtl::EConvertError(rtl::RuntimeMessage(rtl::RuntimeText::InvalidDate, {text}));
  };
  if (IsMasked() && !Mask().isComplete(EditText())) throw invalid();
  // The parts are right-aligned with blanks ("_1/_2/2024" reads " 1/ 2/2024").
  std::string compact;
  for (char c : text)
    if (c != ' ') compact += c;
  rtl::TDateTime date = 0;
  if (!rtl::TryStrToDate(compact, date)) throw invalid();
  if (saveTime_ && date == savedDate_) date += savedTime_;
  return date;
}

void TDateEditPlus::SetDate(rtl::TDateTime date) {
  if (date == 0) {
    savedDate_ = savedTime_ = 0;
    Clear();
    return;
  }
  savedDate_ = std::floor(date);
  savedTime_ = date - savedDate_;
  SetText(rtl::DateToStr(date));
}

std::string TDateEditPlus::DayName() const {
  rtl::TDateTime date = 0;
  try {
    date = GetDate();
  } catch (const rtl::EConvertError&) {
    return {};
  }
  if (date == 0) return {};
  return nomeSemana_[rtl::DayOfWeek(date) - 1];
}

void TDateEditPlus::SetValidDateColor(TColor color) {
  if (color == validDateColor_) return;
  validDateColor_ = color;
  Notify(Prop::Appearance);
}

void TDateEditPlus::SetNomeSemana(std::vector<std::string> names) {
  if (names.size() != 7)
    throw rtl::EInvalidOperation(
        rtl::RuntimeMessage(rtl::RuntimeText::DayNamesCount, {std::to_string(names.size())}));
  if (names == nomeSemana_) return;
  nomeSemana_ = std::move(names);
  Notify(Prop::Appearance);
}

void TDateEditPlus::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "ValidDateColor") {
    if (value.kind == PropValue::Kind::Integer) {
      SetValidDateColor(static_cast<TColor>(value.integer));
    } else {
      const auto c = IdentToColor(value.asIdentifier(name));
      if (!c) throw EDefinitionError("property " + name + ": unknown colour " + value.text);
      SetValidDateColor(*c);
    }
  } else if (name == "NomeSemana") {
    SetNomeSemana(value.asStrings(name));
  } else if (name == "SaveTime") {
    SetSaveTime(value.asBoolean(name));
  } else if (name == "Glyph.Data") {
    if (value.kind != PropValue::Kind::Binary)
      throw EDefinitionError("property " + name + ": binary data is expected");
    glyph_ = value.text;
    Notify(Prop::Glyph);
  } else {
    TMaskEdit::SetProperty(name, value);
  }
}

}  // namespace tk
