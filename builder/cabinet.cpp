// FCI callbacks: the cabinet "file" FCI writes is the package itself.
#include "builder/cabinet.h"

#include <cstdlib>
#include <cstring>

#include "builder/build/build_context.h"
#include "builder/build/build_safety.h"
#include "builder/win32_file_system.h"
#include "cabxpd32/core/open_flags.h"

namespace tw {
namespace {

constexpr char kCabinetName[] = "BMTBW.CAB";
constexpr USHORT kSetId = 25867;
constexpr TCOMP kLzx21 = 0x1503;  // LZX, window 2^21
TCOMP compression = kLzx21;
constexpr ULONG kUnlimited = 0x7FFFFFFF;

CabinetWriter* self(void* pv) { return static_cast<CabinetWriter*>(pv); }

// Some compressors keep no data file for a folder whose files are all
// empty and pass "no file" (-1) when they copy its (absent) data blocks:
// such a file is empty, at position 0, and closing it does nothing.
constexpr INT_PTR kNoFile = -1;

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
  // FCI's own error type is not set on every path; the callbacks' code is.
  if (systemError_) return systemErrorText(systemError_);
  return "FCI-Fehler " + std::to_string(error_.erfOper);
}

int CabinetWriter::fail(INT_PTR file, int* err, unsigned long code) {
  // A call that failed without a code still failed: a short write is a full disk.
  if (!code) code = ERROR_HANDLE_DISK_FULL;
  *err = static_cast<int>(code);
  systemError_ = code;
  packageFailed_ = reinterpret_cast<HANDLE>(file) == package_;
  failedFile_ = packageFailed_ ? packageName_ : std::string();
  for (const auto& f : openFiles_)
    if (f.first == file) failedFile_ = f.second;
  return -1;
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
  const cabxpd::RealFileOpen how = cabxpd::realFileOpen(oflag);
  DWORD access = how.access == cabxpd::FileAccess::read    ? GENERIC_READ
                 : how.access == cabxpd::FileAccess::write ? GENERIC_WRITE
                                                           : GENERIC_READ | GENERIC_WRITE;
  DWORD disposition = how.disposition == cabxpd::FileDisposition::createNew      ? CREATE_NEW
                      : how.disposition == cabxpd::FileDisposition::createAlways ? CREATE_ALWAYS
                                                                                 : OPEN_EXISTING;
  HANDLE h = CreateFileA(pszFile, access, 0, nullptr, disposition,
                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    DWORD code = GetLastError();
    w->fail(-1, err, code);
    w->failedFile_ = pszFile;
    return -1;
  }
  w->openFiles_.emplace_back(reinterpret_cast<INT_PTR>(h), pszFile);
  return reinterpret_cast<INT_PTR>(h);
}

FNFCIREAD(CabinetWriter::read) {
  if (hf == kNoFile) return 0;
  DWORD n = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(hf), memory, cb, &n, nullptr)) {
    self(pv)->fail(hf, err, GetLastError());
    return static_cast<UINT>(-1);
  }
  return n;
}

FNFCIWRITE(CabinetWriter::write) {
  DWORD n = 0;
  if (!WriteFile(reinterpret_cast<HANDLE>(hf), memory, cb, &n, nullptr)) {
    self(pv)->fail(hf, err, GetLastError());
    return static_cast<UINT>(-1);
  }
  if (n != cb) {
    self(pv)->fail(hf, err, ERROR_HANDLE_DISK_FULL);
    return static_cast<UINT>(-1);
  }
  return n;
}

FNFCICLOSE(CabinetWriter::close) {
  CabinetWriter* w = self(pv);
  // The package stays open; "no file" has nothing to close.
  if (reinterpret_cast<HANDLE>(hf) == w->package_ || hf == kNoFile) return 0;
  for (size_t i = 0; i < w->openFiles_.size(); ++i)
    if (w->openFiles_[i].first == hf) {
      w->openFiles_.erase(w->openFiles_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  if (!CloseHandle(reinterpret_cast<HANDLE>(hf))) return w->fail(hf, err, GetLastError());
  return 0;
}

FNFCISEEK(CabinetWriter::seek) {
  CabinetWriter* w = self(pv);
  if (hf == kNoFile) return dist == 0 ? 0 : w->fail(hf, err, ERROR_NEGATIVE_SEEK);
  HANDLE h = reinterpret_cast<HANDLE>(hf);
  LARGE_INTEGER to{}, now{};
  if (h == w->package_) {
    // Positions inside the cabinet are relative to where it began.
    if (seektype == SEEK_END) {
      to.QuadPart = dist;
      if (!SetFilePointerEx(h, to, &now, FILE_END)) return w->fail(hf, err, GetLastError());
    } else {
      to.QuadPart = w->cabinetBase_ + (seektype == SEEK_SET ? dist : 0);
      if (seektype == SEEK_CUR) {
        LARGE_INTEGER zero{};
        SetFilePointerEx(h, zero, &now, FILE_CURRENT);
        to.QuadPart = now.QuadPart + dist;
      }
      if (!SetFilePointerEx(h, to, &now, FILE_BEGIN)) return w->fail(hf, err, GetLastError());
    }
    int64_t relative = now.QuadPart - w->cabinetBase_;
    if (relative < 0) return w->fail(hf, err, ERROR_NEGATIVE_SEEK);
    return static_cast<__LONG32>(relative);
  }
  to.QuadPart = dist;
  DWORD method = seektype == SEEK_SET ? FILE_BEGIN : seektype == SEEK_CUR ? FILE_CURRENT : FILE_END;
  if (!SetFilePointerEx(h, to, &now, method)) return w->fail(hf, err, GetLastError());
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
  // In the build's own folder, which goes with the build.
  char name[MAX_PATH];
  if (!GetTempFileNameA(self(pv)->params_.szCabPath, "TBW", 0, name)) return FALSE;
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
    self(pv)->fail(-1, err, GetLastError());
    self(pv)->failedFile_ = pszName;
    return -1;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info)) {
    DWORD code = GetLastError();
    CloseHandle(h);
    self(pv)->fail(-1, err, code);
    self(pv)->failedFile_ = pszName;
    return -1;
  }
  self(pv)->openFiles_.emplace_back(reinterpret_cast<INT_PTR>(h), pszName);
  // The cabinet's dates begin in 1980; an earlier file gets the first one.
  FILETIME local;
  SYSTEMTIME t{};
  if (!FileTimeToLocalFileTime(&info.ftLastWriteTime, &local) || !FileTimeToSystemTime(&local, &t)) t.wYear = 1601;
  DosDateTime dos = toDosDateTime(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  *pdate = dos.date;
  *ptime = dos.time;
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
