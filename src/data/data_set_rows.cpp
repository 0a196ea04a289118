// TDataSet: moving between rows, searching and editing.

#include "data/data_set.h"
#include "data/field.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace data {

namespace {

bool isEditing(TDataSetState s) {
  return s == TDataSetState::dsInsert || s == TDataSetState::dsEdit;
}

}  // namespace

void TDataSet::checkBrowseMode() {
  if (!isEditing(state_)) return;
  // A row opened but never written to is dropped rather than stored blank.
  if (modified_) {
    Post();
  } else {
    Cancel();
  }
}

// ---- navigation ----

void TDataSet::First() {
  checkActive();
  checkNotComputing("move");
  checkBrowseMode();
  bof_ = true;
  eof_ = content_.rows.rowCount() == 0;
  setCurrent(0);
}

void TDataSet::Last() {
  checkActive();
  checkNotComputing("move");
  checkBrowseMode();
  const size_t n = content_.rows.rowCount();
  bof_ = n == 0;
  eof_ = true;
  setCurrent(n == 0 ? 0 : n - 1);
}

void TDataSet::Next() {
  checkActive();
  checkNotComputing("move");
  checkBrowseMode();
  const size_t n = content_.rows.rowCount();
  if (content_.current + 1 < n) {
    bof_ = eof_ = false;
    setCurrent(content_.current + 1);
  } else {
    bof_ = n == 0;
    eof_ = true;
  }
}

void TDataSet::Prior() {
  checkActive();
  checkNotComputing("move");
  checkBrowseMode();
  const size_t n = content_.rows.rowCount();
  if (content_.current > 0 && n > 0) {
    bof_ = eof_ = false;
    setCurrent(content_.current - 1);
  } else {
    bof_ = true;
    eof_ = n == 0;
  }
}

int TDataSet::RecNo() const {
  checkActive();
  const TDataSetState s = state_ == TDataSetState::dsCalcFields ? stateBeforeCalc_ : state_;
  if (s == TDataSetState::dsInsert) return static_cast<int>(content_.pendingIndex) + 1;
  if (content_.rows.rowCount() == 0) return 0;
  return static_cast<int>(content_.current) + 1;
}

void TDataSet::MoveTo(size_t index) {
  checkActive();
  checkNotComputing("move");
  checkBrowseMode();
  if (index >= content_.rows.rowCount())
    fail(rtl::RuntimeMessage(rtl::RuntimeText::RowOutOfRange,
                             {std::to_string(index), std::to_string(content_.rows.rowCount())}));
  bof_ = eof_ = false;
  setCurrent(index);
}

bool TDataSet::locateStored(const TField& field, const rtl::Variant& value, size_t& found) const {
  const rtl::PacketColumn& column = content_.rows.column(static_cast<size_t>(field.slot_));
  const size_t n = content_.rows.rowCount();
  const bool wantNull = value.isNull() || value.isEmpty();
  auto scan = [&](auto&& matches) {
    for (size_t i = 0; i < n; ++i) {
      const uint32_t row = content_.rows.physicalRow(i);
      if (column.isNull(row) ? wantNull : !wantNull && matches(row)) {
        found = i;
        return true;
      }
    }
    return false;
  };
  switch (column.type()) {
    case rtl::FieldType::String: {
      const std::string key = wantNull ? std::string() : value.asString();
      // A null text reads as "", so it equals an empty key (and only that).
      if (!wantNull && key.empty()) {
        for (size_t i = 0; i < n; ++i) {
          const uint32_t row = content_.rows.physicalRow(i);
          if (column.isNull(row) || column.string(row).empty()) {
            found = i;
            return true;
          }
        }
        return false;
      }
      return scan([&](uint32_t row) { return column.string(row) == key; });
    }
    case rtl::FieldType::Float:
    case rtl::FieldType::Date: {
      const double key = wantNull ? 0 : value.asDate();
      return scan([&](uint32_t row) { return column.number(row) == key; });
    }
    case rtl::FieldType::Integer: {
      const int64_t key = wantNull ? 0 : value.asInteger();
      return scan([&](uint32_t row) { return column.integer(row) == key; });
    }
    case rtl::FieldType::Boolean: {
      const bool key = wantNull ? false : value.asBoolean();
      return scan([&](uint32_t row) { return column.boolean(row) == key; });
    }
  }
  return false;
}

