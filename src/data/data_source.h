#pragma once
// TDataSource: names the data set that a consumer (a search button, a list, a validator)
// reaches rows and fields through. The definition gives the data set by name; the name is
// resolved among the owner's components once the whole definition is read. The data source
// does not own the data set; when the data set is freed first, DataSet() becomes nullptr.

#include <string>

#include "toolkit/component.h"

namespace data {

class TDataSet;

class TDataSource : public tk::TComponent {
 public:
  explicit TDataSource(tk::TComponent* owner = nullptr) : tk::TComponent(owner) {}
  ~TDataSource() override;
  const char* ClassName() const override { return "TDataSource"; }

  TDataSet* DataSet() const { return dataSet_; }
  void SetDataSet(TDataSet* dataSet);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled) { enabled_ = enabled; }
  bool AutoEdit() const { return autoEdit_; }
  void SetAutoEdit(bool autoEdit) { autoEdit_ = autoEdit; }

  void SetProperty(const std::string& name, const tk::PropValue& value) override;
  // Resolves the DataSet name given by the definition; an unknown name or a component that
  // is not a data set raises EDefinitionError.
  void Loaded() override;

 private:
  friend class TDataSet;
  TDataSet* dataSet_ = nullptr;
  std::string dataSetName_;
  bool enabled_ = true;
  bool autoEdit_ = true;
};

}  // namespace data
