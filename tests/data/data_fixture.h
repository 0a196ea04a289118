#pragma once
// Helpers of the data tests: a small owner standing for the form, packets built from rows of
// texts, and a data set printed whole to one string.

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "data/client_data_set.h"
#include "data/fields.h"
#include "rtl/data_packet.h"
#include "toolkit/component.h"

namespace datatest {

// A string field of `size` named `name`, owned by `owner` and attached to `ds`.
inline data::TStringField* addString(tk::TComponent& owner, data::TDataSet& ds,
                                     const std::string& name, int size) {
  auto* f = owner.Create<data::TStringField>();
  f->SetName(ds.Name() + name);
  f->SetFieldName(name);
  f->SetSize(size);
  f->SetDataSet(&ds);
  return f;
}

using Cell = std::optional<std::string>;  // nullopt is null

// A packet of string columns (name, size) with the given rows.
inline rtl::DataPacket stringPacket(const std::vector<std::pair<std::string, int>>& columns,
                                    const std::vector<std::vector<Cell>>& rows) {
  std::vector<rtl::PacketField> fields;
  for (const auto& [name, size] : columns) fields.push_back({name, rtl::FieldType::String, size});
  rtl::DataPacket p(std::move(fields));
  for (const auto& row : rows) {
    for (size_t c = 0; c < row.size(); ++c) {
      if (row[c]) {
        p.column(c).appendString(*row[c]);
      } else {
        p.column(c).appendNull();
      }
    }
    p.commitRow();
  }
  return p;
}

// Every row as "v1,v2;" with null as "~", the current row marked with "*" (a closed data set
// prints "closed"). Reads AsString of every field, calculated ones included.
inline std::string dump(data::TDataSet& ds) {
  if (!ds.Active()) return "closed";
  std::string out;
  const int current = ds.RecNo() - 1;
  ds.VisitRows([&](size_t i) {
    if (static_cast<int>(i) == current) out += "*";
    for (size_t f = 0; f < ds.Fields().size(); ++f) {
      const data::TField* field = ds.Fields()[f];
      out += (f ? "," : "") + (field->IsNull() ? std::string("~") : field->AsString());
    }
    out += ";";
  });
  return out;
}

}  // namespace datatest
