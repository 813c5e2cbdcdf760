// Install benchmark's yardstick: extracts every component cabinet of a
// package straight from views of it through the system's FDI, doing no more
// per file than creating it, writing it and setting its times.
//   fdi_extract PACKAGE FOLDER
// Item 4 + k goes to FOLDER\itemN (N = 4 + k), so that equal names in two
// components do not meet. Prints one line with the counts and the time the
// extraction took, without the program's own start.
#include <windows.h>
#include <fdi.h>

#include <cstdio>
#include <cstring>

#include "common/item_table.h"
#include "win32/handle_item_source.h"

namespace {

// cabinet.dll is not one of the DLLs Windows always takes from its own
// folder, so it is loaded by full path; these are the entry points used.
using FdiCreateFn = decltype(&FDICreate);
using FdiCopyFn = decltype(&FDICopy);
using FdiDestroyFn = decltype(&FDIDestroy);

// The name FDI is given for the cabinet; its open callback maps it to the
// current item's view. FDI opens a cabinet at most twice at a time.
constexpr char kImageName[] = "*item*";
constexpr int kImageSlots = 4;
constexpr INT_PTR kFirstImageHandle = -2;  // -1 is FDI's failure value

struct Image {
  const BYTE* data = nullptr;
  DWORD size = 0;
  LONG position[kImageSlots] = {};
  bool open[kImageSlots] = {};
};
Image image;

int imageSlot(INT_PTR handle) {
  INT_PTR slot = kFirstImageHandle - handle;
  return slot >= 0 && slot < kImageSlots ? static_cast<int>(slot) : -1;
}

struct Totals {
  unsigned files = 0;
  unsigned long long bytes = 0;
};

struct Target {
  char folder[MAX_PATH];  // ends with a backslash
  Totals* totals;
};

FNALLOC(fdiAlloc) { return HeapAlloc(GetProcessHeap(), 0, cb); }
FNFREE(fdiFree) {
  if (pv) HeapFree(GetProcessHeap(), 0, pv);
}

FNOPEN(fdiOpen) {
  if (std::strcmp(pszFile, kImageName) == 0) {
    for (int slot = 0; slot < kImageSlots; ++slot) {
      if (image.open[slot]) continue;
      image.open[slot] = true;
      image.position[slot] = 0;
      return kFirstImageHandle - slot;
    }
    return -1;
  }
  // FDI itself opens nothing but cabinets; a file of the disk is never asked for.
  return -1;
}

FNREAD(fdiRead) {
  int slot = imageSlot(hf);
  if (slot < 0) {
    DWORD done = 0;
    return ReadFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr) ? done : static_cast<UINT>(-1);
  }
  if (!image.open[slot]) return static_cast<UINT>(-1);
  DWORD at = static_cast<DWORD>(image.position[slot]);
  DWORD count = cb > image.size - at ? image.size - at : cb;
  std::memcpy(pv, image.data + at, count);
  image.position[slot] += static_cast<LONG>(count);
  return count;
}

FNWRITE(fdiWrite) {
  if (imageSlot(hf) >= 0) return static_cast<UINT>(-1);
  DWORD done = 0;
  return WriteFile(reinterpret_cast<HANDLE>(hf), pv, cb, &done, nullptr) ? done : static_cast<UINT>(-1);
}

FNCLOSE(fdiClose) {
  int slot = imageSlot(hf);
  if (slot < 0) return CloseHandle(reinterpret_cast<HANDLE>(hf)) ? 0 : -1;
  if (!image.open[slot]) return -1;
  image.open[slot] = false;
  return 0;
}

FNSEEK(fdiSeek) {
  int slot = imageSlot(hf);
  if (slot < 0) return static_cast<long>(SetFilePointer(reinterpret_cast<HANDLE>(hf), dist, nullptr, seektype));
  long long base = seektype == SEEK_SET ? 0 : seektype == SEEK_CUR ? image.position[slot] : image.size;
  long long next = base + dist;
  if (next < 0) next = 0;
  if (next > image.size) next = image.size;
  image.position[slot] = static_cast<LONG>(next);
  return image.position[slot];
}

// Creates the folders of a cabinet name with backslashes below the target.
void makeParents(char* path, size_t from) {
  for (size_t i = from; path[i]; ++i) {
    if (path[i] != '\\') continue;
    path[i] = 0;
    CreateDirectoryA(path, nullptr);
    path[i] = '\\';
  }
}

