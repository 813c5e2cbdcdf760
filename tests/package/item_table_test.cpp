// The item table: packages written and read back, and every bad table.
#include "common/item_table.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace tw {
namespace {

constexpr std::uint32_t kImageEnd = 36864;

// A package of bodyEnd filler bytes (image and item bodies) and the table.
std::vector<std::uint8_t> makePackage(const std::vector<ItemRecord>& records,
                                      std::size_t bodyEnd) {
  std::vector<std::uint8_t> file(bodyEnd);
  for (std::size_t i = 0; i < file.size(); ++i)
    file[i] = static_cast<std::uint8_t>(i * 7);
  const std::size_t at = file.size();
  file.resize(at + itemTableSize(static_cast<std::uint32_t>(records.size())));
  EXPECT_TRUE(writeItemTable(records.data(),
                             static_cast<std::uint32_t>(records.size()),
                             file.data() + at, file.size() - at));
  return file;
}

void putLe32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) file[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

ItemTableError openTable(std::vector<std::uint8_t>& file, ItemTableInfo* info) {
  MemoryItemSource source(file.data(), file.size());
  return readItemTableInfo(source, file.size(), info);
}

ItemTableError readRecord(std::vector<std::uint8_t>& file, std::uint32_t item,
                          ItemRecord* record) {
  MemoryItemSource source(file.data(), file.size());
  ItemTableInfo info;
  const ItemTableError e = readItemTableInfo(source, file.size(), &info);
  if (e != ItemTableError::ok) return e;
  return readItemRecord(source, info, item, record);
}

TEST(ItemTableLayout, RecordsAreTwelveBytesLittleEndianAndCountLast) {
  const ItemRecord records[] = {{0x0102030405060708ull, 0x11223344u},
                                {0x9000, 5}};
  std::uint8_t out[28];
  ASSERT_TRUE(writeItemTable(records, 2, out, sizeof out));
  const std::uint8_t expected[28] = {
      0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x44, 0x33, 0x22, 0x11,
      0x00, 0x90, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00,
      0x02, 0x00, 0x00, 0x00};
  EXPECT_EQ(0, std::memcmp(expected, out, sizeof out));
}

TEST(ItemTableLayout, WriterRefusesTooSmallBufferAndWritesNothing) {
  const ItemRecord records[] = {{1, 2}, {3, 4}, {5, 6}};
  std::vector<std::uint8_t> out(itemTableSize(3) - 1, 0xAB);
  EXPECT_FALSE(writeItemTable(records, 3, out.data(), out.size()));
  for (std::uint8_t b : out) EXPECT_EQ(0xAB, b);
}

TEST(ItemTableRead, SevenContiguousItemsFromTheImageEnd) {
  std::vector<ItemRecord> records;
  std::uint64_t at = kImageEnd;
  const std::uint32_t sizes[] = {1000, 2345, 77, 4096, 1, 300, 9};
  for (std::uint32_t s : sizes) {
    records.push_back({at, s});
    at += s;
  }
  auto file = makePackage(records, at);
  ItemTableInfo info;
  ASSERT_EQ(ItemTableError::ok, openTable(file, &info));
  EXPECT_EQ(7u, info.count);
  EXPECT_EQ(at, info.tableOffset);
  EXPECT_EQ(file.size() - 84 - 4, info.tableOffset);
  for (std::uint32_t i = 1; i <= 7; ++i) {
    ItemRecord r;
    ASSERT_EQ(ItemTableError::ok, readRecord(file, i, &r)) << i;
    EXPECT_EQ(records[i - 1].offset, r.offset);
    EXPECT_EQ(records[i - 1].size, r.size);
  }
}

TEST(ItemTableRead, RecordsInAnyOrderOfOffsets) {
  // Item 3 lies first in the file, item 1 last; the table keeps item order.
  const std::vector<ItemRecord> records = {
      {kImageEnd + 700, 50}, {kImageEnd + 100, 600}, {kImageEnd, 100}};
  auto file = makePackage(records, kImageEnd + 750);
  for (std::uint32_t i = 1; i <= 3; ++i) {
    ItemRecord r;
    ASSERT_EQ(ItemTableError::ok, readRecord(file, i, &r));
    EXPECT_EQ(records[i - 1].offset, r.offset);
    EXPECT_EQ(records[i - 1].size, r.size);
  }
}

TEST(ItemTableRead, ItemEndingExactlyAtTheTableIsInside) {
  auto file = makePackage({{10, 5}, {15, 5}, {20, 30}}, 50);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::ok, readRecord(file, 3, &r));
}

