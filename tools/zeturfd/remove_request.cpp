// The folder remover's command line and the folders it refuses.
#include "tools/zeturfd/remove_request.h"

namespace {

constexpr char kKeyword[] = "ZETUREMOVE";
constexpr size_t kMaxToken = 2 * kRemoveMaxPath;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

char upper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

bool isLetter(char c) { return upper(c) >= 'A' && upper(c) <= 'Z'; }

// Copies the next argument into token of capacity characters (cut short
// with tooLong set); returns false at the end of the line.
bool nextToken(const char*& p, char* token, size_t capacity, bool& tooLong) {
  while (isBlank(*p)) ++p;
  if (*p == '\0') return false;
  size_t n = 0;
  bool quoted = false;
  tooLong = false;
  for (; *p != '\0' && (quoted || !isBlank(*p)); ++p) {
    if (*p == '"') {
      quoted = !quoted;
    } else if (n + 1 < capacity) {
      token[n++] = *p;
    } else {
      tooLong = true;
    }
  }
  token[n] = '\0';
  return true;
}

bool equals(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

// Decimal, optionally negative: the runtime of the 9x family may print its
// process id, which has the top bit set there, as a signed number.
bool parseProcessId(const char* text, uint32_t& id) {
  bool negative = *text == '-';
  if (negative) ++text;
  if (*text == '\0') return false;
  uint64_t value = 0;
  for (; *text != '\0'; ++text) {
    if (*text < '0' || *text > '9') return false;
    value = value * 10 + uint64_t(*text - '0');
    if (value > (negative ? 0x80000000ull : 0xFFFFFFFFull)) return false;
  }
  id = negative ? uint32_t(0u - uint32_t(value)) : uint32_t(value);
  return true;
}

// A path part the system would read as the folder itself or a parent: "."
// and "..", and on the 9x family also "...": any part of dots and blanks.
bool isDotPart(const char* part, size_t n) {
  for (size_t i = 0; i < n; ++i)
    if (part[i] != '.' && part[i] != ' ') return false;
  return true;
}

// Checks the parts of rest, separated by single backslashes, and counts them.
bool checkParts(const char* rest, size_t& parts) {
  parts = 0;
  const char* part = rest;
  for (const char* p = rest;; ++p) {
    if (*p == '\\' || *p == '\0') {
      const size_t n = size_t(p - part);
      if (n == 0 || isDotPart(part, n)) return false;
      ++parts;
      if (*p == '\0') return true;
      part = p + 1;
    } else if (*p == '*' || *p == '?' || *p == ':' || *p == '"' || *p == '<' ||
               *p == '>' || *p == '|' || uint8_t(*p) < 0x20) {
      return false;
    }
  }
}

RequestFault checkFolder(char* folder) {
  size_t n = 0;
  for (char* p = folder; *p != '\0'; ++p, ++n)
    if (*p == '/') *p = '\\';
  if (n == 0) return RequestFault::kFolderEmpty;
  while (n > 0 && folder[n - 1] == '\\') folder[--n] = '\0';
  if (n == 0) return RequestFault::kFolderRoot;  // "\" is the current drive's root

  size_t parts = 0;
  if (isLetter(folder[0]) && folder[1] == ':') {
    if (n == 2) return RequestFault::kFolderRoot;
    if (folder[2] != '\\') return RequestFault::kFolderRelative;
    if (!checkParts(folder + 3, parts)) return RequestFault::kFolderBadPart;
    return RequestFault::kOk;
  }
  if (folder[0] == '\\' && folder[1] == '\\') {
    // \\server\share\folder...: the server and the share are no folder of
    // their own, and \\?\ and \\.\ name devices rather than servers.
    if (folder[2] == '?' || (folder[2] == '.' && folder[3] == '\\'))
      return RequestFault::kFolderBadPart;
    if (!checkParts(folder + 2, parts)) return RequestFault::kFolderBadPart;
    return parts < 3 ? RequestFault::kFolderRoot : RequestFault::kOk;
  }
  return RequestFault::kFolderRelative;
}

}  // namespace

RequestFault parseRemoveRequest(const char* commandLine, RemoveRequest& request) {
  char token[kMaxToken];
  const char* p = commandLine;
  bool ignored = false, folderTooLong = false, idTooLong = false;
  if (!nextToken(p, token, kMaxToken, ignored)) return RequestFault::kNotRemoveCommand;
  if (!nextToken(p, token, kMaxToken, ignored) || ignored || !equals(token, kKeyword))
    return RequestFault::kNotRemoveCommand;
  if (!nextToken(p, request.folder, kRemoveMaxPath, folderTooLong) ||
      !nextToken(p, token, kMaxToken, idTooLong))
    return RequestFault::kNotRemoveCommand;
  const char* rest = p;
  while (isBlank(*rest)) ++rest;
  if (*rest != '\0') return RequestFault::kNotRemoveCommand;

  if (idTooLong || !parseProcessId(token, request.processId))
    return RequestFault::kBadProcessId;
  if (folderTooLong) return RequestFault::kFolderTooLong;
  return checkFolder(request.folder);
}

bool isSameOrBelow(const char* folder, const char* path) {
  while (*folder != '\0' && upper(*folder) == upper(*path)) ++folder, ++path;
  return *folder == '\0' && (*path == '\0' || *path == '\\');
}
