// The builder's layer over the platform compressor (FCI): every cabinet is
// written straight into the open package file, one after another, and each
// finished cabinet becomes the next item of the package's item table.
#pragma once
#include <windows.h>

#include <fci.h>

#include <cstdint>
#include <string>
#include <vector>

#include "builder/package/package_build.h"

namespace tw {

class CabinetWriter final : public PackageCabinets {
 public:
  // cabinetFolder ends with a backslash and also takes FCI's temporary
  // files; package is the open package file, positioned at its end.
  CabinetWriter(const std::string& cabinetFolder, HANDLE package, PackageItems& items,
                BuildReporter& reporter, uint64_t totalBytes);
  ~CabinetWriter() override;

  // The compression of every folder the builder writes from now on
  // (default LZX with a 2 MB window); false for a name other than "lzx",
  // "mszip" or "none".
  static bool selectCompression(const std::string& name);

  bool create() override;
  bool addFile(const std::string& source, const std::string& nameInCabinet) override;
  bool flush(bool startNext) override;
  void destroy() override;
  // What FCI reported for the last failure (for the build's message): the
  // system's text when one of the file callbacks failed, else FCI's code.
  std::string lastError() const override;
  // The file whose open, read, write or seek failed last ("" if none); the
  // package is given as `packageName`.
  std::string failedFile() const override { return failedFile_; }
  bool packageFailed() const override { return packageFailed_; }
  void setPackageName(const std::string& name) { packageName_ = name; }
  // Seconds spent inside the compressor's calls so far.
  double compressionSeconds() const override { return static_cast<double>(ticks_) / frequency(); }

 private:
  static FNFCIALLOC(alloc);
  static FNFCIFREE(release);
  static FNFCIOPEN(open);
  static FNFCIREAD(read);
  static FNFCIWRITE(write);
  static FNFCICLOSE(close);
  static FNFCISEEK(seek);
  static FNFCIDELETE(remove);
  static FNFCIGETTEMPFILE(tempFile);
  static FNFCIFILEPLACED(filePlaced);
  static FNFCIGETNEXTCABINET(nextCabinet);
  static FNFCIGETOPENINFO(openInfo);
  static FNFCISTATUS(status);

  CCAB params_{};
  ERF error_{};
  HFCI context_ = nullptr;
  std::string cabinetPath_;  // folder + name FCI opens for each cabinet
  HANDLE package_;
  int64_t cabinetBase_ = 0;
  PackageItems& items_;
  BuildReporter& reporter_;
  uint64_t done_ = 0;
  uint64_t total_;
  int64_t ticks_ = 0;
  // The last failure of a file callback and the file it concerned.
  unsigned long systemError_ = 0;
  std::string failedFile_;
  bool packageFailed_ = false;
  std::string packageName_;
  std::vector<std::pair<INT_PTR, std::string>> openFiles_;
  int fail(INT_PTR file, int* err, unsigned long code);
  static double frequency();
  friend class FciClock;
};

}  // namespace tw
