// Tests of the memory pseudo-file: registration, handles, reads and seeks.
#include "cabxpd32/core/memory_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace tw::cabxpd {
namespace {

constexpr std::intptr_t kSlot0 = -2;
constexpr std::intptr_t kSlot1 = -3;

std::vector<unsigned char> countingImage(std::size_t size) {
  std::vector<unsigned char> image(size);
  for (std::size_t i = 0; i < size; ++i) image[i] = static_cast<unsigned char>(i * 7 + 1);
  return image;
}

class MemoryFileTest : public ::testing::Test {
 protected:
  void registerImage(std::uint32_t flags = kRegisterImage) {
    ASSERT_EQ(table.create(image.data(), static_cast<std::uint32_t>(image.size()), flags), 1);
  }

  std::vector<unsigned char> image = countingImage(100);
  MemoryFileTable table;
};

TEST(MemoryFileName, MatchesOnlyTheExactName) {
  EXPECT_TRUE(isMemoryFileName("\\.\\memory"));
  EXPECT_FALSE(isMemoryFileName("\\.\\MEMORY"));
  EXPECT_FALSE(isMemoryFileName("\\.\\Memory"));
  EXPECT_FALSE(isMemoryFileName("\\.\\memory2"));
  EXPECT_FALSE(isMemoryFileName("\\.\\memor"));
  EXPECT_FALSE(isMemoryFileName("C:\\.\\memory"));
  EXPECT_FALSE(isMemoryFileName("/./memory"));
  EXPECT_FALSE(isMemoryFileName(""));
  EXPECT_FALSE(isMemoryFileName(nullptr));
}

TEST(MemoryFileHandles, AreRecognisedByValue) {
  EXPECT_TRUE(isMemoryHandle(-2));
  EXPECT_TRUE(isMemoryHandle(-3));
  EXPECT_TRUE(isMemoryHandle(-4));  // never handed out, but not a real file
  EXPECT_FALSE(isMemoryHandle(-1));  // the invalid real handle
  EXPECT_FALSE(isMemoryHandle(0));
  EXPECT_FALSE(isMemoryHandle(0x7C));
}

TEST_F(MemoryFileTest, OpenWithoutImageFails) {
  EXPECT_EQ(table.open(), kOpenFailed);
  EXPECT_EQ(table.openCount(), 0);
}

TEST_F(MemoryFileTest, RegisteringANullImageLeavesNothingToOpen) {
  EXPECT_EQ(table.create(nullptr, 50, kRegisterImage), 1);
  EXPECT_FALSE(table.registered());
  EXPECT_EQ(table.open(), kOpenFailed);
}

TEST_F(MemoryFileTest, HandlesAreMinusTwoThenMinusThreeAndAThirdFails) {
  registerImage();
  EXPECT_EQ(table.open(), kSlot0);
  EXPECT_EQ(table.open(), kSlot1);
  EXPECT_EQ(table.openCount(), 2);
  EXPECT_EQ(table.open(), kOpenFailed);
  EXPECT_EQ(table.openCount(), 2);
}

TEST_F(MemoryFileTest, ClosingInReverseOrderReusesTheSameValues) {
  registerImage();
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.open(), kSlot1);
  EXPECT_EQ(table.close(kSlot1), 0);
  EXPECT_EQ(table.open(), kSlot1);
  EXPECT_EQ(table.close(kSlot1), 0);
  EXPECT_EQ(table.close(kSlot0), 0);
  EXPECT_EQ(table.openCount(), 0);
  EXPECT_EQ(table.open(), kSlot0);
}

TEST_F(MemoryFileTest, ClosingTheFirstHandleFirstNeverSharesAValue) {
  registerImage();
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.open(), kSlot1);
  ASSERT_EQ(table.seek(kSlot1, 40, 0), 40);
  ASSERT_EQ(table.close(kSlot0), 0);

  const std::intptr_t reopened = table.open();
  EXPECT_EQ(reopened, kSlot0);
  EXPECT_NE(reopened, kSlot1);
  // Both handles keep positions of their own.
  EXPECT_EQ(table.seek(kSlot1, 0, 1), 40);
  EXPECT_EQ(table.seek(reopened, 0, 1), 0);
  unsigned char byte = 0;
  ASSERT_EQ(table.read(kSlot1, &byte, 1), 1u);
  EXPECT_EQ(byte, image[40]);
  ASSERT_EQ(table.read(reopened, &byte, 1), 1u);
  EXPECT_EQ(byte, image[0]);
}

