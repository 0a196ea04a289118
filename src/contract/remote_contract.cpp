#include "contract/remote_contract.h"

#include <vector>

namespace contract {

const Method* findMethod(const ServerObject& object, std::string_view name) {
  for (const Method* method : object.methods)
    if (method->name == name) return method;
  return nullptr;
}

rtl::DataPacket answerPacket(const Method& method) {
  std::vector<rtl::PacketField> fields;
  fields.reserve(method.answer.size());
  for (const Column& column : method.answer)
    fields.push_back({std::string(column.name), rtl::FieldType::String, column.size});
  return rtl::DataPacket(std::move(fields));
}

}  // namespace contract
