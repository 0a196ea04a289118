#include "qt/qt_screen_test.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include "qt/control_view.h"
#include "qt/modal_driver.h"
#include "qt/radio_group_view.h"
#include "toolkit/check_buttons.h"
#include "toolkit/containers.h"
#include "toolkit/edit.h"
#include "toolkit/glyph_button.h"
#include "toolkit/radio_group.h"

namespace qttest {

QtScreenTest::~QtScreenTest() {
  StopModalWatchers();
  view.reset();
}

void QtScreenTest::openView() {
  ASSERT_EQ(open(), "ok");
  showView();
}

void QtScreenTest::openViewWithHeader() {
  openWithHeader();
  showView();
}

void QtScreenTest::showView() {
  ASSERT_NE(form(), nullptr);
  view = std::make_unique<qtviews::FormView>(*form());
  view->show();
  QApplication::setActiveWindow(view.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(view.get()));
  view->syncFocus();
}

QWidget* QtScreenTest::widget(const std::string& name) const {
  QWidget* w = view ? view->widgetByName(name) : nullptr;
  if (w == nullptr) ADD_FAILURE() << "no view of " << name;
  return w;
}

std::string QtScreenTest::qtFocus() const {
  QWidget* focus = QApplication::focusWidget();
  for (QWidget* w = focus; w != nullptr; w = w->parentWidget())
    if (auto* v = dynamic_cast<qtviews::ControlView*>(w); v != nullptr && v->control() != nullptr)
      return v->control()->Name();
  return "";
}

namespace {

void walk(const tk::TWinControl& container, const std::function<void(tk::TControl&)>& visit) {
  for (tk::TControl* c : container.Controls()) {
    visit(*c);
    if (auto* wc = dynamic_cast<tk::TWinControl*>(c)) walk(*wc, visit);
  }
}

std::string line(const std::string& name, const QRect& r, bool enabled, bool visible,
                 const std::string& text, bool checked) {
  std::string out = name + " " + std::to_string(r.left()) + "," + std::to_string(r.top()) + " " +
                    std::to_string(r.width()) + "x" + std::to_string(r.height());
  if (!enabled) out += " off";
  if (!visible) out += " hidden";
  out += " \"" + text + "\"";
  if (checked) out += " checked";
  return out + "\n";
}

}  // namespace

std::string QtScreenTest::modelControls() const {
  std::string out;
  walk(*form(), [&](tk::TControl& c) {
    std::string text = c.Text();
    bool checked = false;
    if (auto* r = dynamic_cast<tk::TRadioButton*>(&c)) checked = r->Checked();
    if (auto* b = dynamic_cast<tk::TCheckBox*>(&c)) checked = b->Checked();
    if (auto* e = dynamic_cast<tk::TCustomEdit*>(&c)) text = e->EditText();
    if (auto* b = dynamic_cast<tk::TGlyphButton*>(&c)) text = b->ShownCaption();
    if (auto* g = dynamic_cast<tk::TRadioGroup*>(&c)) {
      text.clear();
      for (size_t i = 0; i < g->Items().size(); ++i)
        text += (static_cast<int>(i) == g->ItemIndex() ? "(*) " : "( ) ") + g->Items()[i] + ";";
    }
    out += line(c.Name(), QRect(c.Left(), c.Top(), c.Width(), c.Height()), c.Enabled(), c.Visible(),
                text, checked);
  });
  return out;
}

std::string QtScreenTest::shownControls() const {
  std::string out;
  walk(*form(), [&](tk::TControl& c) {
    QWidget* w = view->widgetByName(c.Name());
    if (w == nullptr) {
      out += c.Name() + " has no view\n";
      return;
    }
    QString text;
    bool checked = false;
    if (auto* group = dynamic_cast<qtviews::RadioGroupView*>(w)) {
      for (QRadioButton* b : group->itemButtons())
        text += (b->isChecked() ? QStringLiteral("(*) ") : QStringLiteral("( ) ")) + b->text() +
                QLatin1Char(';');
    } else if (auto* edit = dynamic_cast<QLineEdit*>(w)) {
      text = edit->text();
    } else if (auto* label = dynamic_cast<QLabel*>(w)) {
      text = label->text();
    } else if (auto* button = dynamic_cast<QAbstractButton*>(w)) {
      text = button->text();
      checked = button->isCheckable() && button->isChecked();
    } else if (auto* box = dynamic_cast<QGroupBox*>(w)) {
      text = box->title();
    }
    out += line(c.Name(), w->geometry(), w->isEnabledTo(w->parentWidget()), !w->isHidden(),
                text.toStdString(), checked);
  });
  return out;
}

}  // namespace qttest
