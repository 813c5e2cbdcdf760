// FCI callbacks: the cabinet "file" FCI writes is the package itself.
#include "builder/cabinet.h"

#include <cstdlib>
#include <cstring>

#include "builder/build/build_context.h"

namespace tw {
namespace {

constexpr char kCabinetName[] = "BMTBW.CAB";
constexpr USHORT kSetId = 25867;
constexpr TCOMP kLzx21 = 0x1503;  // LZX, window 2^21
TCOMP compression = kLzx21;
constexpr ULONG kUnlimited = 0x7FFFFFFF;

CabinetWriter* self(void* pv) { return static_cast<CabinetWriter*>(pv); }

int64_t now() {
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return t.QuadPart;
}

}  // namespace

// Adds the time of one compressor call to the writer's total.
class FciClock {
 public:
  explicit FciClock(CabinetWriter& w) : w_(w), start_(now()) {}
  ~FciClock() { w_.ticks_ += now() - start_; }

 private:
  CabinetWriter& w_;
  int64_t start_;
};

double CabinetWriter::frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

void PackageItems::append(uint32_t size) {
  if (records.size() < count + 2) records.resize(count + 2, ItemRecord{0, 0});
  records[count].size = size;
  records[count + 1].offset = records[count].offset + size;
  ++count;
}

CabinetWriter::CabinetWriter(const std::string& cabinetFolder, HANDLE package, PackageItems& items,
                             BuildReporter& reporter, uint64_t totalBytes)
    : package_(package), items_(items), reporter_(reporter), total_(totalBytes ? totalBytes : 1) {
  params_.cb = kUnlimited;
  params_.cbFolderThresh = kUnlimited;
  params_.iCab = 1;
  params_.iDisk = 0;
  params_.setID = kSetId;
  std::strncpy(params_.szCab, kCabinetName, sizeof params_.szCab - 1);
  std::strncpy(params_.szCabPath, cabinetFolder.c_str(), sizeof params_.szCabPath - 1);
  cabinetPath_ = params_.szCabPath + std::string(kCabinetName);
}

CabinetWriter::~CabinetWriter() { destroy(); }

bool CabinetWriter::selectCompression(const std::string& name) {
  if (_stricmp(name.c_str(), "lzx") == 0) compression = kLzx21;
  else if (_stricmp(name.c_str(), "mszip") == 0) compression = tcompTYPE_MSZIP;
  else if (_stricmp(name.c_str(), "none") == 0) compression = tcompTYPE_NONE;
  else return false;
  return true;
}

bool CabinetWriter::create() {
  FciClock clock(*this);
  context_ = FCICreate(&error_, filePlaced, alloc, release, open, read, write, close, seek, remove,
                       tempFile, &params_, this);
  return context_ != nullptr;
}

bool CabinetWriter::addFile(const std::string& source, const std::string& nameInCabinet) {
  std::string s = source, n = nameInCabinet;
  FciClock clock(*this);
  return FCIAddFile(context_, &s[0], &n[0], FALSE, nextCabinet, status, openInfo, compression) != FALSE;
}

bool CabinetWriter::flush(bool startNext) {
  FciClock clock(*this);
  return FCIFlushCabinet(context_, startNext ? TRUE : FALSE, nextCabinet, status) != FALSE;
}

void CabinetWriter::destroy() {
  FciClock clock(*this);
  if (context_) FCIDestroy(context_);
  context_ = nullptr;
}

std::string CabinetWriter::lastError() const {
  return "FCI-Fehler " + std::to_string(error_.erfOper) + " (Systemfehler " +
         std::to_string(error_.erfType) + ")";
}

FNFCIALLOC(CabinetWriter::alloc) { return std::malloc(cb); }
FNFCIFREE(CabinetWriter::release) { std::free(memory); }

FNFCIOPEN(CabinetWriter::open) {
  CabinetWriter* w = self(pv);
  if (_stricmp(pszFile, w->cabinetPath_.c_str()) == 0) {
    LARGE_INTEGER zero{}, here{};
    SetFilePointerEx(w->package_, zero, &here, FILE_CURRENT);
    w->cabinetBase_ = here.QuadPart;
    return reinterpret_cast<INT_PTR>(w->package_);
  }
  DWORD access = (oflag & 3) == 0 ? GENERIC_READ : (oflag & 3) == 1 ? GENERIC_WRITE
                                                                     : GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = OPEN_EXISTING;
  if ((oflag & 0x100) && (oflag & 0x400)) disposition = CREATE_NEW;
  else if (oflag & 0x100) disposition = CREATE_ALWAYS;
  HANDLE h = CreateFileA(pszFile, access, 0, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) *err = static_cast<int>(GetLastError());
  return reinterpret_cast<INT_PTR>(h);
}

FNFCIREAD(CabinetWriter::read) {
  DWORD n = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(hf), memory, cb, &n, nullptr)) {
    *err = static_cast<int>(GetLastError());
    return static_cast<UINT>(-1);
  }
  return n;
}

