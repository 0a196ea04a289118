#include "qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QRadioButton>

namespace qtviews {

namespace {

class RadioButtonAccessible : public QAccessibleWidget {
 public:
  explicit RadioButtonAccessible(QRadioButton* button)
      : QAccessibleWidget(button, QAccessible::RadioButton) {
    addControllingSignal(QStringLiteral("clicked(bool)"));
  }

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && button()->accessibleName().isEmpty())
      return button()->text().remove(QLatin1Char('&'));
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = button()->isChecked();
    return s;
  }

  QStringList actionNames() const override {
    return QStringList{pressAction()} + QAccessibleWidget::actionNames();
  }

  void doAction(const QString& name) override {
    if (name == pressAction()) {
      button()->click();  // the view hands the click to the model
      return;
    }
    QAccessibleWidget::doAction(name);
  }

 private:
  QRadioButton* button() const { return static_cast<QRadioButton*>(widget()); }
};

// Every radio button, exclusive or not: the question comes while a button is still being built,
// before it is made non-exclusive, and the answer is kept for its life.
QAccessibleInterface* radioButtons(const QString& className, QObject* object) {
  auto* button = qobject_cast<QRadioButton*>(object);
  if (className != QLatin1String("QRadioButton") || button == nullptr) return nullptr;
  return new RadioButtonAccessible(button);
}

}  // namespace

void InstallAccessibility() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  QAccessible::installFactory(radioButtons);
}

}  // namespace qtviews
