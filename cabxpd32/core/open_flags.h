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
RealFileOpen realFileOpen(int openFlags);

}  // namespace tw::cabxpd
