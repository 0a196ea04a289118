#pragma once
// TDateEditPlus: a masked edit for one date. Its mask follows the user's short date format
// (MaskForDateFormat); GetDate reads the date shown and SetDate shows one. The "no date" value
// is 0: GetDate gives 0 for an edit with no digit in it, and SetDate(0) clears the edit. A text
// that is incomplete or no real date makes GetDate raise EConvertError with the runtime's
// message "'<text>' is not a valid date".

#include <string>
#include <string_view>
#include <vector>

#include "rtl/dates.h"
#include "toolkit/mask_edit.h"

namespace tk {

class TDateEditPlus : public TMaskEdit {
 public:
  explicit TDateEditPlus(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TDateEditPlus"; }

  // The mask of a short date format: "99" for the day and the month, "0000" for a year of
  // three or more letters ("00" otherwise), "/" (the date separator) between them; the value
  // is right-aligned in each part, literals are kept, "_" marks blanks. "dd/mm/yyyy" gives
  // "!99/99/0000;1;_" and "yyyy-mm-dd" gives "!0000/99/99;1;_".
  static std::string MaskForDateFormat(std::string_view format);
  // Derives the mask again from the current short date format, keeping the text.
  void UpdateDateMask();

  rtl::TDateTime GetDate() const;
  // Shows `date`; 0 clears the edit. With SaveTime, GetDate gives back its time of day for as
  // long as the same date is shown.
  void SetDate(rtl::TDateTime date);
  // True when no digit has been typed or assigned.
  bool IsEmptyDate() const;
  // The name (from NomeSemana) of the weekday of the date shown; empty without a valid date.
  std::string DayName() const;

  TColor ValidDateColor() const { return validDateColor_; }
  void SetValidDateColor(TColor color);
  // Seven day names, Sunday first.
  const std::vector<std::string>& NomeSemana() const { return nomeSemana_; }
  void SetNomeSemana(std::vector<std::string> names);
  bool SaveTime() const { return saveTime_; }
  void SetSaveTime(bool value) { saveTime_ = value; }
  const std::string& GlyphData() const { return glyph_; }

  void SetProperty(const std::string& name, const PropValue& value) override;

 protected:
  // An edit emptied of its date may be left: "no date" is a value of the edit.
  void ValidateExit() override;

 private:
  TColor validDateColor_ = colors::clWindowText;
  std::vector<std::string> nomeSemana_{"Domingo", "Segunda", "Terça", "Quarta",
                                       "Quinta",  "Sexta",   "Sábado"};
  bool saveTime_ = false;
  rtl::TDateTime savedDate_ = 0;
  rtl::TDateTime savedTime_ = 0;
  std::string glyph_;
};

}  // namespace tk
