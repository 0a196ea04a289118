#include "shared/pesqlista.h"

#include "data/data_list.h"
#include "data/data_set.h"
#include "data/data_source.h"
#include "rtl/exceptions.h"
#include "toolkit/application.h"

namespace Pesqlista {

std::string MakeSelectionList(const std::vector<std::string>& keys, int width) {
  if (keys.empty()) return {};
  std::string list;
  list.reserve(keys.size() * (static_cast<size_t>(width) + 1) + 1);
  for (const std::string& key : keys) {
    list += '_';
    std::string fixed = key.substr(0, static_cast<size_t>(width));
    fixed.resize(static_cast<size_t>(width), ' ');
    list += fixed;
  }
  list += '_';
  return list;
}

std::vector<std::string> SelectionListKeys(std::string_view list, int width) {
  std::vector<std::string> keys;
  const size_t step = static_cast<size_t>(width) + 1;
  // Entry k starts with "_" at k * step and is closed by the "_" of the next one.
  for (size_t at = 0; at + step < list.size(); at += step) {
    if (list[at] != '_' || list[at + step] != '_') break;
    keys.emplace_back(list.substr(at + 1, static_cast<size_t>(width)));
  }
  return keys;
}

void PesquisaLista(data::TDataSource* source, const std::string& keyField,
                   const std::string& title, bool /*showAll*/, std::string& list) {
  data::TDataSet* dataSet = source ? source->DataSet() : nullptr;
  if (dataSet == nullptr) throw rtl::EDatabaseError("PesquisaLista: the data source has no data set");
  const int width = dataSet->FieldByName(keyField).Size();
  const data::DataSetList rows = data::ReadList(*dataSet, keyField);

  tk::PickManyRequest request;
  request.title = title;
  for (const data::ListColumn& c : rows.columns) request.columns.push_back({c.label, c.width});
  request.rows = rows.rows;
  request.keys = rows.keys;
  request.marked = SelectionListKeys(list, width);
  // Keys are compared as the list holds them, at the key field's width.
  for (std::string& key : request.keys) key.resize(static_cast<size_t>(width), ' ');

  const auto marked = tk::Application().PickMany().PickMany(request);
  if (!marked) return;
  list = MakeSelectionList(*marked, width);
}

}  // namespace Pesqlista
