// Random names and access lists for the run folders.
#include "dispatcher/private_folder.h"

#include "common/sha256.h"

namespace tw {
namespace {

HMODULE advapi() {
  static HMODULE module = nullptr;
  static bool tried = false;
  if (tried) return module;
  tried = true;
  char path[MAX_PATH + 16];
  const UINT n = GetSystemDirectoryA(path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  if (path[n - 1] != '\\') lstrcatA(path, "\\");
  lstrcatA(path, "ADVAPI32.DLL");
  module = LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  return module;
}

template <typename Fn>
Fn advapiProc(const char* name) {
  HMODULE module = advapi();
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool fromRtlGenRandom(void* out, ULONG size) {
  using Fn = BOOLEAN(WINAPI*)(PVOID, ULONG);
  auto gen = advapiProc<Fn>("SystemFunction036");
  return gen != nullptr && gen(out, size);
}

bool fromCryptGenRandom(void* out, DWORD size) {
  using Acquire = BOOL(WINAPI*)(ULONG_PTR*, LPCSTR, LPCSTR, DWORD, DWORD);
  using Gen = BOOL(WINAPI*)(ULONG_PTR, DWORD, BYTE*);
  using Release = BOOL(WINAPI*)(ULONG_PTR, DWORD);
  auto acquire = advapiProc<Acquire>("CryptAcquireContextA");
  auto gen = advapiProc<Gen>("CryptGenRandom");
  auto release = advapiProc<Release>("CryptReleaseContext");
  if (acquire == nullptr || gen == nullptr || release == nullptr) return false;
  ULONG_PTR provider = 0;
  // PROV_RSA_FULL, CRYPT_VERIFYCONTEXT: no key container needed.
  if (!acquire(&provider, nullptr, nullptr, 1, 0xF0000000)) return false;
  const bool ok = gen(provider, size, static_cast<BYTE*>(out)) != 0;
  release(provider, 0);
  return ok;
}

// Whatever differs between runs and moments, mixed through SHA-256: not
// unpredictable to someone on the same machine who watches closely, but
// only the fallback where the system offers no random source.
void mixed(std::uint8_t (&digest)[kSha256Size]) {
  static LONG counter = 0;
  Sha256 h;
  for (int round = 0; round < 4; ++round) {
    LARGE_INTEGER performance = {};
    QueryPerformanceCounter(&performance);
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    DWORD values[8] = {performance.LowPart, static_cast<DWORD>(performance.HighPart), now.dwLowDateTime,
                       now.dwHighDateTime, GetTickCount(), GetCurrentProcessId(), GetCurrentThreadId(),
                       static_cast<DWORD>(InterlockedIncrement(&counter))};
    h.update(values, sizeof values);
    const void* where = &values;
    h.update(&where, sizeof where);
    MEMORYSTATUS memory = {};
    memory.dwLength = sizeof memory;
    GlobalMemoryStatus(&memory);
    h.update(&memory, sizeof memory);
    Sleep(0);
  }
  h.finish(digest);
}

// Is the system one of the NT family (the version's top bit clear)?
bool ntFamily() { return (GetVersion() & 0x80000000u) == 0; }

// The current user's SID in buffer; null when it cannot be had.
PSID currentUser(BYTE* buffer, DWORD size) {
  using OpenToken = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
  using GetInfo = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
  auto openToken = advapiProc<OpenToken>("OpenProcessToken");
  auto getInfo = advapiProc<GetInfo>("GetTokenInformation");
  if (openToken == nullptr || getInfo == nullptr) return nullptr;
  HANDLE token = nullptr;
  if (!openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
  DWORD got = 0;
  const BOOL ok = getInfo(token, TokenUser, buffer, size, &got);
  CloseHandle(token);
  return ok ? reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid : nullptr;
}

// Builds the folder's descriptor in the caller's buffers; false when the
// system lacks a call (the folder is then not made: better no folder than
// one anybody may write into).
bool privateDescriptor(SECURITY_DESCRIPTOR* sd, BYTE* aclBuffer, DWORD aclSize, BYTE* userBuffer,
                       DWORD userSize, BYTE* adminBuffer, BYTE* systemBuffer) {
  using InitSid = BOOL(WINAPI*)(PSID, PSID_IDENTIFIER_AUTHORITY, BYTE);
  using SubAuthority = PDWORD(WINAPI*)(PSID, DWORD);
  using InitAcl = BOOL(WINAPI*)(PACL, DWORD, DWORD);
  using AddAceEx = BOOL(WINAPI*)(PACL, DWORD, DWORD, DWORD, PSID);
  using InitSd = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, DWORD);
  using SetDacl = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
  using SetOwner = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, PSID, BOOL);
  using SetControl = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, SECURITY_DESCRIPTOR_CONTROL, SECURITY_DESCRIPTOR_CONTROL);
  auto initSid = advapiProc<InitSid>("InitializeSid");
  auto subAuthority = advapiProc<SubAuthority>("GetSidSubAuthority");
  auto initAcl = advapiProc<InitAcl>("InitializeAcl");
  auto addAceEx = advapiProc<AddAceEx>("AddAccessAllowedAceEx");
  auto initSd = advapiProc<InitSd>("InitializeSecurityDescriptor");
  auto setDacl = advapiProc<SetDacl>("SetSecurityDescriptorDacl");
  auto setOwner = advapiProc<SetOwner>("SetSecurityDescriptorOwner");
  auto setControl = advapiProc<SetControl>("SetSecurityDescriptorControl");
  if (!initSid || !subAuthority || !initAcl || !addAceEx || !initSd || !setDacl || !setOwner) return false;

  PSID user = currentUser(userBuffer, userSize);
  if (user == nullptr) return false;
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = adminBuffer;
  if (!initSid(admins, &nt, 2)) return false;
  *subAuthority(admins, 0) = SECURITY_BUILTIN_DOMAIN_RID;
  *subAuthority(admins, 1) = DOMAIN_ALIAS_RID_ADMINS;
  PSID system = systemBuffer;
  if (!initSid(system, &nt, 1)) return false;
  *subAuthority(system, 0) = SECURITY_LOCAL_SYSTEM_RID;

  PACL acl = reinterpret_cast<PACL>(aclBuffer);
  const DWORD inherit = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  if (!initAcl(acl, aclSize, ACL_REVISION) || !addAceEx(acl, ACL_REVISION, inherit, GENERIC_ALL, user) ||
      !addAceEx(acl, ACL_REVISION, inherit, GENERIC_ALL, admins) ||
      !addAceEx(acl, ACL_REVISION, inherit, GENERIC_ALL, system))
    return false;
  if (!initSd(sd, SECURITY_DESCRIPTOR_REVISION) || !setDacl(sd, TRUE, acl, FALSE) || !setOwner(sd, user, FALSE))
    return false;
  // Not widened by what the temporary folder hands down (NT 5 and later).
  if (setControl) setControl(sd, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
  return true;
}

}  // namespace

std::uint64_t randomNumber(RandomSource* source) {
  std::uint64_t value = 0;
  RandomSource from = RandomSource::kRtlGenRandom;
  if (!fromRtlGenRandom(&value, sizeof value)) {
    from = RandomSource::kCryptGenRandom;
    if (!fromCryptGenRandom(&value, sizeof value)) {
      from = RandomSource::kMixed;
      std::uint8_t digest[kSha256Size];
      mixed(digest);
      for (int i = 0; i < 8; ++i) value = value << 8 | digest[i];
    }
  }
  if (source != nullptr) *source = from;
  return value;
}

bool createPrivateFolder(const char* folder) {
  if (!ntFamily()) return CreateDirectoryA(folder, nullptr) != 0;
  SECURITY_DESCRIPTOR sd;
  BYTE acl[512];
  BYTE user[256];
  BYTE admins[SECURITY_MAX_SID_SIZE];
  BYTE system[SECURITY_MAX_SID_SIZE];
  if (!privateDescriptor(&sd, acl, sizeof acl, user, sizeof user, admins, system)) {
    if (GetLastError() == NO_ERROR) SetLastError(ERROR_PROC_NOT_FOUND);
    return false;
  }
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, &sd, FALSE};
  return CreateDirectoryA(folder, &attributes) != 0;
}

}  // namespace tw
