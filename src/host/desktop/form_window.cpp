#include "host/desktop/form_window.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "toolkit/application.h"
#include "toolkit/user_input.h"

namespace host {

FormWindow::FormWindow(tk::TForm& form, QMdiArea& area) : view_(new qtviews::FormView(form)) {
  setObjectName(QString::fromStdString(form.Name()) + QStringLiteral("Window"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  Qt::WindowFlags flags =
      Qt::SubWindow | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  for (const std::string& icon : form.BorderIcons()) {
    if (icon == "biMinimize") flags |= Qt::WindowMinimizeButtonHint;
    if (icon == "biMaximize") flags |= Qt::WindowMaximizeButtonHint;
  }
  setWindowFlags(flags);
  setWidget(view_);
  setWindowTitle(QString::fromStdString(form.Caption()));
  area.addSubWindow(this);
  // A single border is a fixed size: the client area the definition gives.
  if (form.BorderStyle() != tk::TFormBorderStyle::bsSizeable) {
    adjustSize();
    setFixedSize(sizeHint());
  }
  move(form.Left(), form.Top());
  view_->onFormChange = [this](tk::Prop p) { formChanged(p); };
  view_->onFormGone = [this] { formGone(); };
  if (form.Visible()) {
    show();
    followWindowState();
  }
}

void FormWindow::formChanged(tk::Prop p) {
  tk::TForm* f = form();
  if (f == nullptr) return;
  switch (p) {
    case tk::Prop::Caption:
      setWindowTitle(QString::fromStdString(f->Caption()));
      break;
    case tk::Prop::Visible:
      setVisible(f->Visible());
      break;
    case tk::Prop::WindowState:
      followWindowState();
      break;
    case tk::Prop::Active:
      if (f->Active() && mdiArea() != nullptr && mdiArea()->activeSubWindow() != this)
        mdiArea()->setActiveSubWindow(this);
      break;
    default:
      break;
  }
}

void FormWindow::followForm() {
  tk::TForm* f = form();
  if (f == nullptr) return;
  setVisible(f->Visible());
  if (f->Visible()) followWindowState();
}

void FormWindow::followWindowState() {
  switch (form()->WindowState()) {
    case tk::TWindowState::wsNormal:
      if (isMinimized() || isMaximized()) showNormal();
      break;
    case tk::TWindowState::wsMinimized:
      if (!isMinimized()) showMinimized();
      break;
    case tk::TWindowState::wsMaximized:
      if (!isMaximized()) showMaximized();
      break;
  }
}

void FormWindow::activatedByUser() {
  tk::TForm* f = form();
  if (f == nullptr || !f->Visible() || f->Active()) return;
  view_->runUserEvent([f] { tk::userActivate(*f); });
}

void FormWindow::closeEvent(QCloseEvent* event) {
  if (gone_) {
    event->accept();
    return;
  }
  // The form decides: the close box is the user's request, carried out by the model.
  event->ignore();
  if (tk::TForm* f = form(); f != nullptr && f->Visible())
    view_->runUserEvent([f] { tk::userClose(*f); });
}

void FormWindow::changeEvent(QEvent* event) {
  QMdiSubWindow::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange || gone_) return;
  tk::TForm* f = form();
  if (f == nullptr || !f->Visible()) return;
  const tk::TWindowState now = isMinimized()   ? tk::TWindowState::wsMinimized
                               : isMaximized() ? tk::TWindowState::wsMaximized
                                               : tk::TWindowState::wsNormal;
  // The form following its own state (followWindowState) lands here too, with nothing to do.
  if (f->WindowState() != now) view_->runUserEvent([f, now] { tk::userSetWindowState(*f, now); });
}

void FormWindow::formGone() {
  gone_ = true;
  hide();
  deleteLater();
}

}  // namespace host
