// Cabinets written straight into an open package file with the portable
// cabinet writer (FCI), for builds on the host: one cabinet after another,
// each reported as the package's next item.
#pragma once
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "cabinet/core/container/fci.h"

namespace tw {

class HostCabinetWriter final : private cab::FciHost {
 public:
  // workFolder (ending in "/") takes the writer's temporary data file;
  // package is open for writing at its end; cabinetDone gets each finished
  // cabinet's size.
  HostCabinetWriter(const std::string& workFolder, std::FILE* package, std::function<void(uint32_t)> cabinetDone);
  ~HostCabinetWriter();
  HostCabinetWriter(const HostCabinetWriter&) = delete;
  HostCabinetWriter& operator=(const HostCabinetWriter&) = delete;

  // blockDone gets the uncompressed size of each block as it is compressed.
  void onBlock(std::function<void(uint32_t)> blockDone) { blockDone_ = std::move(blockDone); }

  bool create();
  // typeCompress: cab::kCompressNone, kCompressMsZip or cab::lzxType(21).
  bool addFile(const std::string& source, const std::string& nameInCabinet, uint16_t typeCompress);
  bool flush(bool startNext);
  void destroy();
  // What failed last: the file concerned ("" if none) and errno's value.
  const std::string& failedFile() const { return failedFile_; }
  int systemError() const { return systemError_; }

 private:
  void* alloc(uint32_t bytes) override;
  void release(void* block) override;
  intptr_t open(const char* name, int flags, int permissions, int* error) override;
  uint32_t read(intptr_t file, void* buffer, uint32_t size, int* error) override;
  uint32_t write(intptr_t file, const void* buffer, uint32_t size, int* error) override;
  int close(intptr_t file, int* error) override;
  int32_t seek(intptr_t file, int32_t distance, int origin, int* error) override;
  int remove(const char* name, int* error) override;
  bool tempFileName(char* name, int capacity) override;
  int filePlaced(const cab::CabinetParams& params, const char* name, uint32_t size, bool continuation) override;
  bool nextCabinet(cab::CabinetParams& params, uint32_t previousSize) override;
  int32_t status(unsigned type, uint32_t first, uint32_t second) override;
  intptr_t openSource(const char* name, uint16_t* date, uint16_t* time, uint16_t* attributes, int* error) override;
  intptr_t keep(std::FILE* file, const std::string& name);
  int fail(intptr_t file, int* error);

  std::string workFolder_;
  std::FILE* package_;
  std::function<void(uint32_t)> cabinetDone_;
  std::function<void(uint32_t)> blockDone_;
  cab::CabinetParams params_;
  cab::FciWriter* writer_ = nullptr;
  std::vector<std::pair<std::FILE*, std::string>> files_;  // handle = index + 1
  int temporaryCount_ = 0;
  std::string failedFile_;
  int systemError_ = 0;
};

}  // namespace tw