FNFDINOTIFY(notify) {
  Target* target = static_cast<Target*>(pfdin->pv);
  switch (fdint) {
    case fdintCOPY_FILE: {
      char path[MAX_PATH];
      size_t folder = std::strlen(target->folder);
      if (folder + std::strlen(pfdin->psz1) >= sizeof path) return -1;
      std::memcpy(path, target->folder, folder);
      std::strcpy(path + folder, pfdin->psz1);
      makeParents(path, folder);
      DWORD attributes = pfdin->attribs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                           FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
      HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                attributes | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
      if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "fdi_extract: cannot create %s (error %lu)\n", path, GetLastError());
        return -1;
      }
      ++target->totals->files;
      target->totals->bytes += static_cast<unsigned long>(pfdin->cb);
      return reinterpret_cast<INT_PTR>(file);
    }
    case fdintCLOSE_FILE_INFO: {
      // The cabinet's date and time are taken as they stand, as the
      // runtime takes them.
      FILETIME time;
      HANDLE file = reinterpret_cast<HANDLE>(pfdin->hf);
      if (DosDateTimeToFileTime(pfdin->date, pfdin->time, &time)) SetFileTime(file, &time, &time, &time);
      CloseHandle(file);
      return TRUE;
    }
    case fdintNEXT_CABINET:
      // Every item holds whole files; a request for the next one means a
      // damaged package.
      return -1;
    default:
      return 0;
  }
}

template <class Function>
Function entryPoint(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

int fail(const char* what, unsigned long value) {
  std::fprintf(stderr, "fdi_extract: %s (%lu)\n", what, value);
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: fdi_extract PACKAGE FOLDER\n");
    return 2;
  }
  char library[MAX_PATH];
  UINT length = GetSystemDirectoryA(library, MAX_PATH - 16);
  if (length == 0 || length >= MAX_PATH - 16) return fail("no system folder", GetLastError());
  std::strcat(library, "\\cabinet.dll");
  HMODULE cabinet = LoadLibraryA(library);
  if (!cabinet) return fail("cannot load cabinet.dll from the system folder", GetLastError());
  auto fdiCreate = entryPoint<FdiCreateFn>(cabinet, "FDICreate");
  auto fdiCopy = entryPoint<FdiCopyFn>(cabinet, "FDICopy");
  auto fdiDestroy = entryPoint<FdiDestroyFn>(cabinet, "FDIDestroy");
  if (!fdiCreate || !fdiCopy || !fdiDestroy) return fail("cabinet.dll lacks the FDI entry points", 0);

  HANDLE package = CreateFileA(argv[1], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (package == INVALID_HANDLE_VALUE) return fail("cannot open the package", GetLastError());
  LARGE_INTEGER fileSize;
  if (!GetFileSizeEx(package, &fileSize)) return fail("cannot read the package's size", GetLastError());
  tw::HandleItemSource source(package);
  tw::ItemTableInfo table;
  tw::ItemTableError tableError =
      tw::readItemTableInfo(source, static_cast<std::uint64_t>(fileSize.QuadPart), &table);
  if (tableError != tw::ItemTableError::ok) return fail("no item table", static_cast<unsigned long>(tableError));
  HANDLE mapping = CreateFileMappingA(package, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping) return fail("cannot map the package", GetLastError());
  SYSTEM_INFO system;
  GetSystemInfo(&system);

  CreateDirectoryA(argv[2], nullptr);
  Totals totals;
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  ERF error = {};
  HFDI fdi = fdiCreate(fdiAlloc, fdiFree, fdiOpen, fdiRead, fdiWrite, fdiClose, fdiSeek, cpuUNKNOWN, &error);
  if (!fdi) return fail("FDICreate failed", static_cast<unsigned long>(error.erfOper));
  unsigned cabinets = 0;
  for (std::uint32_t item = tw::kItemFirstComponent; item <= table.count; ++item) {
    tw::ItemRecord record;
    if (tw::readItemRecord(source, table, item, &record) != tw::ItemTableError::ok)
      return fail("bad item record", item);
    tw::ItemView view;
    if (!tw::planItemView(record, system.dwAllocationGranularity, 0x7FFFFFFF, &view))
      return fail("item cannot be viewed", item);
    void* base = MapViewOfFile(mapping, FILE_MAP_READ, static_cast<DWORD>(view.viewOffset >> 32),
                               static_cast<DWORD>(view.viewOffset), static_cast<SIZE_T>(view.viewLength));
    if (!base) return fail("cannot map an item", GetLastError());
    image.data = static_cast<const BYTE*>(base) + view.dataDelta;
    image.size = record.size;

    Target target;
    target.totals = &totals;
    int written = std::snprintf(target.folder, sizeof target.folder, "%s\\item%u\\", argv[2],
                                static_cast<unsigned>(item));
    if (written < 0 || static_cast<size_t>(written) >= sizeof target.folder) return fail("folder name too long", item);
    CreateDirectoryA(target.folder, nullptr);
    char name[sizeof kImageName], folder[] = "";
    std::memcpy(name, kImageName, sizeof kImageName);
    BOOL copied = fdiCopy(fdi, name, folder, 0, notify, nullptr, &target);
    UnmapViewOfFile(base);
    if (!copied) return fail("FDICopy failed on an item, FDI error", static_cast<unsigned long>(error.erfOper));
    ++cabinets;
  }
  fdiDestroy(fdi);
  QueryPerformanceCounter(&end);
  CloseHandle(mapping);
  CloseHandle(package);
  FreeLibrary(cabinet);
  double ms = 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
  std::printf("fdi_extract: %u cabinets, %u files, %llu bytes in %.0f ms\n", cabinets, totals.files, totals.bytes,
              ms);
  return 0;
}
