#include "toolkit/user_input.h"

#include "toolkit/application.h"
#include "toolkit/edit.h"
#include "toolkit/mask_edit.h"
#include "toolkit/radio_group.h"

namespace tk {

namespace {

std::string nameOf(const TControl& c) {
  return c.Name().empty() ? c.ClassName() : c.Name();
}

[[noreturn]] void reject(const TControl& c, const std::string& why) {
  throw EInputRejected(nameOf(c) + " " + why);
}

// A user can only reach a control that is enabled and visible, up to a showing form.
void requireReachable(const TControl& c) {
  const TForm* form = c.ParentForm();
  if (form == nullptr || !form->Visible()) reject(c, "is not on a showing form");
  for (const TControl* p = &c; p != nullptr; p = p->Parent()) {
    if (!p->Visible()) reject(c, "is not visible");
    if (!p->Enabled()) reject(c, "is disabled");
  }
}

TCustomEdit& requireEditable(TControl& c) {
  auto* edit = dynamic_cast<TCustomEdit*>(&c);
  if (edit == nullptr) reject(c, "is not an edit");
  requireReachable(c);
  if (edit->ReadOnly()) reject(c, "is read-only");
  return *edit;
}

// Moves the focus as a Tab or a click would; false when it did not arrive (an exit handler
// sent it elsewhere without raising).
bool focus(TWinControl& c) {
  c.SetFocus();
  return c.Focused();
}

}  // namespace

void userFocus(TControl& control) {
  auto* wc = dynamic_cast<TWinControl*>(&control);
  if (wc == nullptr || !wc->UserFocusable() || dynamic_cast<TForm*>(wc) != nullptr)
    reject(control, "cannot take the focus");
  requireReachable(control);
  wc->SetFocus();
}

void userType(TControl& control, std::string_view text) {
  TCustomEdit& edit = requireEditable(control);
  if (!focus(edit)) return;
  edit.UserEditText(edit.TypedEditText(text));
}

void userClick(TControl& control) {
  if (dynamic_cast<TForm*>(&control) != nullptr) reject(control, "is a form");
  if (dynamic_cast<TRadioGroup*>(&control) != nullptr)
    reject(control, "is a radio group: choose one of its items");
  requireReachable(control);
  auto* wc = dynamic_cast<TWinControl*>(&control);
  if (wc != nullptr && wc->UserFocusable() && !focus(*wc)) return;
  control.Click();
}

void userChoose(TControl& control, int index) {
  auto* group = dynamic_cast<TRadioGroup*>(&control);
  if (group == nullptr) reject(control, "is not a radio group");
  const int count = static_cast<int>(group->Items().size());
  if (index < 0 || index >= count)
    reject(control,
           "has no item " + std::to_string(index) + " (it has " + std::to_string(count) + ")");
  requireReachable(control);
  if (!focus(*group)) return;
  group->SetItemIndex(index);
}

void userActivate(TForm& form) {
  if (!form.Visible()) reject(form, "is not showing");
  form.Deactivate();
  form.Activate();
}

void userClose(TForm& form) {
  if (!form.Visible()) reject(form, "is not showing");
  form.Close();
}

void userSetWindowState(TForm& form, TWindowState state) {
  if (!form.Visible()) reject(form, "is not showing");
  form.SetWindowState(state);
}

bool userEscape(TControl& control) {
  requireReachable(control);
  auto* wc = dynamic_cast<TWinControl*>(&control);
  if (wc == nullptr || !wc->Focused()) reject(control, "does not have the focus");
  auto* masked = dynamic_cast<TMaskEdit*>(&control);
  return masked != nullptr && !masked->ReadOnly() && masked->Reset();
}

void userEditText(TControl& control, std::string_view editText) {
  TCustomEdit& edit = requireEditable(control);
  if (!edit.Focused()) reject(control, "does not have the focus");
  edit.UserEditText(edit.ConformEditText(editText));
}

// Counts nested user events so that released forms are freed only when the outermost ends.
struct UserEventScope {
  explicit UserEventScope(TApplication& app) : app_(app) { ++app_.eventDepth_; }
  ~UserEventScope() { --app_.eventDepth_; }
  TApplication& app_;
};

EventOutcome RunUserEvent(const std::function<void()>& action) {
  TApplication& app = Application();
  EventOutcome out;
  {
    UserEventScope scope(app);
    try {
      action();
    } catch (const EInputRejected& e) {
      out.rejected = true;
      out.className = e.className();
      out.message = e.message();
    } catch (const rtl::Exception& e) {
      out.raised = true;
      out.className = e.className();
      out.message = e.message();
      app.HandleException(e);
    } catch (const std::exception& e) {
      out.raised = true;
      out.className = "Exception";
      out.message = e.what();
      app.HandleException(e);
    }
  }
  if (app.EventDepth() == 0) app.ProcessDeferred();
  return out;
}

}  // namespace tk
