#include "data/data_source.h"

#include <algorithm>

#include "data/data_set.h"

namespace data {

TDataSource::~TDataSource() {
  SetDataSet(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) return;
  if (dataSet_) {
    auto& list = dataSet_->sources_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  dataSet_ = dataSet;
  if (dataSet_) dataSet_->sources_.push_back(this);
}

void TDataSource::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "DataSet") {
    dataSetName_ = value.asIdentifier(name);
    if (!Loading()) Loaded();
  } else if (name == "Enabled") {
    enabled_ = value.asBoolean(name);
  } else if (name == "AutoEdit") {
    autoEdit_ = value.asBoolean(name);
  } else if (name == "Left" || name == "Top") {
    value.asInteger(name);  // where the designer placed the icon; nothing at run time
  } else {
    tk::TComponent::SetProperty(name, value);
  }
}

void TDataSource::Loaded() {
  tk::TComponent::Loaded();
  if (dataSetName_.empty()) return;
  tk::TComponent* found = Owner() ? Owner()->FindComponent(dataSetName_) : nullptr;
  if (!found) throw tk::EDefinitionError(Name() + ": DataSet " + dataSetName_ + " not found");
  auto* dataSet = dynamic_cast<TDataSet*>(found);
  if (!dataSet)
    throw tk::EDefinitionError(Name() + ": " + dataSetName_ + " is a " + found->ClassName() +
                               ", not a data set");
  SetDataSet(dataSet);
  dataSetName_.clear();
}

}  // namespace data
