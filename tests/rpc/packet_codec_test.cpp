#include <gtest/gtest.h>

#include <random>

#include "data/client_data_set.h"
#include "data/fields.h"
#include "rpc/packet_codec.h"
#include "rtl/exceptions.h"

namespace {

std::string hex(std::string_view bytes) {
  static const char* digits = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// Builds MessagePack bytes with a packer, for packets written by hand.
struct Bytes {
  msgpack::sbuffer buffer;
  msgpack::packer<msgpack::sbuffer> pk{buffer};
  std::string str() const { return std::string(buffer.data(), buffer.size()); }
};

void packDateExt(msgpack::packer<msgpack::sbuffer>& pk, const char (&payload)[9]) {
  pk.pack_ext(8, 2);
  pk.pack_ext_body(payload, 8);
}

// The message of the refusal, or "accepted".
std::string refusal(std::string_view bytes) {
  try {
    rpc::decodePacket(bytes);
  } catch (const rtl::EDatabaseError& e) {
    return e.what();
  }
  return "accepted";
}

rtl::DataPacket everyKind() {
  rtl::DataPacket p({{"NOME", rtl::FieldType::String, 5},
                     {"QT", rtl::FieldType::Integer, 0},
                     {"VR", rtl::FieldType::Float, 0},
                     {"OK", rtl::FieldType::Boolean, 0},
                     {"DT", rtl::FieldType::Date, 0}});
  p.column(0).appendString("Ação");
  p.column(1).appendInteger(-5);
  p.column(2).appendNumber(2.25);
  p.column(3).appendBoolean(true);
  p.column(4).appendNumber(45657.75);
  p.commitRow();
  for (size_t c = 0; c < 5; ++c) p.column(c).appendNull();
  p.commitRow();
  p.column(0).appendString("");
  p.column(1).appendInteger(INT64_MAX);
  p.column(2).appendNumber(-1e300);
  p.column(3).appendBoolean(false);
  p.column(4).appendNumber(-1);
  p.commitRow();
  return p;
}

TEST(PacketCodecTest, EncodesTheMapOfFieldsAndRows) {
  rtl::DataPacket p({{"A", rtl::FieldType::String, 2}, {"D", rtl::FieldType::Date, 0}});
  p.column(0).appendString("x");
  p.column(1).appendNumber(1.5);
  p.commitRow();
  p.column(0).appendNull();
  p.column(1).appendNull();
  p.commitRow();
  EXPECT_EQ(hex(rpc::encodePacket(p)),
            "82 a6 66 69 65 6c 64 73 92 93 a1 41 a6 73 74 72 69 6e 67 02 "
            "93 a1 44 a4 64 61 74 65 00 "
            "a4 72 6f 77 73 92 92 a1 78 d7 02 3f f8 00 00 00 00 00 00 92 c0 c0");
}

TEST(PacketCodecTest, EveryKindOfValueSurvivesARoundTrip) {
  const rtl::DataPacket p = everyKind();
  EXPECT_EQ(rpc::decodePacket(rpc::encodePacket(p)), p);
  const rtl::DataPacket empty({{"A", rtl::FieldType::String, 1}});
  EXPECT_EQ(rpc::decodePacket(rpc::encodePacket(empty)), empty);
  EXPECT_EQ(rpc::decodePacket(rpc::encodePacket(rtl::DataPacket())), rtl::DataPacket());

  // Keys in the other order, an integer in a float column, and a size-2 field holding two
  // two-byte characters are all accepted.
  Bytes b;
  b.pk.pack_map(2);
  b.pk.pack(std::string("rows"));
  b.pk.pack_array(1);
  b.pk.pack_array(2);
  b.pk.pack(7);
  b.pk.pack(std::string("ÁÉ"));
  b.pk.pack(std::string("fields"));
  b.pk.pack_array(2);
  b.pk.pack(std::make_tuple(std::string("VR"), std::string("float"), 0));
  b.pk.pack(std::make_tuple(std::string("NM"), std::string("string"), 2));
  const rtl::DataPacket read = rpc::decodePacket(b.str());
  EXPECT_EQ(read.column(0).number(0), 7.0);
  EXPECT_EQ(read.column(1).string(0), "ÁÉ");
}

TEST(PacketCodecTest, WholeNumbersAtTheEdgesOfTheIntegerRangesSurviveARoundTrip) {
  // The writer sends a whole number as an integer when one holds it, as a float64 otherwise;
  // 2^64 is the first that no integer holds.
  const double values[] = {18446744073709551616.0,
                           18446744073709549568.0,
                           9223372036854775808.0,
                           -9223372036854775808.0,
                           -9223372036854777856.0,
                           36893488147419103232.0,
                           3.0,
                           -0.0};
  rtl::DataPacket p({{"VR", rtl::FieldType::Float, 0}});
  for (double v : values) {
    p.column(0).appendNumber(v);
    p.commitRow();
  }
  const rtl::DataPacket read = rpc::decodePacket(rpc::encodePacket(p));
  ASSERT_EQ(read.rowCount(), std::size(values));
  for (size_t row = 0; row < std::size(values); ++row)
    EXPECT_EQ(read.column(0).number(row), values[row]) << "row " << row;
  rtl::DataPacket edge({{"VR", rtl::FieldType::Float, 0}});
  edge.column(0).appendNumber(18446744073709551616.0);
  edge.commitRow();
  const std::string bytes = hex(rpc::encodePacket(edge));
  EXPECT_EQ(bytes.substr(bytes.size() - 26), "cb 43 f0 00 00 00 00 00 00");
}

// A packet of one field (name, type, size) and the rows written by `rows`.
template <class WriteRows>
std::string onePacket(const std::string& type, int size, WriteRows&& rows) {
  Bytes b;
  b.pk.pack_map(2);
  b.pk.pack(std::string("fields"));
  b.pk.pack_array(1);
  b.pk.pack(std::make_tuple(std::string("F"), type, size));
  b.pk.pack(std::string("rows"));
  rows(b.pk);
  return b.str();
}

// One row holding one value written by `value`.
template <class WriteValue>
std::string oneValue(const std::string& type, int size, WriteValue&& value) {
  return onePacket(type, size, [&](auto& pk) {
    pk.pack_array(1);
    pk.pack_array(1);
    value(pk);
  });
}

TEST(PacketCodecTest, ValuesOfTheWrongKindForTheirColumnAreRefused) {
  const char date[9] = "\x40\xe6\x4b\x38\x00\x00\x00\x00";  // 45657.75
  EXPECT_EQ(refusal(oneValue("string", 3, [](auto& pk) { pk.pack(5); })),
            "data packet: row 1, field 'F': a string expected (column type string)");
  EXPECT_EQ(refusal(oneValue("integer", 0, [](auto& pk) { pk.pack(1.5); })),
            "data packet: row 1, field 'F': an integer expected (column type integer)");
  EXPECT_EQ(refusal(oneValue("integer", 0, [](auto& pk) { pk.pack(UINT64_MAX); })),
            "data packet: row 1, field 'F': integer out of range");
  EXPECT_EQ(refusal(oneValue("boolean", 0, [](auto& pk) { pk.pack(1); })),
            "data packet: row 1, field 'F': a boolean expected (column type boolean)");
  EXPECT_EQ(refusal(oneValue("date", 0, [](auto& pk) { pk.pack(45657.0); })),
            "data packet: row 1, field 'F': a date (ext type 2) expected (column type date)");
  EXPECT_EQ(refusal(oneValue("date", 0,
                             [](auto& pk) {
                               pk.pack_ext(4, 2);
                               pk.pack_ext_body("\0\0\0\0", 4);
                             })),
            "data packet: row 1, field 'F': a date is ext type 2 with 8 bytes");
  EXPECT_EQ(refusal(oneValue("date", 0,
                             [](auto& pk) {
                               pk.pack_ext(8, 1);
                               pk.pack_ext_body("\0\0\0\0\0\0\0\0", 8);
                             })),
            "data packet: row 1, field 'F': a date is ext type 2 with 8 bytes");
  EXPECT_EQ(refusal(oneValue("string", 2, [](auto& pk) { pk.pack(std::string("abc")); })),
            "data packet: row 1, field 'F': 3 characters, more than the field's size 2");
  EXPECT_EQ(refusal(oneValue("string", 9, [](auto& pk) { pk.pack(std::string("a\xff")); })),
            "data packet: row 1, field 'F': the text is not valid UTF-8");
  // Null fits every column.
  for (const char* type : {"string", "integer", "float", "boolean", "date"})
    EXPECT_EQ(refusal(oneValue(type, 0, [](auto& pk) { pk.pack_nil(); })), "accepted") << type;
  const rtl::DataPacket dated =
      rpc::decodePacket(oneValue("date", 0, [&](auto& pk) { packDateExt(pk, date); }));
  EXPECT_EQ(dated.column(0).number(0), 45657.75);
}

TEST(PacketCodecTest, MalformedStructureIsRefusedWithWhatIsWrong) {
  auto packed = [](auto&& write) {
    Bytes b;
    write(b.pk);
    return b.str();
  };
  using Pk = msgpack::packer<msgpack::sbuffer>;
  EXPECT_EQ(refusal(packed([](Pk& pk) { pk.pack_array(0); })), "data packet: not a map");
  EXPECT_EQ(refusal(packed([](Pk& pk) {
              pk.pack_map(1);
              pk.pack(std::string("fields"));
              pk.pack_array(0);
            })),
            "data packet: the key \"rows\" is missing");
  EXPECT_EQ(refusal(packed([](Pk& pk) {
              pk.pack_map(3);
              pk.pack(std::string("fields"));
              pk.pack_array(0);
              pk.pack(std::string("rows"));
              pk.pack_array(0);
              pk.pack(std::string("extra"));
              pk.pack_nil();
            })),
            "data packet: a map with exactly the keys \"fields\" and \"rows\" is expected");
  EXPECT_EQ(refusal(packed([](Pk& pk) {
              pk.pack_map(2);
              pk.pack(std::string("rows"));
              pk.pack_array(0);
              pk.pack(std::string("rows"));
              pk.pack_array(0);
            })),
            "data packet: the key \"rows\" appears twice");
  EXPECT_EQ(refusal(onePacket("money", 0, [](Pk& pk) { pk.pack_array(0); })),
            "data packet: field 1 ('F'): unknown type \"money\"");
  EXPECT_EQ(refusal(onePacket("string", -1, [](Pk& pk) { pk.pack_array(0); })),
            "data packet: field 1 ('F'): the size is not a non-negative integer");
  EXPECT_EQ(refusal(onePacket("date", 8, [](Pk& pk) { pk.pack_array(0); })),
            "data packet: field 1 ('F'): a date field has size 0");
  EXPECT_EQ(refusal(onePacket("string", 1,
                              [](Pk& pk) {
                                pk.pack_array(2);
                                pk.pack_array(1);
                                pk.pack_nil();
                                pk.pack_array(2);
                                pk.pack_nil();
                                pk.pack_nil();
                              })),
            "data packet: row 2 is not an array of 1 values");
  EXPECT_EQ(refusal(onePacket("string", 1, [](Pk& pk) { pk.pack_map(0); })),
            "data packet: \"rows\" is not an array");
  EXPECT_EQ(refusal(packed([](Pk& pk) {
              pk.pack_map(2);
              pk.pack(std::string("fields"));
              pk.pack_array(2);
              pk.pack(std::make_tuple(std::string("A"), std::string("string"), 1));
              pk.pack(std::make_tuple(std::string("A"), std::string("integer"), 0));
              pk.pack(std::string("rows"));
              pk.pack_array(0);
            })),
            "data packet: field 2: duplicate field name 'A'");
  EXPECT_EQ(refusal(packed([](Pk& pk) {
              pk.pack_map(2);
              pk.pack(std::string("fields"));
              pk.pack_array(1);
              pk.pack(std::make_tuple(std::string(""), std::string("string"), 1));
              pk.pack(std::string("rows"));
              pk.pack_array(0);
            })),
            "data packet: field 1: the name is not a non-empty string");
  EXPECT_EQ(refusal(packed([](Pk& pk) {
              pk.pack_map(2);
              pk.pack(std::string("fields"));
              pk.pack_array(1);
              pk.pack(std::make_tuple(std::string("A"), std::string("string")));
              pk.pack(std::string("rows"));
              pk.pack_array(0);
            })),
            "data packet: field 1 is not an array [name, type, size]");
}

TEST(PacketCodecTest, BytesThatAreNotOneValueWithinTheLimitsAreRefused) {
  const std::string good = rpc::encodePacket(everyKind());
  EXPECT_EQ(refusal(good.substr(0, good.size() - 3)).rfind("data packet: malformed MessagePack", 0),
            0u);
  EXPECT_EQ(refusal(good + '\xc0'), "data packet: trailing bytes after the packet");
  // An array announcing four billion elements in five bytes is refused, not reserved.
  EXPECT_EQ(refusal(std::string("\xdd\xff\xff\xff\xff", 5)).rfind("data packet: malformed", 0), 0u);
  rpc::Limits small;
  small.maxMessageBytes = 16;
  EXPECT_THROW(rpc::decodePacket(good, small), rtl::EDatabaseError);
  rpc::Limits shallow;
  shallow.maxDepth = 2;
  EXPECT_THROW(rpc::decodePacket(good, shallow), rtl::EDatabaseError);
}

TEST(PacketCodecTest, CorruptedBytesAreRefusedOrReadButNeverCrash) {
  const std::string good = rpc::encodePacket(everyKind());
  std::mt19937 random(42);
  int refused = 0;
  for (int i = 0; i < 3000; ++i) {
    std::string bad = good;
    const int flips = 1 + static_cast<int>(random() % 4);
    for (int k = 0; k < flips; ++k) bad[random() % bad.size()] = static_cast<char>(random());
    if (random() % 4 == 0) bad.resize(random() % bad.size());
    try {
      rpc::decodePacket(bad);
    } catch (const rtl::EDatabaseError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 1000);
}

// A data set with a text, an integer and a date-time field, owned by `form`.
data::TClientDataSet* threeFields(tk::TComponent& form) {
  auto* cds = form.Create<data::TClientDataSet>();
  auto add = [&](data::TField* f, const char* name) {
    f->SetFieldName(name);
    f->SetDataSet(cds);
  };
  auto* nome = form.Create<data::TStringField>();
  nome->SetSize(5);
  add(nome, "NOME");
  add(form.Create<data::TIntegerField>(), "QT");
  add(form.Create<data::TDateTimeField>(), "DT");
  return cds;
}

TEST(PacketCodecTest, AClientDataSetRoundTripsThroughTheWire) {
  tk::TComponent form;
  data::TClientDataSet* cds = threeFields(form);
  rtl::DataPacket wire = everyKind();
  // QT's 64-bit value does not fit the 32-bit field; nothing is loaded.
  EXPECT_THROW(cds->LoadPacket(rpc::decodePacket(rpc::encodePacket(wire))), rtl::EDatabaseError);
  EXPECT_FALSE(cds->Active());

  wire.column(1).setInteger(2, 12);
  cds->LoadPacket(rpc::decodePacket(rpc::encodePacket(wire)));
  ASSERT_TRUE(cds->Active());
  cds->Append();
  cds->FieldByName("NOME").SetAsString("novo");
  cds->Post();

  const std::string handedBack = rpc::encodePacket(*cds->Data().asPacket());
  data::TClientDataSet* copy = threeFields(form);
  copy->LoadPacket(rpc::decodePacket(handedBack));
  EXPECT_EQ(*copy->Data().asPacket(), *cds->Data().asPacket());
  EXPECT_EQ(copy->RecordCount(), 4);
  EXPECT_EQ(copy->FieldByName("DT").AsString(), "31/12/2024 18:00:00");
  EXPECT_EQ(copy->FieldByName("NOME").AsString(), "Ação");
  copy->Last();
  EXPECT_EQ(copy->FieldByName("NOME").AsString(), "novo");
  EXPECT_TRUE(copy->FieldByName("QT").IsNull());
}

}  // namespace
