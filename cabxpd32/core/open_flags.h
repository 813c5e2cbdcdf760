// How a real file is opened for FDI's open flags (the C runtime's _O_ bits).
#pragma once

namespace tw::cabxpd {

// The C runtime's open flag bits that FDI passes.
constexpr int kOpenAccessMask = 0x0003;  // 0 read, 1 write, 2 read-write
constexpr int kOpenCreate = 0x0100;
constexpr int kOpenExclusive = 0x0400;

enum class FileAccess { read, write, readWrite };
enum class FileDisposition { openExisting, createAlways, createNew };

struct RealFileOpen {
  FileAccess access;
  FileDisposition disposition;
};

// Access from the low two bits (3 counts as read-write); create-new needs
// both the create and the exclusive bit, create alone creates always, and
// anything else opens an existing file. The mode argument plays no part.
// Inline, so that the builder's cabinet writer reads the flags alike
// without linking the DLL's core.
inline RealFileOpen realFileOpen(int openFlags) {
  RealFileOpen result;
  switch (openFlags & kOpenAccessMask) {
    case 0: result.access = FileAccess::read; break;
    case 1: result.access = FileAccess::write; break;
    default: result.access = FileAccess::readWrite; break;
  }
  if ((openFlags & kOpenCreate) == 0) {
    result.disposition = FileDisposition::openExisting;
  } else if ((openFlags & kOpenExclusive) != 0) {
    result.disposition = FileDisposition::createNew;
  } else {
    result.disposition = FileDisposition::createAlways;
  }
  return result;
}

}  // namespace tw::cabxpd