FNFCIWRITE(CabinetWriter::write) {
  DWORD n = 0;
  if (!WriteFile(reinterpret_cast<HANDLE>(hf), memory, cb, &n, nullptr)) {
    *err = static_cast<int>(GetLastError());
    return static_cast<UINT>(-1);
  }
  return n;
}

FNFCICLOSE(CabinetWriter::close) {
  if (reinterpret_cast<HANDLE>(hf) == self(pv)->package_) return 0;  // the package stays open
  if (!CloseHandle(reinterpret_cast<HANDLE>(hf))) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return 0;
}

FNFCISEEK(CabinetWriter::seek) {
  CabinetWriter* w = self(pv);
  HANDLE h = reinterpret_cast<HANDLE>(hf);
  LARGE_INTEGER to{}, now{};
  if (h == w->package_) {
    // Positions inside the cabinet are relative to where it began.
    if (seektype == SEEK_END) {
      to.QuadPart = dist;
      if (!SetFilePointerEx(h, to, &now, FILE_END)) {
        *err = static_cast<int>(GetLastError());
        return -1;
      }
    } else {
      to.QuadPart = w->cabinetBase_ + (seektype == SEEK_SET ? dist : 0);
      if (seektype == SEEK_CUR) {
        LARGE_INTEGER zero{};
        SetFilePointerEx(h, zero, &now, FILE_CURRENT);
        to.QuadPart = now.QuadPart + dist;
      }
      if (!SetFilePointerEx(h, to, &now, FILE_BEGIN)) {
        *err = static_cast<int>(GetLastError());
        return -1;
      }
    }
    int64_t relative = now.QuadPart - w->cabinetBase_;
    if (relative < 0) {
      *err = ERROR_NEGATIVE_SEEK;
      return -1;
    }
    return static_cast<__LONG32>(relative);
  }
  to.QuadPart = dist;
  DWORD method = seektype == SEEK_SET ? FILE_BEGIN : seektype == SEEK_CUR ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(h, to, &now, method)) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return static_cast<__LONG32>(now.QuadPart);
}

FNFCIDELETE(CabinetWriter::remove) {
  if (!DeleteFileA(pszFile)) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  return 0;
}

FNFCIGETTEMPFILE(CabinetWriter::tempFile) {
  char folder[MAX_PATH], name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TBW", 0, name)) return FALSE;
  if (static_cast<int>(std::strlen(name)) >= cbTempName) return FALSE;
  std::strcpy(pszTempName, name);
  DeleteFileA(name);
  return TRUE;
}

FNFCIFILEPLACED(CabinetWriter::filePlaced) { return 0; }

FNFCIGETNEXTCABINET(CabinetWriter::nextCabinet) {
  std::strcpy(pccab->szCab, kCabinetName);
  return TRUE;
}

FNFCIGETOPENINFO(CabinetWriter::openInfo) {
  HANDLE h = CreateFileA(pszName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *err = static_cast<int>(GetLastError());
    return -1;
  }
  BY_HANDLE_FILE_INFORMATION info;
  FILETIME local;
  if (!GetFileInformationByHandle(h, &info) || !FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) ||
      !FileTimeToDosDateTime(&local, pdate, ptime)) {
    *err = static_cast<int>(GetLastError());
    CloseHandle(h);
    return -1;
  }
  *pattribs = static_cast<USHORT>(info.dwFileAttributes & 0x27);
  return reinterpret_cast<INT_PTR>(h);
}

FNFCISTATUS(CabinetWriter::status) {
  CabinetWriter* w = self(pv);
  if (typeStatus == statusFile && cb2 > 0) {
    w->done_ += cb2;
    int percent = static_cast<int>(10 + w->done_ * 90 / w->total_);
    if (percent > 100) percent = 100;
    w->reporter_.progress(nullptr, percent);
  } else if (typeStatus == statusCabinet) {
    w->items_.append(cb2);
    LARGE_INTEGER zero{};
    SetFilePointerEx(w->package_, zero, nullptr, FILE_END);
    return static_cast<__LONG32>(cb2);
  }
  return 0;
}

}  // namespace tw
