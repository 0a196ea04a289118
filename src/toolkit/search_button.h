#pragma once
// TSearchButtonBase: the 21x21 search button that sits beside a field. It never takes the
// focus; the search key, F2, presses it from the field it serves (see keyboard.h). A click runs
// OnClick when one is bound; otherwise it runs the search: OnBeforePesq (which may set its flag to
// cancel), then OfferList -- the list of rows to pick from, which a subclass provides -- and
// OnAfterPesq only when the user picked a row. Associate names the control the button serves; it is
// resolved by name once the definition has been read.

#include <string>

#include "toolkit/glyph_button.h"

namespace tk {

// The key that runs the search of the field that has the focus.
inline constexpr const char* kSearchKey = "F2";

class TSearchButtonBase : public TGlyphButton {
 public:
  explicit TSearchButtonBase(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TSearchButtonBase"; }

  TControl* Associate() const { return associate_; }
  void SetAssociate(TControl* control) { associate_ = control; }
  const std::string& Title() const { return title_; }
  void SetTitle(std::string title) { title_ = std::move(title); }
  const std::string& EmptyError() const { return emptyError_; }
  void SetEmptyError(std::string text) { emptyError_ = std::move(text); }

  void Click() override;

  TBeforeSearchEvent OnBeforePesq;
  TNotifyEvent OnAfterPesq;

  void SetProperty(const std::string& name, const PropValue& value) override;
  void SetEvent(const std::string& name, const EventHandler& handler) override;
  void Loaded() override;

 protected:
  // Offers the rows to pick from; true when the user picked one (left current by the
  // subclass). The base has no rows and returns false.
  virtual bool OfferList() { return false; }

 private:
  TControl* associate_ = nullptr;
  std::string associateName_;
  std::string title_;
  std::string emptyError_;
};

}  // namespace tk
