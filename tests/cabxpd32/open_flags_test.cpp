// Tests of the access and disposition chosen for FDI's open flags.
#include "cabxpd32/core/open_flags.h"

#include <gtest/gtest.h>

namespace tw::cabxpd {
namespace {

// The C runtime values FDI passes.
constexpr int kReadOnly = 0x0000;
constexpr int kWriteOnly = 0x0001;
constexpr int kReadWrite = 0x0002;
constexpr int kTruncate = 0x0200;
constexpr int kBinary = 0x8000;

TEST(OpenFlags, AccessComesFromTheLowTwoBits) {
  EXPECT_EQ(realFileOpen(kReadOnly | kBinary).access, FileAccess::read);
  EXPECT_EQ(realFileOpen(kWriteOnly | kBinary).access, FileAccess::write);
  EXPECT_EQ(realFileOpen(kReadWrite | kBinary).access, FileAccess::readWrite);
  EXPECT_EQ(realFileOpen(3).access, FileAccess::readWrite);
}

TEST(OpenFlags, DispositionFollowsCreateAndExclusive) {
  EXPECT_EQ(realFileOpen(kReadOnly | kBinary).disposition, FileDisposition::openExisting);
  EXPECT_EQ(realFileOpen(kOpenExclusive).disposition, FileDisposition::openExisting);
  EXPECT_EQ(realFileOpen(kWriteOnly | kOpenCreate | kTruncate).disposition,
            FileDisposition::createAlways);
  EXPECT_EQ(realFileOpen(kWriteOnly | kOpenCreate).disposition, FileDisposition::createAlways);
  EXPECT_EQ(realFileOpen(kReadWrite | kOpenCreate | kOpenExclusive).disposition,
            FileDisposition::createNew);
  EXPECT_EQ(realFileOpen(kTruncate).disposition, FileDisposition::openExisting);
}

}  // namespace
}  // namespace tw::cabxpd
