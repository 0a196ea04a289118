#include "shared/pesqlista.h"

#include <optional>

#include "data/data_list.h"
#include "data/data_set.h"
#include "data/data_source.h"
#include "data/field.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"
#include "rtl/strings.h"
#include "toolkit/application.h"

namespace Pesqlista {

// Widths count characters, not bytes: a code with accented letters takes as many positions
// as one without, as the server reads the list.
std::string MakeSelectionList(const std::vector<std::string>& keys, int width) {
  if (keys.empty()) return {};
  std::string list;
  list.reserve(keys.size() * (static_cast<size_t>(width) + 1) + 1);
  for (const std::string& key : keys) {
    list += '_';
    const std::string_view fixed = rtl::Utf8Left(key, width);
    list += fixed;
    list.append(static_cast<size_t>(width - rtl::Utf8Length(fixed)), ' ');
  }
  list += '_';
  return list;
}

std::vector<std::string> SelectionListKeys(std::string_view list, int width) {
  std::vector<std::string> keys;
  // Each entry is a "_" and `width` characters, closed by the "_" that opens the next one.
  size_t at = 0;
  while (at < list.size() && list[at] == '_') {
    const std::string_view key = rtl::Utf8Left(list.substr(at + 1), width);
    const size_t next = at + 1 + key.size();
    if (rtl::Utf8Length(key) != width || next >= list.size() || list[next] != '_') break;
    keys.emplace_back(key);
    at = next;
  }
  return keys;
}

void PesquisaLista(data::TDataSource* source, const std::string& keyField, const std::string& title,
                   bool /*showAll*/, std::string& list) {
  data::TDataSet* dataSet = source ? source->DataSet() : nullptr;
  if (dataSet == nullptr)
    throw rtl::EDatabaseError(rtl::RuntimeMessage(rtl::RuntimeText::ListWithoutDataSet));
  const int width = dataSet->FieldByName(keyField).Size();
  const data::DataSetList rows = data::ReadList(*dataSet, keyField);

  // The mark column takes the place of IDMARCADO.
  const data::TField* markField = dataSet->FindField("IDMARCADO");
  std::optional<size_t> markColumn;
  size_t column = 0;
  for (const data::TField* field : dataSet->Fields()) {
    if (!field->Visible()) continue;
    if (field == markField) markColumn = column;
    ++column;
  }

  tk::PickManyRequest request;
  request.title = title;
  for (size_t c = 0; c < rows.columns.size(); ++c)
    if (c != markColumn) request.columns.push_back({rows.columns[c].label, rows.columns[c].width});
  request.rows.reserve(rows.rows.size());
  for (const auto& row : rows.rows) {
    std::vector<std::string> cells;
    for (size_t c = 0; c < row.size(); ++c)
      if (c != markColumn) cells.push_back(row[c]);
    request.rows.push_back(std::move(cells));
  }
  request.keys = rows.keys;
  request.marked = SelectionListKeys(list, width);
  // Keys are compared as the list holds them, at the key field's width.
  for (std::string& key : request.keys) key.resize(static_cast<size_t>(width), ' ');

  const auto marked = tk::Application().PickMany().PickMany(request);
  if (!marked) return;
  list = MakeSelectionList(*marked, width);
}

}  // namespace Pesqlista