bool TDataSet::Locate(std::string_view fieldName, const rtl::Variant& value) {
  checkActive();
  checkNotComputing("search");
  checkBrowseMode();
  TField& field = FieldByName(fieldName);
  size_t found = 0;
  bool ok = false;
  if (!field.Calculated()) {
    ok = locateStored(field, value, found);
  } else {
    // A calculated value exists only for the current row: compute each row in turn, then
    // put the current row and its values back when nothing matched.
    const size_t before = content_.current;
    std::vector<FieldValue> calcBefore = content_.calc;
    const bool wantNull = value.isNull() || value.isEmpty();
    const std::string key = wantNull ? std::string() : value.asString();
    try {
      for (size_t i = 0; i < content_.rows.rowCount() && !ok; ++i) {
        setCurrent(i);
        ok = field.IsNull() ? (wantNull || key.empty()) : (!wantNull && field.AsString() == key);
        found = i;
      }
    } catch (...) {
      content_.current = before;
      content_.calc = std::move(calcBefore);
      throw;
    }
    if (!ok) {
      content_.current = before;
      content_.calc = std::move(calcBefore);
    }
  }
  if (!ok) return false;
  bof_ = eof_ = false;
  if (!field.Calculated()) setCurrent(found);  // a calculated match is current already
  return true;
}

void TDataSet::VisitRows(const std::function<void(size_t index)>& visit) {
  checkActive();
  checkNotComputing("move");
  checkBrowseMode();
  const size_t before = content_.current;
  std::vector<FieldValue> calcBefore = content_.calc;
  auto restore = [&] {
    content_.current = before;
    content_.calc = std::move(calcBefore);
  };
  try {
    for (size_t i = 0; i < content_.rows.rowCount(); ++i) {
      setCurrent(i);
      visit(i);
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

// ---- editing ----

void TDataSet::openPending(size_t index, bool inserting) {
  content_.pendingIndex = index;
  if (inserting) {
    content_.pending.assign(storedSlots_, FieldValue{});
    content_.calc.assign(calcSlots_, FieldValue{});
  } else {
    content_.pending.clear();
    for (size_t c = 0; c < storedSlots_; ++c)
      content_.pending.push_back(content_.rows.value(c, content_.current));
  }
  modified_ = false;
  bof_ = eof_ = false;
  state_ = inserting ? TDataSetState::dsInsert : TDataSetState::dsEdit;
  if (!inserting) {
    computeCalcFields();
    return;
  }
  // The handler may give the new row its first values; the row counts as unmodified after
  // it, and a failure in it drops the row.
  if (!onNewRecord_) return;
  try {
    onNewRecord_(this);
  } catch (...) {
    Cancel();
    throw;
  }
  modified_ = false;
}

void TDataSet::Insert() {
  checkActive();
  checkNotComputing("insert");
  checkBrowseMode();
  openPending(content_.rows.rowCount() == 0 ? 0 : content_.current, true);
}

void TDataSet::Append() {
  checkActive();
  checkNotComputing("append");
  checkBrowseMode();
  openPending(content_.rows.rowCount(), true);
}

void TDataSet::Edit() {
  checkActive();
  checkNotComputing("edit");
  if (isEditing(state_)) return;
  if (content_.rows.rowCount() == 0) {
    Insert();
    return;
  }
  openPending(content_.current, false);
}

void TDataSet::Post() {
  checkActive();
  checkNotComputing("post");
  if (!isEditing(state_)) fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetNotEditing));
  for (const TField* f : fields_)
    if (!f->Calculated() && f->Required() && f->slot_ >= 0 &&
        IsNullValue(content_.pending[static_cast<size_t>(f->slot_)]))
      fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldRequired, {f->FieldName()}));
  if (state_ == TDataSetState::dsInsert) {
    content_.rows.insert(content_.pendingIndex, content_.pending);
    content_.current = content_.pendingIndex;
  } else {
    content_.rows.update(content_.current, content_.pending);
  }
  content_.pending.clear();
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  setCurrent(content_.current);
}

void TDataSet::Cancel() {
  checkActive();
  checkNotComputing("cancel");
  if (!isEditing(state_)) return;
  content_.pending.clear();
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  const size_t n = content_.rows.rowCount();
  bof_ = eof_ = n == 0;
  if (content_.current >= n) content_.current = n == 0 ? 0 : n - 1;
  setCurrent(content_.current);
}

void TDataSet::Delete() {
  checkActive();
  checkNotComputing("delete");
  if (state_ == TDataSetState::dsInsert) {
    Cancel();
    return;
  }
  Cancel();
  const size_t n = content_.rows.rowCount();
  if (n == 0) fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetEmpty));
  content_.rows.erase(content_.current);
  if (content_.current >= n - 1) content_.current = n >= 2 ? n - 2 : 0;
  bof_ = eof_ = n == 1;
  setCurrent(content_.current);
}

void TDataSet::EmptyDataSet() {
  checkActive();
  checkNotComputing("empty the data set");
  Cancel();
  std::vector<rtl::FieldType> types;
  for (size_t c = 0; c < content_.rows.columnCount(); ++c)
    types.push_back(content_.rows.column(c).type());
  content_.rows = RowStore(types);
  bof_ = eof_ = true;
  setCurrent(0);
}

}  // namespace data