TEST_F(MemoryFileTest, ClosedOrForeignHandlesAreRefusedEverywhere) {
  registerImage();
  unsigned char buffer[4];
  for (std::intptr_t handle : {kSlot0, kSlot1, std::intptr_t{-4}, std::intptr_t{-100}}) {
    EXPECT_EQ(table.read(handle, buffer, 4), kTransferFailed) << handle;
    EXPECT_EQ(table.seek(handle, 0, 0), kSeekFailed) << handle;
    EXPECT_EQ(table.close(handle), kCloseFailed) << handle;
  }
  EXPECT_EQ(table.openCount(), 0);
}

TEST_F(MemoryFileTest, SeekOnAClosedHandleDoesNotReviveIt) {
  registerImage();
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.close(kSlot0), 0);
  EXPECT_EQ(table.seek(kSlot0, 10, 0), kSeekFailed);
  unsigned char byte = 0;
  EXPECT_EQ(table.read(kSlot0, &byte, 1), kTransferFailed);
  EXPECT_EQ(table.close(kSlot0), kCloseFailed);
  EXPECT_EQ(table.openCount(), 0);
}

TEST_F(MemoryFileTest, DoubleCloseFailsAndKeepsTheCount) {
  registerImage();
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.open(), kSlot1);
  EXPECT_EQ(table.close(kSlot1), 0);
  EXPECT_EQ(table.close(kSlot1), kCloseFailed);
  EXPECT_EQ(table.openCount(), 1);
  // The remaining handle still works.
  unsigned char byte = 0;
  EXPECT_EQ(table.read(kSlot0, &byte, 1), 1u);
}

TEST_F(MemoryFileTest, ReadsCopyFromThePositionAndAdvance) {
  registerImage();
  const std::intptr_t handle = table.open();
  unsigned char buffer[30] = {};
  ASSERT_EQ(table.read(handle, buffer, 30), 30u);
  EXPECT_EQ(std::vector<unsigned char>(buffer, buffer + 30),
            std::vector<unsigned char>(image.begin(), image.begin() + 30));
  ASSERT_EQ(table.read(handle, buffer, 10), 10u);
  EXPECT_EQ(std::vector<unsigned char>(buffer, buffer + 10),
            std::vector<unsigned char>(image.begin() + 30, image.begin() + 40));
  EXPECT_EQ(table.seek(handle, 0, 1), 40);
}

TEST_F(MemoryFileTest, ReadPastTheEndGivesOnlyTheRest) {
  registerImage();
  const std::intptr_t handle = table.open();
  ASSERT_EQ(table.seek(handle, 95, 0), 95);
  std::vector<unsigned char> buffer(50, 0xEE);
  ASSERT_EQ(table.read(handle, buffer.data(), 50), 5u);
  EXPECT_EQ(std::vector<unsigned char>(buffer.begin(), buffer.begin() + 5),
            std::vector<unsigned char>(image.begin() + 95, image.end()));
  EXPECT_EQ(buffer[5], 0xEE);  // nothing written past what was read
  EXPECT_EQ(table.seek(handle, 0, 1), 100);
}

TEST_F(MemoryFileTest, ReadAtTheEndGivesZeroBytes) {
  registerImage();
  const std::intptr_t handle = table.open();
  ASSERT_EQ(table.seek(handle, 0, 2), 100);
  unsigned char byte = 0xEE;
  EXPECT_EQ(table.read(handle, &byte, 1), 0u);
  EXPECT_EQ(byte, 0xEE);
  EXPECT_EQ(table.read(handle, &byte, 0), 0u);
}

TEST_F(MemoryFileTest, HugeCountsDoNotWrapPastTheImage) {
  registerImage();
  const std::intptr_t handle = table.open();
  ASSERT_EQ(table.seek(handle, 90, 0), 90);
  // position + count would wrap to a small number in 32 bits.
  std::vector<unsigned char> buffer(100);
  EXPECT_EQ(table.read(handle, buffer.data(), 0xFFFFFFF0u), 10u);
  EXPECT_EQ(table.read(handle, buffer.data(), 0xFFFFFFFFu), 0u);
}