TEST(ItemTableRead, NoSuchItemBelowOneOrPastTheCount) {
  auto file = makePackage({{0, 1}, {1, 1}, {2, 1}}, 3);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::noSuchItem, readRecord(file, 0, &r));
  EXPECT_EQ(ItemTableError::noSuchItem, readRecord(file, 4, &r));
}

// Tables no builder writes; each must be refused before anything is mapped.
TEST(ItemTableBad, FileShorterThanTheCount) {
  std::vector<std::uint8_t> file = {3, 0, 0};
  ItemTableInfo info;
  EXPECT_EQ(ItemTableError::fileTooSmall, openTable(file, &info));
  MemoryItemSource source(nullptr, 0);
  EXPECT_EQ(ItemTableError::fileTooSmall, readItemTableInfo(source, 0, &info));
}

TEST(ItemTableBad, CountZero) {
  std::vector<std::uint8_t> file(100, 0);
  ItemTableInfo info;
  EXPECT_EQ(ItemTableError::countZero, openTable(file, &info));
}

TEST(ItemTableBad, FewerThanThreeRecords) {
  auto file = makePackage({{0, 10}, {10, 10}}, 20);
  ItemTableInfo info;
  EXPECT_EQ(ItemTableError::tooFewItems, openTable(file, &info));
  MemoryItemSource source(file.data(), file.size());
  EXPECT_EQ(ItemTableError::ok, readItemTableInfo(source, file.size(), &info, 1))
      << "a reader may ask for fewer";
}

TEST(ItemTableBad, CountLargerThanTheFileCanHold) {
  auto file = makePackage({{0, 10}, {10, 10}, {20, 10}}, 30);
  // 7 records need 88 bytes; the file has 30 + 40.
  putLe32(file, file.size() - 4, 7);
  ItemTableInfo info;
  EXPECT_EQ(ItemTableError::countTooLarge, openTable(file, &info));
  // Counts whose table size would wrap a 32-bit product.
  putLe32(file, file.size() - 4, 0x15555556u);
  EXPECT_EQ(ItemTableError::countTooLarge, openTable(file, &info));
  putLe32(file, file.size() - 4, 0xFFFFFFFFu);
  EXPECT_EQ(ItemTableError::countTooLarge, openTable(file, &info));
}

TEST(ItemTableBad, TableFillingTheWholeFileLeavesNoRoomForItems) {
  std::vector<std::uint8_t> file(40, 0);
  putLe32(file, 36, 3);
  putLe32(file, 8, 1);  // item 1: offset 0, size 1
  ItemTableInfo info;
  ASSERT_EQ(ItemTableError::ok, openTable(file, &info));
  EXPECT_EQ(0u, info.tableOffset);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 1, &r));
}

TEST(ItemTableBad, RecordPointingPastTheEnd) {
  auto file = makePackage({{0, 10}, {10, 10}, {5000, 10}}, 30);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 3, &r));
  EXPECT_EQ(ItemTableError::ok, readRecord(file, 2, &r));
}

TEST(ItemTableBad, RecordOverlappingTheTable) {
  // Starts among the items, runs one byte into the first record.
  auto file = makePackage({{0, 10}, {10, 10}, {20, 11}}, 30);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 3, &r));
  // Starts inside the table itself.
  file = makePackage({{0, 10}, {10, 10}, {32, 1}}, 30);
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 3, &r));
}

