#include "data/client_data_set.h"

#include "data/field.h"
#include "data/packet_binding.h"
#include "rtl/exceptions.h"
#include "rtl/runtime_texts.h"

namespace data {

template <class Packet>
void TClientDataSet::load(Packet&& packet) {
  const std::vector<TField*> stored = bindFields();
  const std::vector<size_t> columns = BindPacket(Name(), stored, packet);
  std::vector<rtl::PacketColumn> taken;
  taken.reserve(columns.size());
  for (size_t index : columns) {
    if constexpr (std::is_rvalue_reference_v<Packet&&>) {
      taken.push_back(std::move(packet.column(index)));
    } else {
      taken.push_back(packet.column(index));
    }
  }
  installRows(RowStore(std::move(taken), packet.rowCount()));
}

void TClientDataSet::LoadPacket(const rtl::DataPacket& packet) {
  load(packet);
}

void TClientDataSet::LoadPacket(rtl::DataPacket&& packet) {
  load(std::move(packet));
}

void TClientDataSet::SetData(const rtl::Variant& data) {
  if (data.isNull() || data.isEmpty()) {
    Close();
    return;
  }
  const std::shared_ptr<const rtl::DataPacket> packet = data.asPacket();
  LoadPacket(*packet);
}

rtl::DataPacket TClientDataSet::ToPacket() {
  checkActive();
  checkBrowseMode();
  std::vector<rtl::PacketField> defs;
  std::vector<const TField*> stored;
  for (const TField* f : Fields()) {
    if (f->Calculated() || fieldSlot(*f) < 0) continue;
    defs.push_back({f->FieldName(), f->DataType(), f->Size()});
    stored.push_back(f);
  }
  rtl::DataPacket packet(std::move(defs));
  for (size_t i = 0; i < stored.size(); ++i)
    packet.column(i) = rows().columnInOrder(static_cast<size_t>(fieldSlot(*stored[i])));
  packet.setRowCount(rows().rowCount());
  return packet;
}

rtl::Variant TClientDataSet::Data() {
  if (!Active()) return rtl::Variant::Null();
  return rtl::Variant(std::make_shared<const rtl::DataPacket>(ToPacket()));
}

void TClientDataSet::CreateDataSet() {
  if (Fields().empty()) fail(rtl::RuntimeMessage(rtl::RuntimeText::DataSetWithoutFields));
  std::vector<rtl::FieldType> types;
  for (const TField* f : bindFields()) types.push_back(f->DataType());
  installRows(RowStore(types));
}

void TClientDataSet::SetProperty(const std::string& name, const tk::PropValue& value) {
  if (name == "Aggregates" || name == "Params") {
    // Aggregates and provider parameters need a provider; this client has none.
    if (!value.items.empty() || value.kind != tk::PropValue::Kind::List)
      throw tk::EDefinitionError(Name() + ": " + name + " must be empty");
  } else if (name == "ProviderName") {
    if (!value.asString(name).empty())
      throw tk::EDefinitionError(Name() + ": data providers are not supported");
  } else {
    TDataSet::SetProperty(name, value);
  }
}

}  // namespace data
