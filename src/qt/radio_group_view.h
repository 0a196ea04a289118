#pragma once
// RadioGroupView: a radio group (TRadioGroup) as a QGroupBox holding one radio button per item,
// laid out in the group's columns as the toolkit places them (evenly over the space under the
// caption). Choosing an item -- a click, or the arrow keys on the focused item -- becomes
// userChoose; the model's ItemIndex sets the buttons. The focus, when the model puts it on the
// group, sits on the chosen item.

#include <QGroupBox>
#include <QRadioButton>
#include <vector>

#include "qt/control_view.h"
#include "toolkit/radio_group.h"

namespace qtviews {

class RadioGroupView : public QGroupBox, public ControlView {
 public:
  RadioGroupView(tk::TRadioGroup& group, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }
  QWidget* focusTarget() override;
  const std::vector<QRadioButton*>& itemButtons() const { return buttons_; }

 protected:
  void sync(tk::Prop p) override;
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  tk::TRadioGroup* group() const;
  void rebuildItems();
  void placeItems();
  void showChoice();
  void choose(int index);

  std::vector<QRadioButton*> buttons_;
};

}  // namespace qtviews