TEST(ItemTableBad, SizeOrOffsetThatWouldWrap) {
  auto file = makePackage(
      {{0, 10}, {10, 0xFFFFFFFFu}, {0xFFFFFFFFFFFFFFF0ull, 0x20}}, 30);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 2, &r));
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 3, &r));
}

TEST(ItemTableBad, HighOffsetHalfIsHonoured) {
  // Offset 1 << 32 is far past this small file although its low half is 0.
  auto file = makePackage({{1ull << 32, 4}, {10, 10}, {20, 10}}, 30);
  ItemRecord r;
  EXPECT_EQ(ItemTableError::itemOutsideFile, readRecord(file, 1, &r));
}

// A source that fails every read, as a file on a vanished drive would.
class FailingSource final : public ItemSource {
 public:
  bool readAt(std::uint64_t, void*, std::uint32_t) override { return false; }
};

TEST(ItemTableBad, ReadFailureIsReportedAsSuch) {
  FailingSource source;
  ItemTableInfo info;
  EXPECT_EQ(ItemTableError::readFailed, readItemTableInfo(source, 1000, &info));
  info = {1000, 900, 3};
  ItemRecord r;
  EXPECT_EQ(ItemTableError::readFailed, readItemRecord(source, info, 1, &r));
}

TEST(MemoryItemSource, RefusesRangesOutsideTheBuffer) {
  std::uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  MemoryItemSource source(data, sizeof data);
  std::uint8_t out[8] = {};
  EXPECT_TRUE(source.readAt(4, out, 4));
  EXPECT_EQ(5, out[0]);
  EXPECT_EQ(8, out[3]);
  EXPECT_TRUE(source.readAt(8, out, 0));
  EXPECT_FALSE(source.readAt(5, out, 4));
  EXPECT_FALSE(source.readAt(9, out, 0));
  EXPECT_FALSE(source.readAt(0xFFFFFFFFFFFFFFFFull, out, 2));
}

TEST(ItemView, AlignedOffsetMapsFromItself) {
  ItemView v;
  ASSERT_TRUE(planItemView({0x20000, 100}, 0x10000, 0xFFFFFFFFu, &v));
  EXPECT_EQ(0x20000u, v.viewOffset);
  EXPECT_EQ(100u, v.viewLength);
  EXPECT_EQ(0u, v.dataDelta);
}

TEST(ItemView, UnalignedOffsetStartsLowerAndDataDoesNot) {
  ItemView v;
  ASSERT_TRUE(planItemView({36864 + 5, 1000}, 0x10000, 0xFFFFFFFFu, &v));
  EXPECT_EQ(0u, v.viewOffset);
  EXPECT_EQ(36869u, v.dataDelta);
  EXPECT_EQ(36869u + 1000u, v.viewLength);
  ASSERT_TRUE(planItemView({(3ull << 32) + 0x12345, 7}, 0x10000, 0xFFFFFFFFu, &v));
  EXPECT_EQ((3ull << 32) + 0x10000, v.viewOffset);
  EXPECT_EQ(0x2345u, v.dataDelta);
  EXPECT_EQ(0x2345u + 7u, v.viewLength);
}

TEST(ItemView, RefusesEmptyItemsZeroGranularityAndTooLongViews) {
  ItemView v;
  EXPECT_FALSE(planItemView({0x10000, 0}, 0x10000, 0xFFFFFFFFu, &v));
  EXPECT_FALSE(planItemView({0x10000, 10}, 0, 0xFFFFFFFFu, &v));
  // The item fits 32 bits, its view with the alignment slack does not.
  EXPECT_FALSE(planItemView({0xFFFF, 0xFFFFFFFFu}, 0x10000, 0xFFFFFFFFu, &v));
  EXPECT_TRUE(planItemView({0x10000, 0xFFFFFFFFu}, 0x10000, 0xFFFFFFFFu, &v));
}

}  // namespace
}  // namespace tw
