// FCICreate, FCIAddFile, FCIFlushFolder, FCIFlushCabinet, FCIDestroy: the
// platform's compressor interface over the portable writer. Every file the
// writer touches goes through the caller's callbacks.
#include <windows.h>

#include <fci.h>

#include <new>

#include "cabinet/core/container/fci.h"

namespace {

using tw::cab::CabinetParams;
using tw::cab::FciFailure;
using tw::cab::FciWriter;

void copyText(char* to, const char* from, size_t capacity) {
  size_t i = 0;
  for (; i + 1 < capacity && from[i]; ++i) to[i] = from[i];
  to[i] = 0;
}

CabinetParams toParams(const CCAB& ccab) {
  CabinetParams p;
  p.maxSize = ccab.cb;
  p.folderThreshold = ccab.cbFolderThresh;
  p.headerReserve = ccab.cbReserveCFHeader;
  p.folderReserve = ccab.cbReserveCFFolder;
  p.dataReserve = ccab.cbReserveCFData;
  p.cabinetIndex = ccab.iCab;
  p.diskIndex = ccab.iDisk;
  p.failOnIncompressible = ccab.fFailOnIncompressible;
  p.setId = ccab.setID;
  copyText(p.disk, ccab.szDisk, sizeof p.disk);
  copyText(p.name, ccab.szCab, sizeof p.name);
  copyText(p.path, ccab.szCabPath, sizeof p.path);
  return p;
}

void toCcab(const CabinetParams& p, CCAB& ccab) {
  ccab.cb = p.maxSize;
  ccab.cbFolderThresh = p.folderThreshold;
  ccab.cbReserveCFHeader = p.headerReserve;
  ccab.cbReserveCFFolder = p.folderReserve;
  ccab.cbReserveCFData = p.dataReserve;
  ccab.iCab = p.cabinetIndex;
  ccab.iDisk = p.diskIndex;
  ccab.fFailOnIncompressible = p.failOnIncompressible;
  ccab.setID = p.setId;
  copyText(ccab.szDisk, p.disk, sizeof ccab.szDisk);
  copyText(ccab.szCab, p.name, sizeof ccab.szCab);
  copyText(ccab.szCabPath, p.path, sizeof ccab.szCabPath);
}

// One FCI context: the caller's callbacks, and those of the call running.
class FciContext final : public tw::cab::FciHost {
 public:
  PFNFCIFILEPLACED placed;
  PFNFCIALLOC allocFn;
  PFNFCIFREE freeFn;
  PFNFCIOPEN openFn;
  PFNFCIREAD readFn;
  PFNFCIWRITE writeFn;
  PFNFCICLOSE closeFn;
  PFNFCISEEK seekFn;
  PFNFCIDELETE deleteFn;
  PFNFCIGETTEMPFILE tempFn;
  PERF erf;
  void* pv;
  FciWriter* writer = nullptr;
  PFNFCIGETNEXTCABINET nextFn = nullptr;
  PFNFCISTATUS statusFn = nullptr;
  PFNFCIGETOPENINFO openInfoFn = nullptr;

  void* alloc(uint32_t bytes) override { return allocFn(bytes); }
  void release(void* block) override { freeFn(block); }
  intptr_t open(const char* name, int flags, int permissions, int* error) override {
    return openFn(const_cast<char*>(name), flags, permissions, error, pv);
  }
  uint32_t read(intptr_t file, void* buffer, uint32_t size, int* error) override {
    return readFn(file, buffer, size, error, pv);
  }
  uint32_t write(intptr_t file, const void* buffer, uint32_t size, int* error) override {
    return writeFn(file, const_cast<void*>(buffer), size, error, pv);
  }
  int close(intptr_t file, int* error) override { return closeFn(file, error, pv); }
  int32_t seek(intptr_t file, int32_t distance, int origin, int* error) override {
    return seekFn(file, distance, origin, error, pv);
  }
  int remove(const char* name, int* error) override {
    return deleteFn(const_cast<char*>(name), error, pv);
  }
  bool tempFileName(char* name, int capacity) override {
    return tempFn(name, capacity, pv) != FALSE;
  }
  int filePlaced(const CabinetParams& params, const char* name, uint32_t size,
                 bool continuation) override {
    if (!placed) return 0;
    CCAB ccab;
    toCcab(params, ccab);
    return placed(&ccab, const_cast<char*>(name), static_cast<LONG>(size), continuation, pv);
  }
  bool nextCabinet(CabinetParams& params, uint32_t previousSize) override {
    if (!nextFn) return false;
    CCAB ccab;
    toCcab(params, ccab);
    if (!nextFn(&ccab, previousSize, pv)) return false;
    params = toParams(ccab);
    return true;
  }
  int32_t status(unsigned type, uint32_t first, uint32_t second) override {
    return statusFn ? statusFn(type, first, second, pv) : 0;
  }
  intptr_t openSource(const char* name, uint16_t* date, uint16_t* time, uint16_t* attributes,
                      int* error) override {
    if (!openInfoFn) return -1;
    return openInfoFn(const_cast<char*>(name), date, time, attributes, error, pv);
  }

