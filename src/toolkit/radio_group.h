#pragma once
// TRadioGroup: a box of mutually exclusive items. ItemIndex is the chosen item (0-based, -1
// for none, the default). Setting it to another index of 0 or more notifies, then fires
// OnClick; -1 or the same index fires nothing. Values out of range are clamped to the items.

#include <string>
#include <vector>

#include "toolkit/win_control.h"

namespace tk {

class TRadioGroup : public TWinControl {
 public:
  explicit TRadioGroup(TComponent* owner = nullptr);
  const char* ClassName() const override { return "TRadioGroup"; }

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int index);
  int Columns() const { return columns_; }
  void SetColumns(int columns);
  // Choosing an item is the group's click; a click on the box itself does nothing.
  void Click() override {}
  bool UsesArrowKeys() const override { return true; }

  void SetProperty(const std::string& name, const PropValue& value) override;
  void Loaded() override;

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
  int columns_ = 1;
};

}  // namespace tk
