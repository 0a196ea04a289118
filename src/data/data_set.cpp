#include "data/data_set.h"

#include <algorithm>

#include "data/data_source.h"
#include "data/field.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
#include "rtl/strings.h"

namespace data {

// The open content and the flags that go with it, kept aside while a load computes the new
// rows so that a failure can put them back.
struct TDataSet::Saved {
  Content content;
  TDataSetState state;
  bool bof, eof, modified;
};

TDataSet::TDataSet(tk::TComponent* owner) : tk::TComponent(owner) {}

TDataSet::~TDataSet() {
  for (TField* f : fields_) f->dataSet_ = nullptr;
  for (TDataSource* s : sources_) s->dataSet_ = nullptr;
}

void TDataSet::fail(const std::string& message) const {
  throw rtl::EDatabaseError(Name().empty() ? message : Name() + ": " + message);
}

void TDataSet::checkActive() const {
  if (!Active()) fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetClosed));
}

void TDataSet::checkInactive() const {
  if (Active()) fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetOpen));
}

void TDataSet::checkNotComputing(const char* operation) const {
  if (state_ == TDataSetState::dsCalcFields)
    fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetComputing, {operation}));
}

// ---- fields ----

TField* TDataSet::FindField(std::string_view fieldName) const {
  for (TField* f : fields_)
    if (rtl::SameText(f->FieldName(), fieldName)) return f;
  return nullptr;
}

TField& TDataSet::FieldByName(std::string_view fieldName) const {
  TField* f = FindField(fieldName);
  if (!f) fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldNotFound, {fieldName}));
  return *f;
}

void TDataSet::addField(TField* field) {
  checkInactive();
  fields_.push_back(field);
}

void TDataSet::removeField(TField* field) {
  // Allowed while open: a form frees its fields before its data sets, and the other fields
  // keep their columns.
  fields_.erase(std::remove(fields_.begin(), fields_.end(), field), fields_.end());
}

std::vector<TField*> TDataSet::bindFields() {
  std::vector<TField*> stored;
  size_t calc = 0;
  for (size_t i = 0; i < fields_.size(); ++i) {
    TField* f = fields_[i];
    if (f->FieldName().empty())
      fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldNameMissing, {f->Name()}));
    for (size_t j = 0; j < i; ++j)
      if (rtl::SameText(fields_[j]->FieldName(), f->FieldName()))
        fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldNameRepeated, {f->FieldName()}));
    if (f->Calculated()) {
      f->slot_ = static_cast<int>(calc++);
    } else {
      f->slot_ = static_cast<int>(stored.size());
      stored.push_back(f);
    }
  }
  storedSlots_ = stored.size();
  calcSlots_ = calc;
  return stored;
}

int TDataSet::fieldSlot(const TField& field) {
  return field.slot_;
}

void TDataSet::InsertDefinedChild(tk::TComponent* child) {
  if (auto* field = dynamic_cast<TField*>(child)) {
    field->SetDataSet(this);
    return;
  }
  tk::TComponent::InsertDefinedChild(child);
}

// ---- state ----

void TDataSet::SetActive(bool active) {
  if (active) {
    Open();
  } else {
    Close();
  }
}

void TDataSet::Open() {
  if (Active()) return;
  doOpen();
}

void TDataSet::doOpen() {
  fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetNoPacket));
}

void TDataSet::Close() {
  checkNotComputing("close");
  content_ = Content{};
  state_ = TDataSetState::dsInactive;
  bof_ = eof_ = true;
  modified_ = false;
}

bool TDataSet::IsEmpty() const {
  if (!Active()) return true;
  const TDataSetState s = state_ == TDataSetState::dsCalcFields ? stateBeforeCalc_ : state_;
  return s != TDataSetState::dsInsert && content_.rows.rowCount() == 0;
}

int TDataSet::RecordCount() const {
  checkActive();
  return static_cast<int>(content_.rows.rowCount());
}

