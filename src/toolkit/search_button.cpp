#include "toolkit/search_button.h"

namespace tk {

TSearchButtonBase::TSearchButtonBase(TComponent* owner) : TGlyphButton(owner) {
  SetBounds(0, 0, 21, 21);
  SetShortCut(kSearchKey);
}

void TSearchButtonBase::Click() {
  if (EventsQuiet()) return;
  if (OnClick) {
    OnClick(this);
    return;
  }
  bool cancel = false;
  if (OnBeforePesq) OnBeforePesq(this, cancel);
  if (cancel) return;
  if (OfferList() && OnAfterPesq) OnAfterPesq(this);
}

void TSearchButtonBase::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Associate") {
    associateName_ = value.asIdentifier(name);
  } else if (name == "Title") {
    SetTitle(value.asString(name));
  } else if (name == "EmptyError") {
    SetEmptyError(value.asString(name));
  } else {
    TGlyphButton::SetProperty(name, value);
  }
}

void TSearchButtonBase::SetEvent(const std::string& name, const EventHandler& handler) {
  if (name == "OnBeforePesq") {
    const TBeforeSearchEvent* fn = handlerAs<TBeforeSearchEvent>(handler);
    if (fn == nullptr) wrongHandler(name);
    OnBeforePesq = *fn;
  } else if (name == "OnAfterPesq") {
    OnAfterPesq = NotifyHandler(name, handler);
  } else {
    TGlyphButton::SetEvent(name, handler);
  }
}

void TSearchButtonBase::Loaded() {
  TGlyphButton::Loaded();
  if (associateName_.empty() || Owner() == nullptr) return;
  auto* control = dynamic_cast<TControl*>(Owner()->FindComponent(associateName_));
  if (control == nullptr)
    throw EDefinitionError(Name() + ": Associate " + associateName_ + " is not a control");
  associate_ = control;
}

}  // namespace tk
