#pragma once
// The containers: GroupBoxView (TGroupBox as a QGroupBox with its caption), PanelView (TPanel
// as a QFrame with the panel's bevels) and GenericView (any other control, as a plain widget
// at its place). Their children are placed inside them at the positions the definition gives,
// relative to the container's top-left corner. None of them takes the focus.

#include <QFrame>
#include <QGroupBox>

#include "qt/control_view.h"
#include "toolkit/containers.h"

namespace qtviews {

// Draws a group box as the toolkit does: an etched frame from half the text height down, the
// caption on the frame line at the left, in the box's own font. Both group views use it.
void PaintGroupFrame(QWidget& box, const QString& caption);

class GroupBoxView : public QGroupBox, public ControlView {
 public:
  GroupBoxView(tk::TGroupBox& box, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }
  QWidget* childArea() override { return this; }

 protected:
  void sync(tk::Prop p) override;
  void paintEvent(QPaintEvent* event) override;
};

class PanelView : public QFrame, public ControlView {
 public:
  PanelView(tk::TPanel& panel, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }
  QWidget* childArea() override { return this; }

 protected:
  void sync(tk::Prop p) override;
  void paintEvent(QPaintEvent* event) override;
};

class GenericView : public QWidget, public ControlView {
 public:
  GenericView(tk::TControl& control, FormView& form, QWidget* parent);
  QWidget* widget() override { return this; }
  QWidget* childArea() override { return this; }
};

}  // namespace qtviews