void TDataSet::installRows(RowStore rows) {
  checkNotComputing("replace the rows");
  Saved saved{std::move(content_), state_, bof_, eof_, modified_};
  content_ = Content{};
  content_.rows = std::move(rows);
  state_ = TDataSetState::dsBrowse;
  modified_ = false;
  const size_t n = content_.rows.rowCount();
  bof_ = true;
  eof_ = n == 0;
  try {
    // Every row is computed once on load, so a row whose values cannot be computed fails the
    // load rather than a later display.
    if (calcSlots_ > 0 && onCalcFields_)
      for (size_t i = 1; i < n; ++i) setCurrent(i);
    setCurrent(0);
  } catch (...) {
    content_ = std::move(saved.content);
    state_ = saved.state;
    bof_ = saved.bof;
    eof_ = saved.eof;
    modified_ = saved.modified;
    throw;
  }
}

size_t TDataSet::MemoryBytes() const {
  size_t total = sizeof(*this) + content_.rows.memoryBytes();
  total += (content_.pending.capacity() + content_.calc.capacity()) * sizeof(FieldValue);
  return total;
}

// ---- values ----

FieldValue TDataSet::readValue(const TField& field) const {
  checkActive();
  if (field.slot_ < 0)
    fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldNotBound, {field.FieldName()}));
  const auto slot = static_cast<size_t>(field.slot_);
  if (field.Calculated()) return content_.calc[slot];
  const TDataSetState s = state_ == TDataSetState::dsCalcFields ? stateBeforeCalc_ : state_;
  if (s == TDataSetState::dsInsert || s == TDataSetState::dsEdit) return content_.pending[slot];
  if (content_.rows.rowCount() == 0) return {};
  return content_.rows.value(slot, content_.current);
}

void TDataSet::writeValue(const TField& field, FieldValue value) {
  checkActive();
  if (field.slot_ < 0)
    fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldNotBound, {field.FieldName()}));
  const auto slot = static_cast<size_t>(field.slot_);
  if (field.Calculated()) {
    if (state_ != TDataSetState::dsCalcFields)
      fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldCalculated, {field.FieldName()}));
    content_.calc[slot] = std::move(value);
    return;
  }
  if (state_ == TDataSetState::dsCalcFields)
    fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldComputing, {field.FieldName()}));
  if (state_ != TDataSetState::dsInsert && state_ != TDataSetState::dsEdit)
    fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetNotEditing));
  if (field.ReadOnly())
    fail(rtl::RuntimeMessage(rtl::RuntimeText::FieldReadOnly, {field.FieldName()}));
  content_.pending[slot] = std::move(value);
  modified_ = true;
  // Calculated values follow the row being edited, change by change.
  if (autoCalcFields_) computeCalcFields();
}

void TDataSet::computeCalcFields() {
  if (calcSlots_ == 0) return;
  content_.calc.assign(calcSlots_, FieldValue{});
  const bool editing = state_ == TDataSetState::dsInsert || state_ == TDataSetState::dsEdit;
  if (!onCalcFields_ || (content_.rows.rowCount() == 0 && !editing)) return;
  stateBeforeCalc_ = state_;
  state_ = TDataSetState::dsCalcFields;
  struct RestoreState {
    TDataSet& ds;
    ~RestoreState() { ds.state_ = ds.stateBeforeCalc_; }
  } restore{*this};
  onCalcFields_(this);
}

void TDataSet::setCurrent(size_t index) {
  content_.current = index;
  computeCalcFields();
}

// ---- definition ----

void TDataSet::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "Active") {
    const bool active = value.asBoolean(name);
    // A data set read from a definition opens once every component exists.
    if (Loading()) {
      openAfterLoading_ = active;
    } else {
      SetActive(active);
    }
  } else if (name == "AutoCalcFields") {
    autoCalcFields_ = value.asBoolean(name);
  } else if (name == "Left" || name == "Top") {
    value.asInteger(name);  // where the designer placed the icon; nothing at run time
  } else {
    tk::TComponent::SetProperty(name, value);
  }
}

void TDataSet::SetEvent(const std::string& name, const tk::EventHandler& handler) {
  if (name == "OnCalcFields" || name == "OnNewRecord") {
    const auto* fn = tk::handlerAs<tk::TNotifyEvent>(handler);
    if (!fn) wrongHandler(name);
    (name == "OnCalcFields" ? onCalcFields_ : onNewRecord_) = *fn;
  } else {
    tk::TComponent::SetEvent(name, handler);
  }
}

void TDataSet::Loaded() {
  tk::TComponent::Loaded();
  if (openAfterLoading_) {
    openAfterLoading_ = false;
    Open();
  }
}

}  // namespace data