TEST_F(MemoryFileTest, ReadIntoNullBufferFails) {
  registerImage();
  const std::intptr_t handle = table.open();
  EXPECT_EQ(table.read(handle, nullptr, 1), kTransferFailed);
  EXPECT_EQ(table.read(handle, nullptr, 0), kTransferFailed);
  EXPECT_EQ(table.seek(handle, 0, 1), 0);
}

TEST_F(MemoryFileTest, WriteAlwaysFails) {
  registerImage();
  const std::intptr_t handle = table.open();
  const unsigned char data[4] = {9, 9, 9, 9};
  EXPECT_EQ(table.write(handle, data, 4), kTransferFailed);
  EXPECT_EQ(table.write(handle, data, 0), kTransferFailed);
  EXPECT_EQ(table.write(kSlot1, data, 4), kTransferFailed);
  EXPECT_EQ(image, countingImage(100));
}

TEST_F(MemoryFileTest, SeekFromEachOriginIsClampedToTheImage) {
  registerImage();
  const std::intptr_t handle = table.open();
  EXPECT_EQ(table.seek(handle, 30, 0), 30);
  EXPECT_EQ(table.seek(handle, 5, 1), 35);
  EXPECT_EQ(table.seek(handle, -10, 1), 25);
  EXPECT_EQ(table.seek(handle, -1, 2), 99);
  EXPECT_EQ(table.seek(handle, 0, 2), 100);

  EXPECT_EQ(table.seek(handle, -5, 0), 0);     // before the start
  EXPECT_EQ(table.seek(handle, -200, 2), 0);
  ASSERT_EQ(table.seek(handle, 10, 0), 10);
  EXPECT_EQ(table.seek(handle, -11, 1), 0);
  EXPECT_EQ(table.seek(handle, 101, 0), 100);  // past the end
  EXPECT_EQ(table.seek(handle, 1, 2), 100);
  ASSERT_EQ(table.seek(handle, 50, 0), 50);
  EXPECT_EQ(table.seek(handle, 51, 1), 100);
}

TEST_F(MemoryFileTest, SeekNearTheLimitsOfTheDistanceDoesNotWrap) {
  registerImage();
  const std::intptr_t handle = table.open();
  ASSERT_EQ(table.seek(handle, 60, 0), 60);
  EXPECT_EQ(table.seek(handle, INT32_MAX, 1), 100);
  EXPECT_EQ(table.seek(handle, INT32_MAX, 2), 100);
  EXPECT_EQ(table.seek(handle, INT32_MIN, 1), 0);
  EXPECT_EQ(table.seek(handle, INT32_MIN, 2), 0);
  EXPECT_EQ(table.seek(handle, INT32_MIN, 0), 0);
}

TEST_F(MemoryFileTest, UnknownOriginFailsWithoutMoving) {
  registerImage();
  const std::intptr_t handle = table.open();
  ASSERT_EQ(table.seek(handle, 20, 0), 20);
  EXPECT_EQ(table.seek(handle, 5, 3), kSeekFailed);
  EXPECT_EQ(table.seek(handle, 5, -1), kSeekFailed);
  EXPECT_EQ(table.seek(handle, 0, 1), 20);
}

TEST_F(MemoryFileTest, ZeroLengthImageOpensButHoldsNothing) {
  static const unsigned char anything = 0;
  ASSERT_EQ(table.create(&anything, 0, kRegisterImage), 1);
  const std::intptr_t handle = table.open();
  ASSERT_EQ(handle, kSlot0);
  unsigned char byte = 0xEE;
  EXPECT_EQ(table.read(handle, &byte, 1), 0u);
  EXPECT_EQ(byte, 0xEE);
  EXPECT_EQ(table.seek(handle, 10, 0), 0);
  EXPECT_EQ(table.seek(handle, -10, 2), 0);
  EXPECT_EQ(table.close(handle), 0);
}

TEST_F(MemoryFileTest, ReleaseFlagForgetsTheImageAfterTheLastClose) {
  registerImage(kRegisterImage | kReleaseAfterLastClose);
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.open(), kSlot1);
  ASSERT_EQ(table.close(kSlot1), 0);
  EXPECT_TRUE(table.registered());
  ASSERT_EQ(table.close(kSlot0), 0);
  EXPECT_FALSE(table.registered());
  EXPECT_EQ(table.open(), kOpenFailed);
  // A new image brings the pseudo-file back.
  registerImage(kRegisterImage | kReleaseAfterLastClose);
  EXPECT_EQ(table.open(), kSlot0);
}

