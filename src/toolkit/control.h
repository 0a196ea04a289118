#pragma once
// TControl: a visual element of a form, held by its owner (normally the form) and shown inside
// its parent (a TWinControl). It carries the state every control has -- bounds, enabled,
// visible, caption, hint, colour, font, tab position -- and tells subscribers (the views) after
// every change of that state. Setters compare, store, update dependents, notify, then fire the
// control's own event; nothing is notified or fired for an unchanged value, and no event fires
// while the form is being read from its definition.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/component.h"
#include "toolkit/graphics.h"

namespace tk {

class TWinControl;
class TForm;

// What changed on a control. A view re-reads that part of the control's state.
enum class Prop : uint8_t {
  Bounds,
  Enabled,
  Visible,
  Caption,
  Text,
  Hint,
  Color,
  Font,
  TabOrder,
  Alignment,
  ReadOnly,
  MaxLength,
  EditMask,
  Checked,
  ItemIndex,
  Items,
  Glyph,
  Focused,  // the control gained or lost the focus (on a form: its focused control changed)
  Caret,    // edits: the program put the caret somewhere (SelStart)
  Parent,
  Appearance,   // any other look property (bevels, border style, day names...)
  WindowState,  // forms
  Active,       // forms: became or stopped being the active form
  Repaint,      // Refresh was asked for
  Destroying,   // the control is being destroyed: drop every pointer to it
};
const char* PropName(Prop p);

using SubscriptionId = uint64_t;
using ChangeCallback = std::function<void(class TControl&, Prop)>;

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner = nullptr);
  ~TControl() override;
  const char* ClassName() const override { return "TControl"; }

  TWinControl* Parent() const { return parent_; }
  // Moves the control into `parent`'s children (last), or out of any parent with nullptr.
  void SetParent(TWinControl* parent);
  // The form at the top of the parent chain (the control itself when it is a form).
  TForm* ParentForm() const;

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  void SetBounds(int left, int top, int width, int height);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool value);
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool value);
  // Enabled and visible, and so is every parent up to the form.
  bool EnabledAndVisibleChain() const;

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string_view value);
  // The control's text: its caption, or for an edit what Text reads.
  virtual std::string Text() const { return caption_; }
  virtual void SetText(std::string_view value) { SetCaption(value); }

  const std::string& Hint() const { return hint_; }
  void SetHint(std::string_view value);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool value);

  TColor Color() const { return color_; }
  void SetColor(TColor value);

  // The control's own font; the font it is drawn with is EffectiveFont().
  const TFont& Font() const { return font_; }
  // Assigning a font gives the control its own font (ParentFont becomes false).
  void SetFont(const TFont& value);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);
  TFont EffectiveFont() const;

  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int value);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool value);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // Runs what a click does to this control in code (the user-input API adds focus and checks).
  virtual void Click();
  TNotifyEvent OnClick;

  // Change notification. The callback runs after each change of this control's state.
  SubscriptionId Subscribe(ChangeCallback callback);
  void Unsubscribe(SubscriptionId id);

  void SetProperty(const std::string& name, const PropValue& value) override;
  void SetEvent(const std::string& name, const EventHandler& handler) override;

 protected:
  void Notify(Prop p);
  // True while this control or its form is being read from a definition: events stay quiet.
  bool EventsQuiet() const;
  // Calls `event` with this control as sender, unless it is unbound or events are quiet.
  void Fire(const TNotifyEvent& event);
  // The effective font of this control changed: notify it and the children that follow it.
  virtual void EffectiveFontChanged();
  // Reads a TNotifyEvent out of `handler` or raises a definition error naming `event`.
  const TNotifyEvent& NotifyHandler(const std::string& event, const EventHandler& handler) const;

 private:
  friend class TWinControl;
  struct Subscriber {
    SubscriptionId id;
    ChangeCallback callback;
    bool active = true;
  };

  TWinControl* parent_ = nullptr;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  bool enabled_ = true;
  bool visible_ = true;
  std::string caption_;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  TColor color_ = colors::clBtnFace;
  TFont font_;
  bool parentFont_ = true;
  int tabOrder_ = -1;
  bool tabStop_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = false;
  std::vector<std::shared_ptr<Subscriber>> subscribers_;
  SubscriptionId nextSubscription_ = 1;
};

}  // namespace tk
