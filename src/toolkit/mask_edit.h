#pragma once
// TMaskEdit: an edit whose text goes through an edit mask (edit_mask.h). The edit text always
// has one character per mask position; Text reads it by the mask's save rule; assigning Text
// lays the value into the mask. While a mask is set MaxLength is the mask's length and
// assigning it changes nothing. Assigning the same mask again does nothing; another mask
// re-lays the current Text through it. Leaving the edit after the user changed it raises
// EDBEditError when a required position is unfilled, and the focus stays; Esc (Reset) is the
// way out.

#include <string>
#include <string_view>

#include "toolkit/edit.h"
#include "toolkit/edit_mask.h"

namespace tk {

class TMaskEdit : public TCustomEdit {
 public:
  explicit TMaskEdit(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TMaskEdit"; }

  const std::string& EditMask() const { return mask_.maskText(); }
  void SetEditMask(std::string_view maskText);
  const tk::EditMask& Mask() const { return mask_; }
  bool IsMasked() const { return !mask_.empty(); }

  std::string Text() const override;
  void SetText(std::string_view value) override;
  void SetEditText(std::string_view value) override;
  int MaxLength() const override;

  // Esc: while masked, gives back the text the user started changing from (on the focus's
  // arrival, or the program's last assignment) and clears Modified, so that the edit may be
  // left again. False, doing nothing, when the user changed nothing.
  bool Reset();

  std::string TypedEditText(std::string_view keys) const override;
  std::string ConformEditText(std::string_view editText) const override;

  void SetProperty(const std::string& name, const PropValue& value) override;

 protected:
  void ValidateExit() override;

 private:
  tk::EditMask mask_;
};

}  // namespace tk
