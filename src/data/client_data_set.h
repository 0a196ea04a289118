#pragma once
// TClientDataSet: a data set whose whole content comes from, and goes back as, a data packet.
// Assigning Data binds the packet's columns to the declared stored fields by name, checks
// every value, then replaces the content at once (active, first row current, calculated
// fields computed); any failure leaves the previous content as it was. Reading Data hands
// the stored fields' rows back as one packet (null when inactive). The fields are components
// declared by the definition (or created by the program) and attached before opening.

#include <memory>

#include "data/data_set.h"
#include "rtl/data_packet.h"
#include "rtl/variant.h"

namespace data {

class TClientDataSet : public TDataSet {
 public:
  explicit TClientDataSet(tk::TComponent* owner = nullptr) : TDataSet(owner) {}
  const char* ClassName() const override { return "TClientDataSet"; }

  // The content as a packet variant; Null when the data set is not active. A pending insert
  // or edit is posted first (or dropped when nothing was set in it).
  rtl::Variant Data();
  // Loads a packet variant. Null (or Empty) closes the data set; any other kind than a packet
  // raises EVariantError.
  void SetData(const rtl::Variant& data);

  // The same without the variant. The rvalue form moves the columns in instead of copying.
  void LoadPacket(const rtl::DataPacket& packet);
  void LoadPacket(rtl::DataPacket&& packet);
  // The stored fields' rows in shown order: one column per stored field (hidden ones too,
  // calculated ones not), named and sized as the fields are. The data set must be active.
  rtl::DataPacket ToPacket();

  // Makes the data set active and empty with its declared fields.
  void CreateDataSet();

  void SetProperty(const std::string& name, const tk::PropValue& value) override;

 private:
  template <class Packet>
  void load(Packet&& packet);
};

}  // namespace data
