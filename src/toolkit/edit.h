#pragma once
// TCustomEdit and TEdit: one-line text controls. The edit text is what the control shows;
// Text is what a reader gets (the same for a plain edit, mask rules for a masked one).
// OnChange fires exactly when the edit text actually changes, whoever changed it. MaxLength
// limits what the user types (0: no limit); the program may assign any text.

#include <string>
#include <string_view>

#include "toolkit/win_control.h"

namespace tk {

class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TCustomEdit"; }

  std::string Text() const override { return editText_; }
  void SetText(std::string_view value) override;
  bool UsesArrowKeys() const override { return true; }
  const std::string& EditText() const { return editText_; }
  virtual void SetEditText(std::string_view value);
  void Clear() { SetText(""); }

  virtual int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  // True when the user changed the text since the program last assigned it.
  bool Modified() const { return modified_; }
  // Where the program last put the caret, in characters from the start (a failed mask check
  // puts it on the first position in error). Views move their caret there when it is set;
  // the caret the user moves stays with the view.
  int SelStart() const { return selStart_; }
  void SetSelStart(int position);

  // The edit text after the user replaces the whole text by typing `keys`.
  virtual std::string TypedEditText(std::string_view keys) const;
  // An edit text a view hands over, made to fit the control's rules.
  virtual std::string ConformEditText(std::string_view editText) const;
  // Stores an edit text the user produced (already made to fit) and marks the edit modified.
  void UserEditText(std::string_view editText);

  TNotifyEvent OnChange;

  void SetProperty(const std::string& name, const PropValue& value) override;
  void SetEvent(const std::string& name, const EventHandler& handler) override;

 protected:
  // Compares, stores, notifies Text, then fires OnChange.
  void StoreEditText(std::string value);
  void FocusArrived() override { MarkUnmodified(); }
  // Puts back the edit text the user started changing from and clears Modified; false, doing
  // nothing, when the user changed nothing.
  bool AbandonUserChanges();

 private:
  std::string editText_;
  int maxLength_ = 0;
  bool readOnly_ = false;
  bool modified_ = false;
  int selStart_ = 0;
  // The edit text when the user had changed nothing: on the focus's arrival, or when the
  // program last assigned it.
  std::string unmodifiedText_;

  // The program's assignment: stores the text as the one the user starts from.
  void AssignEditText(std::string value);
  void MarkUnmodified();
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;
  const char* ClassName() const override { return "TEdit"; }
};

}  // namespace tk
