#pragma once
// What a list (a pick list, a multi-selection list) shows of a data set: the visible fields
// in declared order as columns with their labels and widths, and each row's display texts.
// Reading the rows computes each row's calculated fields as it is read; afterwards the
// data set's current row and its values are as they were. A list that lets the user pick a
// row makes it current with TDataSet::MoveTo.

#include <string>
#include <string_view>
#include <vector>

#include "data/field.h"

namespace data {

class TDataSet;

struct ListColumn {
  std::string label;
  int width = 0;  // characters
  TAlignment alignment = TAlignment::taLeftJustify;

  bool operator==(const ListColumn&) const = default;
};

struct DataSetList {
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;  // display texts, one per column
  std::vector<std::string> keys;               // the key field's AsString per row, if asked

  bool operator==(const DataSetList&) const = default;
};

std::vector<ListColumn> ListColumns(const TDataSet& dataSet);
// Every row in shown order. With a key field name, also each row's value of that field (a
// field that may be hidden). A calculation that fails propagates its exception.
DataSetList ReadList(TDataSet& dataSet, std::string_view keyField = {});

}  // namespace data
