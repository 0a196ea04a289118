#pragma once
// TADOIBQuery and its field classes: a database query held as a definition only. A screen
// may carry one (its SQL, parameters, fields, calculated-field handler and the names of the
// connections it would use) although its rows always come from the application server; the
// query is never opened, and any attempt to open it raises EDatabaseError. The connection
// names are kept as written and resolved on request through the shared data module, so a
// missing module or connection breaks nothing.

#include <string>
#include <vector>

#include "data/data_set.h"
#include "data/fields.h"

namespace shared {

// One parameter of the SQL: ":P_CDFILIAL" is named "P_CDFILIAL".
struct TQueryParam {
  std::string name;
  std::string dataType;   // "ftString", "ftDateTime", ...
  std::string paramType;  // "ptUnknown", "ptInput", ...

  bool operator==(const TQueryParam&) const = default;
};

class TADOIBQuery : public data::TDataSet {
 public:
  explicit TADOIBQuery(tk::TComponent* owner = nullptr) : data::TDataSet(owner) {}
  const char* ClassName() const override { return "TADOIBQuery"; }

  const std::vector<std::string>& SQL() const { return sql_; }
  const std::vector<TQueryParam>& Params() const { return params_; }
  // nullptr when no parameter has that name (compared without regard to case).
  const TQueryParam* FindParam(std::string_view name) const;

  // The connection references as the definition writes them ("dtmDBGeral.adcGeral").
  const std::string& ADOConnectionName() const { return adoConnection_; }
  const std::string& DataBaseName() const { return dataBase_; }
  const std::string& TransactionName() const { return transaction_; }
  // The components those names resolve to now, or nullptr.
  tk::TComponent* ADOConnection() const;
  tk::TComponent* DataBase() const;
  tk::TComponent* Transaction() const;

  // The remaining settings of the definition, kept for whoever reads them.
  int ADOCacheSize() const { return cacheSize_; }
  int ADOMaxRecords() const { return maxRecords_; }
  const std::string& ADOCursorLocation() const { return cursorLocation_; }
  const std::string& ADOCursorType() const { return cursorType_; }
  const std::string& ADOLockType() const { return lockType_; }
  const std::string& ADOMarshalOptions() const { return marshalOptions_; }
  const std::vector<std::string>& ADOExecuteOptions() const { return executeOptions_; }
  bool ADOEnableBCD() const { return enableBCD_; }
  bool ADOFiltered() const { return filtered_; }
  bool ADOPrepared() const { return prepared_; }
  bool ParamCheck() const { return paramCheck_; }
  bool CachedUpdates() const { return cachedUpdates_; }
  bool ObjectView() const { return objectView_; }

  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 protected:
  void doOpen() override;

 private:
  std::vector<std::string> sql_;
  std::vector<TQueryParam> params_;
  std::string adoConnection_, dataBase_, transaction_;
  std::string cursorLocation_, cursorType_, lockType_, marshalOptions_;
  std::vector<std::string> executeOptions_;
  int cacheSize_ = 1;
  int maxRecords_ = 0;
  bool enableBCD_ = true;
  bool filtered_ = false;
  bool prepared_ = false;
  bool paramCheck_ = true;
  bool cachedUpdates_ = false;
  bool objectView_ = false;
};

class TADOIBDateTimeField : public data::TDateTimeField {
 public:
  using data::TDateTimeField::TDateTimeField;
  const char* ClassName() const override { return "TADOIBDateTimeField"; }
};

class TADOIBStringField : public data::TStringField {
 public:
  using data::TStringField::TStringField;
  const char* ClassName() const override { return "TADOIBStringField"; }
};

}  // namespace shared
