#pragma once
// LabelView: a label (TLabel) as a QLabel at its defined place, with its caption as plain text,
// its alignment, font and word wrap. It never takes the focus and shows its parent's
// background.

#include <QLabel>

#include "qt/control_view.h"
#include "toolkit/label.h"

namespace qtviews {

class LabelView : public QLabel, public ControlView {
 public:
  LabelView(tk::TLabel& label, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }

 protected:
  void sync(tk::Prop p) override;
  void applyColor() override {}  // a label shows its parent's colour
};

}  // namespace qtviews
