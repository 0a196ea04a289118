#pragma once
// TLabel: a caption drawn on its parent. It never takes the focus; it sizes itself to its
// caption unless AutoSize is false.

#include "toolkit/control.h"

namespace tk {

class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TLabel"; }

  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  void SetProperty(const std::string& name, const PropValue& value) override;

 private:
  bool wordWrap_ = false;
  bool transparent_ = false;
};

}  // namespace tk
