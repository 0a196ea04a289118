#pragma once
// Binding a data packet to the stored fields of a data set before it is loaded: each field
// takes the packet column of exactly its name (order-free; extra columns are ignored), and
// every value must fit the field. Nothing is loaded when anything does not fit.

#include <string>
#include <vector>

#include "rtl/data_packet.h"

namespace data {

class TField;

// For each stored field, the index of its packet column. Raises EDatabaseError naming the
// data set and the field when a column is missing, of another type, or holds a value the
// field cannot take (a text longer than its size, an integer out of its range).
std::vector<size_t> BindPacket(const std::string& dataSetName, const std::vector<TField*>& fields,
                               const rtl::DataPacket& packet);

}  // namespace data
