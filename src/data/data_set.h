#pragma once
// TDataSet: an in-memory table with a current row, the engine under client data sets and
// queries. It keeps its fields (components owned elsewhere, usually by the form) in declared
// order, its rows in a RowStore while open, one pending row being inserted or edited, and the
// calculated values of the current row, which OnCalcFields sets each time a row becomes
// current. Callers may rely on: a closed data set refuses row operations with EDatabaseError
// naming it; a failed operation leaves the rows as they were.

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "data/field.h"
#include "data/field_value.h"
#include "data/row_store.h"
#include "rtl/variant.h"
#include "toolkit/component.h"

namespace data {

class TDataSource;

enum class TDataSetState { dsInactive, dsBrowse, dsEdit, dsInsert, dsCalcFields };

class TDataSet : public tk::TComponent {
 public:
  explicit TDataSet(tk::TComponent* owner = nullptr);
  ~TDataSet() override;

  const char* ClassName() const override { return "TDataSet"; }

  // Fields in declared order. FindField and FieldByName compare names without regard to case;
  // FieldByName raises EDatabaseError "<data set>: Field 'X' not found".
  const std::vector<TField*>& Fields() const { return fields_; }
  TField* FindField(std::string_view fieldName) const;
  TField& FieldByName(std::string_view fieldName) const;

  TDataSetState State() const { return state_; }
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  void SetActive(bool active);
  // Opens with the content the subclass provides (see doOpen).
  void Open();
  // Drops the content (a pending row too) and makes the data set inactive.
  void Close();

  // True when there is no row and none is being inserted; a closed data set is empty.
  bool IsEmpty() const;
  // Stored rows, not counting one being inserted.
  int RecordCount() const;

  // Navigation. Each first posts a pending row (or cancels it when nothing was set), then
  // makes the row current and computes its calculated fields.
  void First();
  void Last();
  void Next();
  void Prior();
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  // 1-based position of the current row; 0 when there is none.
  int RecNo() const;
  // Makes the row at `index` (0-based, in shown order) current.
  void MoveTo(size_t index);
  // Searches from the first row for the first row whose field equals `value` exactly (whole
  // value, case-sensitive, no trimming). Found: that row becomes current, true. Not found:
  // the current row stays, false. A null field equals only a null value or "".
  bool Locate(std::string_view fieldName, const rtl::Variant& value);
  // Makes each row current in turn (computing its calculated fields) and calls `visit` with
  // its index; afterwards the current row and its calculated values are as before, also when
  // `visit` or a calculation raises. This is how lists fetch rows for display; `visit` reads
  // fields and must not move or change the data set.
  void VisitRows(const std::function<void(size_t index)>& visit);

  // Editing. Insert opens a blank row before the current one (which it becomes); Append one
  // after the last; Edit the current row. Post stores the pending row where it was opened and
  // keeps it current; Cancel drops it. Required fields must have a value to post.
  void Insert();
  void Append();
  void Edit();
  void Post();
  void Cancel();
  // Removes the current row; the next one (or the new last one) becomes current.
  void Delete();
  // Removes every row; the data set stays open.
  void EmptyDataSet();
  bool Modified() const { return modified_; }

  // Called with the data set as sender each time a row's calculated values are computed,
  // with that row current and the calculated fields reset to null: on load (every row), when a
  // row becomes current, after Post and Cancel, for each row a list reads, on Edit, and -- with
  // AutoCalcFields (the default) -- after each change of a data field of the row being edited
  // or inserted. A row just inserted has null calculated values until its first change.
  const tk::TNotifyEvent& OnCalcFields() const { return onCalcFields_; }
  void SetOnCalcFields(tk::TNotifyEvent handler) { onCalcFields_ = std::move(handler); }
  bool AutoCalcFields() const { return autoCalcFields_; }
  void SetAutoCalcFields(bool value) { autoCalcFields_ = value; }
  // Called by Insert and Append once the new row is open, to give it its first values.
  const tk::TNotifyEvent& OnNewRecord() const { return onNewRecord_; }
  void SetOnNewRecord(tk::TNotifyEvent handler) { onNewRecord_ = std::move(handler); }

  // Bytes held by the rows (columns, order, pending and calculated values).
  size_t MemoryBytes() const;

  void SetProperty(const std::string& name, const tk::PropValue& value) override;
  void SetEvent(const std::string& name, const tk::EventHandler& handler) override;
  // A field nested in the data set's definition becomes one of its fields.
  void InsertDefinedChild(tk::TComponent* child) override;
  void Loaded() override;

 protected:
  // Opening without a content of its own. The base refuses: there is nothing to read rows
  // from. A subclass may call installRows.
  virtual void doOpen();
  // Makes `rows` (one column per stored field, in stored-field order) the content: active,
  // first row current, calculated fields computed for every row. When a computation raises,
  // the previous content (and state) is restored and the exception propagates.
  void installRows(RowStore rows);
  // Stored (non-calculated) fields in declared order; binds each to its column.
  std::vector<TField*> bindFields();
  const RowStore& rows() const { return content_.rows; }
  // The column of a bound stored field (or the slot of a bound calculated one).
  static int fieldSlot(const TField& field);
  // Posts or cancels a pending row, as navigation does.
  void checkBrowseMode();
  void checkActive() const;
  void checkInactive() const;
  // Raises EDatabaseError "<name>: <message>".
  [[noreturn]] void fail(const std::string& message) const;

 private:
  friend class TField;
  friend class TDataSource;

  // Everything that makes up the open content, swapped whole on load so a failed load can
  // put the previous content back.
  struct Content {
    RowStore rows;
    size_t current = 0;
    std::vector<FieldValue> pending;  // the row being inserted or edited, one per column
    size_t pendingIndex = 0;          // where an inserted row goes
    std::vector<FieldValue> calc;     // calculated values of the current row
  };
  struct Saved;

  FieldValue readValue(const TField& field) const;
  void writeValue(const TField& field, FieldValue value);
  void addField(TField* field);
  void removeField(TField* field);
  void computeCalcFields();
  void setCurrent(size_t index);
  void openPending(size_t index, bool inserting);
  void checkNotComputing(const char* operation) const;
  bool locateStored(const TField& field, const rtl::Variant& value, size_t& found) const;

  std::vector<TField*> fields_;
  std::vector<TDataSource*> sources_;
  TDataSetState state_ = TDataSetState::dsInactive;
  TDataSetState stateBeforeCalc_ = TDataSetState::dsInactive;
  Content content_;
  bool bof_ = true;
  bool eof_ = true;
  bool modified_ = false;
  size_t storedSlots_ = 0;
  size_t calcSlots_ = 0;
  bool openAfterLoading_ = false;
  bool autoCalcFields_ = true;
  tk::TNotifyEvent onCalcFields_;
  tk::TNotifyEvent onNewRecord_;
};

}  // namespace data