  BOOL report(bool ok) {
    if (!ok) {
      erf->erfOper = static_cast<int>(writer->failure().error);
      erf->erfType = writer->failure().systemError;
      erf->fError = TRUE;
    }
    return ok ? TRUE : FALSE;
  }
};

FciContext* context(HFCI hfci) { return static_cast<FciContext*>(hfci); }

}  // namespace

extern "C" {

HFCI DIAMONDAPI FCICreate(PERF perf, PFNFCIFILEPLACED pfnfcifp, PFNFCIALLOC pfna, PFNFCIFREE pfnf,
                          PFNFCIOPEN pfnopen, PFNFCIREAD pfnread, PFNFCIWRITE pfnwrite,
                          PFNFCICLOSE pfnclose, PFNFCISEEK pfnseek, PFNFCIDELETE pfndelete,
                          PFNFCIGETTEMPFILE pfnfcigtf, PCCAB pccab, void* pv) {
  if (!perf) return nullptr;
  if (!pfna || !pfnf || !pfnopen || !pfnread || !pfnwrite || !pfnclose || !pfnseek || !pfndelete ||
      !pfnfcigtf || !pccab) {
    perf->erfOper = FCIERR_NONE;
    perf->erfType = ERROR_BAD_ARGUMENTS;
    perf->fError = TRUE;
    return nullptr;
  }
  void* place = pfna(sizeof(FciContext));
  if (!place) {
    perf->erfOper = FCIERR_ALLOC_FAIL;
    perf->erfType = 0;
    perf->fError = TRUE;
    return nullptr;
  }
  FciContext* c = new (place) FciContext();
  c->placed = pfnfcifp;
  c->allocFn = pfna;
  c->freeFn = pfnf;
  c->openFn = pfnopen;
  c->readFn = pfnread;
  c->writeFn = pfnwrite;
  c->closeFn = pfnclose;
  c->seekFn = pfnseek;
  c->deleteFn = pfndelete;
  c->tempFn = pfnfcigtf;
  c->erf = perf;
  c->pv = pv;
  FciFailure failure;
  c->writer = FciWriter::create(*c, toParams(*pccab), failure);
  if (!c->writer) {
    perf->erfOper = static_cast<int>(failure.error);
    perf->erfType = failure.systemError;
    perf->fError = TRUE;
    pfnf(place);
    return nullptr;
  }
  perf->fError = FALSE;
  return c;
}

BOOL DIAMONDAPI FCIAddFile(HFCI hfci, char* pszSourceFile, char* pszFileName, BOOL fExecute,
                           PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis,
                           PFNFCIGETOPENINFO pfnfcigoi, TCOMP typeCompress) {
  FciContext* c = context(hfci);
  if (!c || !pszSourceFile || !pszFileName) return FALSE;
  c->nextFn = pfnfcignc;
  c->statusFn = pfnfcis;
  c->openInfoFn = pfnfcigoi;
  return c->report(c->writer->addFile(pszSourceFile, pszFileName, fExecute != FALSE, typeCompress));
}

BOOL DIAMONDAPI FCIFlushFolder(HFCI hfci, PFNFCIGETNEXTCABINET pfnfcignc, PFNFCISTATUS pfnfcis) {
  FciContext* c = context(hfci);
  if (!c) return FALSE;
  c->nextFn = pfnfcignc;
  c->statusFn = pfnfcis;
  return c->report(c->writer->flushFolder());
}

BOOL DIAMONDAPI FCIFlushCabinet(HFCI hfci, BOOL fGetNextCab, PFNFCIGETNEXTCABINET pfnfcignc,
                                PFNFCISTATUS pfnfcis) {
  FciContext* c = context(hfci);
  if (!c) return FALSE;
  c->nextFn = pfnfcignc;
  c->statusFn = pfnfcis;
  return c->report(c->writer->flushCabinet(fGetNextCab != FALSE));
}

BOOL DIAMONDAPI FCIDestroy(HFCI hfci) {
  FciContext* c = context(hfci);
  if (!c) return FALSE;
  c->writer->destroy();
  PFNFCIFREE release = c->freeFn;
  c->~FciContext();
  release(c);
  return TRUE;
}

}  // extern "C"
