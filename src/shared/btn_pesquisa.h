#pragma once
// TBtnPesquisa: the family's search button. Its search offers the rows of its data source in a
// pick list titled Title, with the data set's visible fields as columns; a pick leaves the
// picked row current for the after-search handler. A data set without rows shows EmptyError
// as an error instead of an empty list (when the button has one). A button that offers a
// multi-selection list can show in its hint how many rows are marked (SetMarkedCount).

#include <optional>
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
  // How many rows the list the button serves holds marked; the hint says it from then on.
  void SetMarkedCount(int count);
  std::string ShownHint() const override;

  void SetProperty(const std::string& name, const tk::PropValue& value) override;
  void Loaded() override;

 protected:
  bool OfferList() override;

 private:
  data::TDataSource* dataSource_ = nullptr;
  std::string dataSourceName_;
  std::optional<int> marked_;
};

}  // namespace shared
