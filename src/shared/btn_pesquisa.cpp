#include "shared/btn_pesquisa.h"

#include "data/data_list.h"
#include "data/data_set.h"
#include "data/data_source.h"
#include "rtl/runtime_texts.h"
#include "toolkit/application.h"

namespace shared {

TBtnPesquisa::TBtnPesquisa(tk::TComponent* owner) : tk::TSearchButtonBase(owner) {}

void TBtnPesquisa::SetMarkedCount(int count) {
  if (marked_ == count) return;
  marked_ = count;
  Notify(tk::Prop::Hint);
}

std::string TBtnPesquisa::ShownHint() const {
  const std::string hint = tk::TSearchButtonBase::ShownHint();
  if (!marked_) return hint;
  const std::string count =
      rtl::RuntimeMessage(rtl::RuntimeText::MarkedCount, {std::to_string(*marked_)});
  return hint.empty() ? count : hint + "\n" + count;
}

void TBtnPesquisa::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "DataSource") {
    dataSourceName_ = value.asIdentifier(name);
  } else {
    tk::TSearchButtonBase::SetProperty(name, value);
  }
}

void TBtnPesquisa::Loaded() {
  tk::TSearchButtonBase::Loaded();
  if (dataSourceName_.empty()) return;
  tk::TComponent* found = Owner() ? Owner()->FindComponent(dataSourceName_) : nullptr;
  dataSource_ = dynamic_cast<data::TDataSource*>(found);
  if (dataSource_ == nullptr)
    throw tk::EDefinitionError(Name() + ": DataSource " + dataSourceName_ +
                               " is not a data source of the form");
}

bool TBtnPesquisa::OfferList() {
  data::TDataSet* dataSet = dataSource_ ? dataSource_->DataSet() : nullptr;
  if (dataSet == nullptr) return false;
  if (dataSet->IsEmpty() && !EmptyError().empty()) {
    tk::Application().Dialogs().ShowError(EmptyError());
    return false;
  }
  tk::PickOneRequest request;
  request.title = Title();
  if (dataSet->Active()) {
    const data::DataSetList list = data::ReadList(*dataSet);
    for (const data::ListColumn& c : list.columns) request.columns.push_back({c.label, c.width});
    request.rows = list.rows;
  } else {
    for (const data::ListColumn& c : data::ListColumns(*dataSet))
      request.columns.push_back({c.label, c.width});
  }
  const auto picked = tk::Application().PickOne().PickOne(request);
  if (!picked || *picked < 0 || *picked >= static_cast<int>(request.rows.size())) return false;
  dataSet->MoveTo(static_cast<size_t>(*picked));
  return true;
}

}  // namespace shared
