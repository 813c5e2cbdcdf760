// The cabinet library's notification and progress callbacks of an install
// run, and the same walk for uncompressed components copied from the
// source folder.
#include <windows.h>

#include <fdi.h>

#include "setup/engine/file_version_reader.h"
#include "setup/engine/install_run.h"
#include "setup/main/runtime_state.h"
#include "setup/main/type_components.h"

namespace tw {
namespace {

typedef LONG(WINAPI* PromptSourceHook)(HWND, LONG, LONG);

INT_PTR DIAMONDAPI onNotify(FDINOTIFICATIONTYPE type, PFDINOTIFICATION note) {
  auto& run = *static_cast<InstallRun*>(note->pv);
  FileNote file{note->psz1, static_cast<uint32_t>(note->cb), note->date, note->time, note->attribs};
  switch (type) {
    case fdintCOPY_FILE:
      return beginFile(run, file);
    case fdintCLOSE_FILE_INFO:
      if (run.check) return 1;
      if (!run.blocksReported) countProgress(run, run.fileSize, 0, 90);
      return endFile(run, reinterpret_cast<HANDLE>(note->hf), file) ? 1 : 0;
    default:
      return 0;
  }
}

int DIAMONDAPI onProgress(PFDIDECRYPT d) {
  auto& run = *static_cast<InstallRun*>(d->pvUser);
  switch (d->fdidt) {
    case fdidtNEW_CABINET:
      if (!run.check) run.done += kProgressCabinetHeader;
      return 0;
    case fdidtNEW_FOLDER:
      if (!run.check) run.done += kProgressFolderEntry;
      return 0;
    case fdidtDECRYPT:
      run.blocksReported = true;
      if (!run.check) {
        countProgress(run, progressDataBlock(d->decrypt.fSplit, d->decrypt.cbPartial, d->decrypt.cbData), 0, 90);
      }
      return 1;
  }
  return 0;
}

bool dosTime(const FILETIME& time, uint16_t& date, uint16_t& clock) {
  WORD d = 0, t = 0;
  if (!FileTimeToDosDateTime(&time, &d, &t)) return false;
  date = d;
  clock = t;
  return true;
}

}  // namespace

void* notifyCallback() { return reinterpret_cast<void*>(onNotify); }
void* progressCallback() { return reinterpret_cast<void*>(onProgress); }

int copyFromSource(InstallRun& run, const std::string& sourceDir) {
  RunState& s = runState();
  // The part of the target below the installation directory, taken to the
  // source folder.
  std::string below;
  if (run.targetDir.size() >= s.installDir.size() &&
      lstrcmpiA(run.targetDir.substr(0, s.installDir.size()).c_str(), s.installDir.c_str()) == 0)
    below = run.targetDir.substr(s.installDir.size());
  std::vector<char> block;
  for (;;) {
    while (const ProfileEntry* e = run.currentEntry()) {
      if ((e->flags & (kEntryFile | kEntryPlaceholder)) != (kEntryFile | kEntryPlaceholder)) break;
      run.entry->files.set(run.index++);
      ++run.current;
    }
    const ProfileEntry* e = run.currentEntry();
    if (!e || !(e->flags & kEntryFile)) return 0;
    std::string source = sourceDir + below + "\\" + e->text;
    WIN32_FILE_ATTRIBUTE_DATA data;
    while (!GetFileAttributesExA(source.c_str(), GetFileExInfoStandard, &data)) {
      auto prompt = reinterpret_cast<PromptSourceHook>(
          reinterpret_cast<void*>(GetProcAddress(s.resources, "ZETUPromptSourceProc")));
      if (run.check || !prompt || !prompt(s.mainWindow, 0, 0)) return FDIERROR_TARGET_FILE;
    }
    FileNote note{e->text.c_str(), uint64_t{data.nFileSizeHigh} << 32 | data.nFileSizeLow, 0, 0,
                  static_cast<uint16_t>(data.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY)};
    dosTime(data.ftLastWriteTime, note.date, note.time);
    run.versionFromName = false;
    if ((e->flags & kEntryModeMask) == 2) {
      auto version = readFileVersion(source);
      run.newVersion = version ? *version : FileVersionPair{};
    }
    INT_PTR result = beginFile(run, note);
    if (result == -1) return FDIERROR_USER_ABORT;
    if (result == 0) continue;
    HANDLE out = reinterpret_cast<HANDLE>(result);
    HANDLE in = CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    bool ok = in != INVALID_HANDLE_VALUE;
    uint64_t left = note.size;
    block.resize(left < 65536 ? (left ? static_cast<size_t>(left) : 1) : 65536);
    while (ok && left) {
      DWORD chunk = left < block.size() ? static_cast<DWORD>(left) : static_cast<DWORD>(block.size()), got = 0, put = 0;
      ok = ReadFile(in, block.data(), chunk, &got, nullptr) && got == chunk &&
           WriteFile(out, block.data(), chunk, &put, nullptr) && put == chunk;
      if (ok) {
        countProgress(run, chunk, 0, 90);
        left -= chunk;
      }
    }
    DWORD error = GetLastError();
    if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
    if (!ok) {
      CloseHandle(out);
      SetLastError(error);
      return FDIERROR_TARGET_FILE;
    }
    if (!endFile(run, out, note)) return FDIERROR_TARGET_FILE;
  }
}

}  // namespace tw
