#include "data/data_list.h"

#include "data/data_set.h"

namespace data {

namespace {

std::vector<TField*> visibleFields(const TDataSet& dataSet) {
  std::vector<TField*> out;
  for (TField* f : dataSet.Fields())
    if (f->Visible()) out.push_back(f);
  return out;
}

}  // namespace

std::vector<ListColumn> ListColumns(const TDataSet& dataSet) {
  std::vector<ListColumn> columns;
  for (const TField* f : visibleFields(dataSet))
    columns.push_back({f->DisplayLabel(), f->DisplayWidth(), f->Alignment()});
  return columns;
}

DataSetList ReadList(TDataSet& dataSet, std::string_view keyField) {
  DataSetList list;
  list.columns = ListColumns(dataSet);
  const std::vector<TField*> shown = visibleFields(dataSet);
  TField* key = keyField.empty() ? nullptr : &dataSet.FieldByName(keyField);
  dataSet.VisitRows([&](size_t) {
    std::vector<std::string> texts;
    texts.reserve(shown.size());
    for (const TField* f : shown) texts.push_back(f->DisplayText());
    list.rows.push_back(std::move(texts));
    if (key) list.keys.push_back(key->AsString());
  });
  return list;
}

}  // namespace data
