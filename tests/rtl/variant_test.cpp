#include <gtest/gtest.h>

#include "rtl/exceptions.h"
#include "rtl/variant.h"

namespace {

TEST(VariantTest, KindsAndConversions) {
  EXPECT_EQ(rtl::Variant().kind(), rtl::VarKind::Empty);
  EXPECT_EQ(rtl::Variant::Null().kind(), rtl::VarKind::Null);
  EXPECT_EQ(rtl::Variant("T").asString(), "T");
  EXPECT_EQ(rtl::Variant(0).kind(), rtl::VarKind::Integer);
  EXPECT_EQ(rtl::Variant(0).asDate(), 0);
  EXPECT_EQ(rtl::Variant::FromDate(45657).asDate(), 45657);
  EXPECT_EQ(rtl::Variant::FromDate(45657).kind(), rtl::VarKind::Date);
  EXPECT_EQ(rtl::Variant::FromBool(true).asWordBool(), -1);
  EXPECT_EQ(rtl::Variant::FromBool(false).asWordBool(), 0);
  EXPECT_EQ(rtl::Variant::FromBool(true).asInteger(), -1);
}

TEST(VariantTest, ByReferenceSeesTheCallersVariable) {
  std::string format = "dd/mm/yyyy";
  const rtl::Variant v = rtl::Variant::ByRef(format);
  EXPECT_EQ(v.kind(), rtl::VarKind::StringRef);
  format = "mm/dd/yy";
  EXPECT_EQ(v.asString(), "mm/dd/yy");
  v.refTarget() = "x";
  EXPECT_EQ(format, "x");
}

TEST(VariantTest, WrongConversionsRaiseNamingBothKinds) {
  try {
    rtl::Variant("abc").asDate();
    FAIL();
  } catch (const rtl::EVariantError& e) {
    EXPECT_EQ(e.message(),
              "Não foi possível converter um valor do tipo (String) para o tipo (Date)");
  }
  EXPECT_THROW(rtl::Variant().asString(), rtl::EVariantError);
  EXPECT_THROW(rtl::Variant(3).asArray(), rtl::EVariantError);
  EXPECT_THROW(rtl::Variant("x").refTarget(), rtl::EVariantError);
}

TEST(VariantTest, PacketsAndNull) {
  EXPECT_EQ(rtl::Variant::Null().asPacket(), nullptr);
  auto packet = std::make_shared<const rtl::DataPacket>(
      std::vector<rtl::PacketField>{{"CDPRODUTO", rtl::FieldType::String, 10}});
  rtl::Variant v(packet);
  EXPECT_EQ(v.kind(), rtl::VarKind::Packet);
  EXPECT_EQ(v.asPacket().get(), packet.get());
  EXPECT_EQ(rtl::Variant(std::shared_ptr<const rtl::DataPacket>()).kind(), rtl::VarKind::Null);
  EXPECT_THROW(rtl::Variant("x").asPacket(), rtl::EVariantError);

  const auto answer = rtl::Variant::FromArray({0, "", rtl::Variant::Null()});
  ASSERT_EQ(answer.asArray().size(), 3u);
  EXPECT_EQ(answer.asArray()[0].asInteger(), 0);
}

}  // namespace
