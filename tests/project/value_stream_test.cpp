// Typed values: the writer's tag choice and the reader's tolerance.
#include <gtest/gtest.h>

#include "builder/project/value_stream.h"

namespace tw {
namespace {

std::vector<uint8_t> integerBytes(int32_t v) {
  ValueWriter w;
  w.writeInteger(v);
  return w.bytes();
}

TEST(ValueStream, WriterPicksTheSmallestIntegerTag) {
  EXPECT_EQ(integerBytes(127), (std::vector<uint8_t>{0x02, 0x7F}));
  EXPECT_EQ(integerBytes(-128), (std::vector<uint8_t>{0x02, 0x80}));
  EXPECT_EQ(integerBytes(128), (std::vector<uint8_t>{0x03, 0x80, 0x00}));
  EXPECT_EQ(integerBytes(-129), (std::vector<uint8_t>{0x03, 0x7F, 0xFF}));
  EXPECT_EQ(integerBytes(32767), (std::vector<uint8_t>{0x03, 0xFF, 0x7F}));
  EXPECT_EQ(integerBytes(-32769), (std::vector<uint8_t>{0x04, 0xFF, 0x7F, 0xFF, 0xFF}));
  EXPECT_EQ(integerBytes(40000), (std::vector<uint8_t>{0x04, 0x40, 0x9C, 0x00, 0x00}));
}

TEST(ValueStream, StringsUpTo255BytesTakeTheShortTag) {
  ValueWriter w;
  w.writeString(std::string(255, 'a'));
  w.writeString(std::string(256, 'b'));
  const auto& b = w.bytes();
  ASSERT_EQ(b.size(), 2 + 255 + 5 + 256u);
  EXPECT_EQ(b[0], 0x06);
  EXPECT_EQ(b[1], 255);
  EXPECT_EQ(b[257], 0x0C);
  EXPECT_EQ(b[258], 0x00);
  EXPECT_EQ(b[259], 0x01);
  ValueReader r(b.data(), b.size());
  EXPECT_EQ(r.readString(), std::string(255, 'a'));
  EXPECT_EQ(r.readString(), std::string(256, 'b'));
  EXPECT_FALSE(r.failed());
  EXPECT_EQ(r.remaining(), 0u);
}

TEST(ValueStream, ReaderSignExtendsEveryIntegerTag) {
  const std::vector<uint8_t> b = {0x02, 0xFF, 0x03, 0x00, 0x80, 0x04, 0x01, 0x00, 0x00, 0x80};
  ValueReader r(b.data(), b.size());
  EXPECT_EQ(r.readInteger(), -1);
  EXPECT_EQ(r.readInteger(), -32768);
  EXPECT_EQ(r.readInteger(), static_cast<int32_t>(0x80000001u));
  EXPECT_FALSE(r.failed());
}

TEST(ValueStream, WrongTagStopsWithInvalidValue) {
  const std::vector<uint8_t> asInteger = {0x06, 0x00};
  ValueReader r(asInteger.data(), asInteger.size());
  EXPECT_EQ(r.readInteger(), 0);
  EXPECT_EQ(r.error(), StreamError::InvalidValue);
  // The first failure sticks: later reads do not overwrite it.
  r.readString();
  EXPECT_EQ(r.error(), StreamError::InvalidValue);

  const std::vector<uint8_t> asString = {0x09};
  ValueReader s(asString.data(), asString.size());
  s.readString();
  EXPECT_EQ(s.error(), StreamError::InvalidValue);
}

TEST(ValueStream, BooleanIsTrueOnlyForTag09) {
  const std::vector<uint8_t> b = {0x09, 0x08, 0x02, 0x06, 0xFF};
  ValueReader r(b.data(), b.size());
  EXPECT_TRUE(r.readBoolean());
  EXPECT_FALSE(r.readBoolean());
  EXPECT_FALSE(r.readBoolean());
  EXPECT_FALSE(r.readBoolean());
  EXPECT_FALSE(r.readBoolean());
  EXPECT_FALSE(r.failed());
  EXPECT_FALSE(r.readBoolean());
  EXPECT_EQ(r.error(), StreamError::ReadPastEnd);
}

TEST(ValueStream, HugeLengthFailsAtOnceWithoutAllocating) {
  std::vector<uint8_t> b = {0x0C, 0xFF, 0xFF, 0xFF, 0xFF};
  b.resize(2048, 'x');
  ValueReader r(b.data(), b.size());
  EXPECT_EQ(r.readString(), "");
  EXPECT_EQ(r.error(), StreamError::ReadPastEnd);
}

TEST(ValueStream, TruncatedPayloadsReadPastEnd) {
  for (std::vector<uint8_t> b : {std::vector<uint8_t>{0x03, 0x01}, {0x04, 1, 2, 3}, {0x06, 5, 'a'},
                                 {0x0C, 1, 0}, {0x02}, {}}) {
    ValueReader r(b.data(), b.size());
    if (!b.empty() && b[0] >= 0x06) r.readString(); else r.readInteger();
    EXPECT_EQ(r.error(), StreamError::ReadPastEnd) << "first byte " << (b.empty() ? -1 : b[0]);
  }
}

}  // namespace
}  // namespace tw