TEST_F(MemoryFileTest, WithoutReleaseFlagTheImageStaysForTheNextRun) {
  registerImage();
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.close(kSlot0), 0);
  EXPECT_TRUE(table.registered());
  const std::intptr_t again = table.open();
  EXPECT_EQ(again, kSlot0);
  EXPECT_EQ(table.seek(again, 0, 1), 0);  // a fresh handle starts at 0
}

TEST_F(MemoryFileTest, RegisteringWhileAHandleIsOpenIsRefused) {
  registerImage();
  const std::intptr_t handle = table.open();
  ASSERT_EQ(table.seek(handle, 7, 0), 7);
  std::vector<unsigned char> other(10, 0x55);
  EXPECT_EQ(table.create(other.data(), 10, kRegisterImage | kReleaseAfterLastClose), 0);
  // Nothing changed: the old image, its size, its position, no release.
  EXPECT_EQ(table.seek(handle, 0, 1), 7);
  EXPECT_EQ(table.seek(handle, 0, 2), 100);
  ASSERT_EQ(table.close(handle), 0);
  EXPECT_TRUE(table.registered());
}

TEST_F(MemoryFileTest, RegisteringReplacesAnEarlierImage) {
  registerImage();
  std::vector<unsigned char> other = {0xA1, 0xA2, 0xA3};
  ASSERT_EQ(table.create(other.data(), 3, kRegisterImage), 1);
  const std::intptr_t handle = table.open();
  unsigned char buffer[8] = {};
  ASSERT_EQ(table.read(handle, buffer, 8), 3u);
  EXPECT_EQ(buffer[0], 0xA1);
  EXPECT_EQ(buffer[2], 0xA3);
}

TEST_F(MemoryFileTest, OtherFlagBitsAreIgnored) {
  ASSERT_EQ(table.create(image.data(), 100, 0xFFFFFFF1u), 1);  // bit 1 clear
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.close(kSlot0), 0);
  EXPECT_TRUE(table.registered());
  EXPECT_EQ(table.create(nullptr, 0, 0xFFFFFFFEu), 1);  // bit 0 clear
  EXPECT_FALSE(table.registered());
}

TEST_F(MemoryFileTest, UnregisteringWithoutHandlesForgetsAtOnce) {
  registerImage();
  EXPECT_EQ(table.create(nullptr, 0, 0), 1);
  EXPECT_FALSE(table.registered());
  EXPECT_EQ(table.open(), kOpenFailed);
  EXPECT_EQ(table.create(nullptr, 0, 0), 1);  // nothing left to forget
}

TEST_F(MemoryFileTest, UnregisteringWithHandlesOpenWaitsForTheLastClose) {
  registerImage();
  const std::intptr_t handle = table.open();
  EXPECT_EQ(table.create(nullptr, 0, 0), 1);
  EXPECT_TRUE(table.registered());
  unsigned char byte = 0;
  EXPECT_EQ(table.read(handle, &byte, 1), 1u);  // still readable
  EXPECT_EQ(byte, image[0]);
  ASSERT_EQ(table.close(handle), 0);
  EXPECT_FALSE(table.registered());
}

TEST_F(MemoryFileTest, ImagesBeyondTheSignedRangeAreRefused) {
  EXPECT_EQ(table.create(image.data(), kMaxImageSize + 1u, kRegisterImage), 0);
  EXPECT_FALSE(table.registered());
  EXPECT_EQ(table.create(image.data(), 0xFFFFFFFFu, kRegisterImage), 0);
  EXPECT_FALSE(table.registered());
}

TEST_F(MemoryFileTest, CloseAllClosesWhatIsLeftAndAppliesTheReleaseFlag) {
  registerImage(kRegisterImage | kReleaseAfterLastClose);
  ASSERT_EQ(table.open(), kSlot0);
  ASSERT_EQ(table.open(), kSlot1);
  table.closeAll();
  EXPECT_EQ(table.openCount(), 0);
  EXPECT_FALSE(table.registered());
  table.closeAll();  // nothing open: no change
  EXPECT_EQ(table.openCount(), 0);
  EXPECT_EQ(table.create(image.data(), 100, kRegisterImage), 1);
}

}  // namespace
}  // namespace tw::cabxpd
