#pragma once
// TGroupBox and TPanel: containers with a caption. The user cannot put the focus in them by
// clicking; their children are what takes the focus.

#include <string>

#include "toolkit/win_control.h"

namespace tk {

class TGroupBox : public TWinControl {
 public:
  explicit TGroupBox(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TGroupBox"; }
  bool UserFocusable() const override { return false; }
};

enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TPanel : public TWinControl {
 public:
  explicit TPanel(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TPanel"; }
  bool UserFocusable() const override { return false; }

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut value);

  void SetProperty(const std::string& name, const PropValue& value) override;

 private:
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  TBevelCut bevelInner_ = TBevelCut::bvNone;
};

}  // namespace tk
