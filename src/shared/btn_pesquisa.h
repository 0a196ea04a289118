#pragma once
// TBtnPesquisa: the family's search button. Its search offers the rows of its data source in a
// pick list titled Title, with the data set's visible fields as columns; a pick leaves the
// picked row current for the after-search handler. A data set without rows shows EmptyError
// as an error instead of an empty list (when the button has one).

#include <string>

#include "toolkit/search_button.h"

namespace data {
class TDataSource;
}

namespace shared {

class TBtnPesquisa : public tk::TSearchButtonBase {
 public:
  explicit TBtnPesquisa(tk::TComponent* owner = nullptr);
  const char* ClassName() const override { return "TBtnPesquisa"; }

  data::TDataSource* DataSource() const { return dataSource_; }
  void SetDataSource(data::TDataSource* source) { dataSource_ = source; }

  void SetProperty(const std::string& name, const tk::PropValue& value) override;
  void Loaded() override;

 protected:
  bool OfferList() override;

 private:
  data::TDataSource* dataSource_ = nullptr;
  std::string dataSourceName_;
};

}  // namespace shared
