#include "toolkit/radio_group.h"

#include <algorithm>

namespace tk {

TRadioGroup::TRadioGroup(TComponent* owner) : TWinControl(owner) {}

void TRadioGroup::SetItems(std::vector<std::string> items) {
  if (items == items_) return;
  items_ = std::move(items);
  Notify(Prop::Items);
  // While loading, ItemIndex may come before Items; Loaded clamps it.
  if (!EventsQuiet() && itemIndex_ >= static_cast<int>(items_.size())) {
    itemIndex_ = static_cast<int>(items_.size()) - 1;
    Notify(Prop::ItemIndex);
  }
}

void TRadioGroup::SetItemIndex(int index) {
  if (EventsQuiet()) {
    if (index == itemIndex_) return;
    itemIndex_ = index;
    Notify(Prop::ItemIndex);
    return;
  }
  index = std::clamp(index, -1, static_cast<int>(items_.size()) - 1);
  if (index == itemIndex_) return;
  itemIndex_ = index;
  Notify(Prop::ItemIndex);
  if (index >= 0) Fire(OnClick);
}

void TRadioGroup::SetColumns(int columns) {
  columns = std::max(columns, 1);
  if (columns == columns_) return;
  columns_ = columns;
  Notify(Prop::Appearance);
}

void TRadioGroup::Loaded() {
  TWinControl::Loaded();
  const int clamped = std::clamp(itemIndex_, -1, static_cast<int>(items_.size()) - 1);
  if (clamped != itemIndex_) {
    itemIndex_ = clamped;
    Notify(Prop::ItemIndex);
  }
}

void TRadioGroup::SetProperty(const std::string& name, const PropValue& value) {
  if (name == "Items") {
    SetItems(value.asStrings(name));
  } else if (name == "ItemIndex") {
    SetItemIndex(static_cast<int>(value.asInteger(name)));
  } else if (name == "Columns") {
    SetColumns(static_cast<int>(value.asInteger(name)));
  } else {
    TWinControl::SetProperty(name, value);
  }
}

}  // namespace tk
