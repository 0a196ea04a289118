#include <gtest/gtest.h>

#include "rtl/data_packet.h"
#include "rtl/exceptions.h"

namespace {

rtl::DataPacket twoRows() {
  rtl::DataPacket p({{"CDPRODUTO", rtl::FieldType::String, 10},
                     {"QT", rtl::FieldType::Integer, 0},
                     {"DT", rtl::FieldType::Date, 0}});
  p.column(0).appendString("0000000001");
  p.column(1).appendInteger(7);
  p.column(2).appendNumber(45657);
  p.commitRow();
  p.column(0).appendNull();
  p.column(1).appendNull();
  p.column(2).appendNumber(45351.5);
  p.commitRow();
  return p;
}

TEST(DataPacketTest, ColumnsHoldValuesAndNulls) {
  const rtl::DataPacket p = twoRows();
  EXPECT_EQ(p.rowCount(), 2u);
  EXPECT_EQ(p.fieldIndex("QT"), 1);
  EXPECT_EQ(p.fieldIndex("qt"), -1);
  EXPECT_EQ(p.column(0).string(0), "0000000001");
  EXPECT_TRUE(p.column(0).isNull(1));
  EXPECT_EQ(p.column(1).integer(0), 7);
  EXPECT_EQ(p.column(2).number(1), 45351.5);
}

TEST(DataPacketTest, ReplacingAndSelectingKeepValues) {
  rtl::DataPacket p = twoRows();
  p.column(0).setString(1, "0000000002-longer");
  p.column(0).setString(0, "x");
  EXPECT_EQ(p.column(0).string(0), "x");
  EXPECT_EQ(p.column(0).string(1), "0000000002-longer");
  const rtl::PacketColumn reversed = p.column(0).select({1, 0});
  EXPECT_EQ(reversed.string(0), "0000000002-longer");
  EXPECT_EQ(reversed.string(1), "x");
  EXPECT_FALSE(reversed == p.column(0));
  EXPECT_TRUE(p.column(0).select({0, 1}) == p.column(0));
}

TEST(DataPacketTest, RowsOfUnequalWidthAreRefused) {
  rtl::DataPacket p({{"A", rtl::FieldType::String, 1}, {"B", rtl::FieldType::String, 1}});
  p.column(0).appendString("a");
  EXPECT_THROW(p.commitRow(), rtl::EDatabaseError);
  EXPECT_EQ(rtl::FieldTypeFromName("date"), rtl::FieldType::Date);
  EXPECT_FALSE(rtl::FieldTypeFromName("money").has_value());
}

}  // namespace
