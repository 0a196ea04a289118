#include "shared/adoib_query.h"

#include "rtl/exceptions.h"
#include "rtl/strings.h"
#include "shared/dtm_db_geral.h"

namespace shared {

namespace {

// A parameter as the definition writes it: ('P_CDFILIAL' ftString ptUnknown).
TQueryParam paramFrom(const tk::PropValue& item) {
  const bool shaped = item.kind == tk::PropValue::Kind::List && item.items.size() == 3 &&
                      item.items[0].kind == tk::PropValue::Kind::String &&
                      item.items[1].kind == tk::PropValue::Kind::Identifier &&
                      item.items[2].kind == tk::PropValue::Kind::Identifier;
  if (!shaped)
    throw tk::EDefinitionError("property Params: each parameter is ('Name' DataType ParamType)");
  return {item.items[0].text, item.items[1].text, item.items[2].text};
}

}  // namespace

const TQueryParam* TADOIBQuery::FindParam(std::string_view name) const {
  for (const TQueryParam& p : params_)
    if (rtl::SameText(p.name, name)) return &p;
  return nullptr;
}

tk::TComponent* TADOIBQuery::ADOConnection() const {
  return adoConnection_.empty() ? nullptr : ResolveComponentPath(*this, adoConnection_);
}

tk::TComponent* TADOIBQuery::DataBase() const {
  return dataBase_.empty() ? nullptr : ResolveComponentPath(*this, dataBase_);
}

tk::TComponent* TADOIBQuery::Transaction() const {
  return transaction_.empty() ? nullptr : ResolveComponentPath(*this, transaction_);
}

void TADOIBQuery::doOpen() {
  fail("this query is never opened; its rows come from the application server");
}

void TADOIBQuery::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "SQL" || name == "SQL.Strings") {
    sql_ = value.asStrings(name);
  } else if (name == "Params") {
    if (value.kind != tk::PropValue::Kind::List)
      throw tk::EDefinitionError("property Params: a list of parameters is expected");
    std::vector<TQueryParam> params;
    for (const tk::PropValue& item : value.items) params.push_back(paramFrom(item));
    params_ = std::move(params);
  } else if (name == "ADOConnection") {
    adoConnection_ = value.asIdentifier(name);
  } else if (name == "DataBase") {
    dataBase_ = value.asIdentifier(name);
  } else if (name == "Transaction") {
    transaction_ = value.asIdentifier(name);
  } else if (name == "ADOCacheSize") {
    cacheSize_ = static_cast<int>(value.asInteger(name));
  } else if (name == "ADOMaxRecords") {
    maxRecords_ = static_cast<int>(value.asInteger(name));
  } else if (name == "ADOCursorLocation") {
    cursorLocation_ = value.asIdentifier(name);
  } else if (name == "ADOCursorType") {
    cursorType_ = value.asIdentifier(name);
  } else if (name == "ADOLockType") {
    lockType_ = value.asIdentifier(name);
  } else if (name == "ADOMarshalOptions") {
    marshalOptions_ = value.asIdentifier(name);
  } else if (name == "ADOExecuteOptions") {
    if (value.kind != tk::PropValue::Kind::Set)
      throw tk::EDefinitionError("property ADOExecuteOptions: a set is expected");
    executeOptions_.clear();
    for (const tk::PropValue& item : value.items)
      executeOptions_.push_back(item.asIdentifier(name));
  } else if (name == "ADOEnableBCD") {
    enableBCD_ = value.asBoolean(name);
  } else if (name == "ADOFiltered") {
    filtered_ = value.asBoolean(name);
  } else if (name == "ADOPrepared") {
    prepared_ = value.asBoolean(name);
  } else if (name == "ParamCheck") {
    paramCheck_ = value.asBoolean(name);
  } else if (name == "CachedUpdates") {
    cachedUpdates_ = value.asBoolean(name);
  } else if (name == "ObjectView") {
    objectView_ = value.asBoolean(name);
  } else if (name == "Constraints") {
    // Record constraints would be checked on posting, which a never-opened query never does.
    if (value.kind != tk::PropValue::Kind::List || !value.items.empty())
      throw tk::EDefinitionError(Name() + ": Constraints must be empty");
  } else {
    data::TDataSet::SetProperty(name, value);
  }
}

}  // namespace shared
