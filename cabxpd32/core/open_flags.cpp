// How a real file is opened for FDI's open flags (the C runtime's _O_ bits).
#include "cabxpd32/core/open_flags.h"

namespace tw::cabxpd {

RealFileOpen realFileOpen(int openFlags) {
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
