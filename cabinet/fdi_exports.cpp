// FDICreate, FDIIsCabinet, FDICopy, FDIDestroy: the platform's
// decompressor interface over the portable reader.
#include <windows.h>

#include <fdi.h>

#include <new>

#include "cabinet/core/container/fdi.h"

namespace {

using tw::cab::FdiReader;

class FdiContext final : public tw::cab::FdiHost {
 public:
  PFNALLOC allocFn;
  PFNFREE freeFn;
  PFNOPEN openFn;
  PFNREAD readFn;
  PFNWRITE writeFn;
  PFNCLOSE closeFn;
  PFNSEEK seekFn;
  PERF erf;
  FdiReader* reader = nullptr;
  PFNFDINOTIFY notifyFn = nullptr;
  PFNFDIDECRYPT decryptFn = nullptr;
  void* pv = nullptr;

  void* alloc(uint32_t bytes) override { return allocFn(bytes); }
  void release(void* block) override { freeFn(block); }
  intptr_t open(const char* name, int flags, int permissions, int*) override {
    return openFn(const_cast<char*>(name), flags, permissions);
  }
  uint32_t read(intptr_t file, void* buffer, uint32_t size, int*) override {
    return readFn(file, buffer, size);
  }
  uint32_t write(intptr_t file, const void* buffer, uint32_t size, int*) override {
    return writeFn(file, const_cast<void*>(buffer), size);
  }
  int close(intptr_t file, int*) override { return closeFn(file); }
  int32_t seek(intptr_t file, int32_t distance, int origin, int*) override {
    return seekFn(file, distance, origin);
  }
  intptr_t notify(tw::cab::FdiEvent event, tw::cab::FdiNote& note) override {
    FDINOTIFICATION n = {};
    n.cb = note.size;
    n.psz1 = const_cast<char*>(note.text1);
    n.psz2 = const_cast<char*>(note.text2);
    n.psz3 = const_cast<char*>(note.text3);
    n.pv = pv;
    n.hf = note.file;
    n.date = note.date;
    n.time = note.time;
    n.attribs = note.attributes;
    n.setID = note.setId;
    n.iCabinet = note.cabinetIndex;
    n.iFolder = note.folderIndex;
    n.fdie = static_cast<FDIERROR>(note.error);
    return notifyFn(static_cast<FDINOTIFICATIONTYPE>(event), &n);
  }
  bool wantsDecrypt() const override { return decryptFn != nullptr; }
  int decrypt(tw::cab::DecryptNote& note) override {
    FDIDECRYPT d = {};
    d.pvUser = pv;
    switch (note.event) {
      case tw::cab::DecryptEvent::NewCabinet:
        d.fdidt = fdidtNEW_CABINET;
        d.cabinet.pHeaderReserve = note.reserve;
        d.cabinet.cbHeaderReserve = note.reserveSize;
        d.cabinet.setID = note.setId;
        d.cabinet.iCabinet = note.index;
        break;
      case tw::cab::DecryptEvent::NewFolder:
        d.fdidt = fdidtNEW_FOLDER;
        d.folder.pFolderReserve = note.reserve;
        d.folder.cbFolderReserve = note.reserveSize;
        d.folder.iFolder = note.index;
        break;
      case tw::cab::DecryptEvent::DataBlock:
        d.fdidt = fdidtDECRYPT;
        d.decrypt.pDataReserve = note.reserve;
        d.decrypt.cbDataReserve = note.reserveSize;
        d.decrypt.pbData = note.data;
        d.decrypt.cbData = note.dataSize;
        d.decrypt.fSplit = FALSE;
        d.decrypt.cbPartial = 0;
        break;
    }
    return decryptFn(&d);
  }

  BOOL report(bool ok) {
    if (!ok) {
      erf->erfOper = static_cast<int>(reader->failure().error);
      erf->erfType = reader->failure().systemError;
      erf->fError = TRUE;
    }
    return ok ? TRUE : FALSE;
  }
};

FdiContext* context(HFDI hfdi) { return static_cast<FdiContext*>(hfdi); }

}  // namespace

extern "C" {

HFDI DIAMONDAPI FDICreate(PFNALLOC pfnalloc, PFNFREE pfnfree, PFNOPEN pfnopen, PFNREAD pfnread,
                          PFNWRITE pfnwrite, PFNCLOSE pfnclose, PFNSEEK pfnseek, int, PERF perf) {
  if (!perf) return nullptr;
  if (!pfnalloc || !pfnfree || !pfnopen || !pfnread || !pfnwrite || !pfnclose || !pfnseek) {
    perf->erfOper = FDIERROR_NONE;
    perf->erfType = ERROR_BAD_ARGUMENTS;
    perf->fError = TRUE;
    return nullptr;
  }
  void* place = pfnalloc(sizeof(FdiContext));
  if (!place) {
    perf->erfOper = FDIERROR_ALLOC_FAIL;
    perf->erfType = 0;
    perf->fError = TRUE;
    return nullptr;
  }
  FdiContext* c = new (place) FdiContext();
  c->allocFn = pfnalloc;
  c->freeFn = pfnfree;
  c->openFn = pfnopen;
  c->readFn = pfnread;
  c->writeFn = pfnwrite;
  c->closeFn = pfnclose;
  c->seekFn = pfnseek;
  c->erf = perf;
  tw::cab::FdiFailure failure;
  c->reader = FdiReader::create(*c, failure);
  if (!c->reader) {
    perf->erfOper = static_cast<int>(failure.error);
    perf->erfType = 0;
    perf->fError = TRUE;
    pfnfree(place);
    return nullptr;
  }
  perf->fError = FALSE;
  return c;
}

BOOL DIAMONDAPI FDIIsCabinet(HFDI hfdi, INT_PTR hf, PFDICABINETINFO pfdici) {
  FdiContext* c = context(hfdi);
  if (!c || !pfdici) return FALSE;
  tw::cab::CabinetInfo info;
  if (!c->report(c->reader->isCabinet(hf, info))) return FALSE;
  pfdici->cbCabinet = static_cast<LONG>(info.size);
  pfdici->cFolders = info.folders;
  pfdici->cFiles = info.files;
  pfdici->setID = info.setId;
  pfdici->iCabinet = info.cabinetIndex;
  pfdici->fReserve = info.reserve;
  pfdici->hasprev = info.hasPrevious;
  pfdici->hasnext = info.hasNext;
  return TRUE;
}

BOOL DIAMONDAPI FDICopy(HFDI hfdi, char* pszCabinet, char* pszCabPath, int, PFNFDINOTIFY pfnfdin,
                        PFNFDIDECRYPT pfnfdid, void* pvUser) {
  FdiContext* c = context(hfdi);
  if (!c || !pszCabinet || !pfnfdin) return FALSE;
  c->notifyFn = pfnfdin;
  c->decryptFn = pfnfdid;
  c->pv = pvUser;
  return c->report(c->reader->copy(pszCabinet, pszCabPath ? pszCabPath : ""));
}

BOOL DIAMONDAPI FDIDestroy(HFDI hfdi) {
  FdiContext* c = context(hfdi);
  if (!c) return FALSE;
  c->reader->destroy();
  PFNFREE release = c->freeFn;
  c->~FdiContext();
  release(c);
  return TRUE;
}

}  // extern "C"
