#include "toolkit/control.h"

#include <algorithm>

#include "toolkit/form.h"
#include "toolkit/win_control.h"

namespace tk {

const char* PropName(Prop p) {
  switch (p) {
    case Prop::Bounds:
      return "Bounds";
    case Prop::Enabled:
      return "Enabled";
    case Prop::Visible:
      return "Visible";
    case Prop::Caption:
      return "Caption";
    case Prop::Text:
      return "Text";
    case Prop::Hint:
      return "Hint";
    case Prop::Color:
      return "Color";
    case Prop::Font:
      return "Font";
    case Prop::TabOrder:
      return "TabOrder";
    case Prop::Alignment:
      return "Alignment";
    case Prop::ReadOnly:
      return "ReadOnly";
    case Prop::MaxLength:
      return "MaxLength";
    case Prop::EditMask:
      return "EditMask";
    case Prop::Checked:
      return "Checked";
    case Prop::ItemIndex:
      return "ItemIndex";
    case Prop::Items:
      return "Items";
    case Prop::Glyph:
      return "Glyph";
    case Prop::Focused:
      return "Focused";
    case Prop::Caret:
      return "Caret";
    case Prop::Parent:
      return "Parent";
    case Prop::Appearance:
      return "Appearance";
    case Prop::WindowState:
      return "WindowState";
    case Prop::Active:
      return "Active";
    case Prop::Repaint:
      return "Repaint";
    case Prop::Destroying:
      return "Destroying";
  }
  return "?";
}

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  Notify(Prop::Destroying);
  if (parent_ != nullptr) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
  }
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  if (parent_ != nullptr) {
    auto& siblings = parent_->controls_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  }
  parent_ = parent;
  if (parent_ != nullptr) parent_->controls_.push_back(this);
  Notify(Prop::Parent);
  if (parentFont_) EffectiveFontChanged();
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_ != nullptr) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::SetBounds(int left, int top, int width, int height) {
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Notify(Prop::Bounds);
}

void TControl::SetEnabled(bool value) {
  if (value == enabled_) return;
  enabled_ = value;
  Notify(Prop::Enabled);
}

void TControl::SetVisible(bool value) {
  if (value == visible_) return;
  visible_ = value;
  Notify(Prop::Visible);
}

bool TControl::EnabledAndVisibleChain() const {
  for (const TControl* c = this; c != nullptr; c = c->parent_)
    if (!c->enabled_ || !c->visible_) return false;
  return true;
}

void TControl::SetCaption(std::string_view value) {
  if (value == caption_) return;
  caption_ = value;
  Notify(Prop::Caption);
}

void TControl::SetHint(std::string_view value) {
  if (value == hint_) return;
  hint_ = value;
  Notify(Prop::Hint);
}

void TControl::SetShowHint(bool value) {
  // An explicit ShowHint stops the control following its parent's setting.
  const bool follows = parentShowHint_;
  parentShowHint_ = false;
  if (value == showHint_ && !follows) return;
  showHint_ = value;
  Notify(Prop::Hint);
}

void TControl::SetParentShowHint(bool value) {
  if (value == parentShowHint_) return;
  parentShowHint_ = value;
  Notify(Prop::Hint);
}

void TControl::SetColor(TColor value) {
  if (value == color_) return;
  color_ = value;
  Notify(Prop::Color);
}

void TControl::SetFont(const TFont& value) {
  if (value == font_ && !parentFont_) return;
  const TFont before = EffectiveFont();
  font_ = value;
  parentFont_ = false;
  if (EffectiveFont() != before) EffectiveFontChanged();
}

void TControl::SetParentFont(bool value) {
  if (value == parentFont_) return;
  const TFont before = EffectiveFont();
  parentFont_ = value;
  if (EffectiveFont() != before) EffectiveFontChanged();
}

TFont TControl::EffectiveFont() const {
  const TControl* c = this;
  while (c->parentFont_ && c->parent_ != nullptr) c = c->parent_;
  return c->font_;
}

void TControl::EffectiveFontChanged() {
  Notify(Prop::Font);
}

void TControl::SetTabOrder(int value) {
  if (value == tabOrder_) return;
  tabOrder_ = value;
  Notify(Prop::TabOrder);
}

void TControl::SetTabStop(bool value) {
  if (value == tabStop_) return;
  tabStop_ = value;
  Notify(Prop::TabOrder);
}

void TControl::SetAlignment(TAlignment value) {
  if (value == alignment_) return;
  alignment_ = value;
  Notify(Prop::Alignment);
}

void TControl::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  Notify(Prop::Bounds);
}

void TControl::Click() {
  Fire(OnClick);
}

SubscriptionId TControl::Subscribe(ChangeCallback callback) {
  const SubscriptionId id = nextSubscription_++;
  subscribers_.push_back(std::make_shared<Subscriber>(Subscriber{id, std::move(callback)}));
  return id;
}

void TControl::Unsubscribe(SubscriptionId id) {
  for (auto& s : subscribers_)
    if (s->id == id) s->active = false;  // a notification in progress skips it from now on
  subscribers_.erase(std::remove_if(subscribers_.begin(), subscribers_.end(),
                                    [id](const auto& s) { return s->id == id; }),
                     subscribers_.end());
}

void TControl::Notify(Prop p) {
  if (subscribers_.empty()) return;
  // A callback may subscribe or unsubscribe; work on a snapshot.
  const auto snapshot = subscribers_;
  for (const auto& s : snapshot)
    if (s->active) s->callback(*this, p);
}

bool TControl::EventsQuiet() const {
  if (Loading() || (Owner() != nullptr && Owner()->Loading())) return true;
  const TForm* form = ParentForm();
  return form != nullptr && form->Loading();
}

void TControl::Fire(const TNotifyEvent& event) {
  if (event && !EventsQuiet()) event(this);
}

}  // namespace tk
