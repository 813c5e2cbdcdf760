// File engine rules.
#include "setup/core/engine/file_rules.h"

namespace tw {
namespace {

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool parseHex32(const std::string& text, size_t at, uint32_t& value) {
  value = 0;
  for (size_t i = at; i < at + 8; ++i) {
    int d = hexDigit(text[i]);
    if (d < 0) return false;
    value = value << 4 | static_cast<uint32_t>(d);
  }
  return true;
}

bool isLeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

std::optional<FileVersionPair> versionFromCabinetName(const std::string& name) {
  FileVersionPair v;
  if (name.size() < 16 || !parseHex32(name, 0, v.ls) || !parseHex32(name, 8, v.ms)) return std::nullopt;
  return v;
}

std::string targetNameFromCabinetName(const std::string& name, bool versionChecked) {
  if (versionChecked && versionFromCabinetName(name)) return name.substr(16);
  return name;
}

bool isLowerVersion(FileVersionPair candidate, FileVersionPair existing) {
  if (candidate.ms != existing.ms) return candidate.ms < existing.ms;
  return candidate.ls < existing.ls;
}

uint64_t dosDateTimeToFileTime(uint16_t date, uint16_t time) {
  int year = 1980 + (date >> 9), month = (date >> 5) & 15, day = date & 31;
  int hour = time >> 11, minute = (time >> 5) & 63, second = (time & 31) * 2;
  if (month < 1) month = 1;
  if (month > 12) month = 12;
  if (day < 1) day = 1;
  static const int kDaysBefore[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
  int64_t days = 0;
  for (int y = 1601; y < year; ++y) days += isLeapYear(y) ? 366 : 365;
  days += kDaysBefore[month - 1] + (month > 2 && isLeapYear(year) ? 1 : 0) + (day - 1);
  int64_t seconds = days * 86400 + hour * 3600 + minute * 60 + second;
  return static_cast<uint64_t>(seconds) * 10000000u;
}

bool replacesExisting(OverwriteMode mode, const ExistingFile& existing, uint16_t dosDate, uint16_t dosTime,
                      FileVersionPair newVersion) {
  switch (mode) {
    case OverwriteMode::Always: return true;
    case OverwriteMode::Never: return false;
    case OverwriteMode::IfNewer: return dosDateTimeToFileTime(dosDate, dosTime) >= existing.creationTime;
    case OverwriteMode::IfHigherVersion:
      return !existing.version || !isLowerVersion(newVersion, *existing.version);
  }
  return true;
}

std::string inUseReplacementPath(const std::string& path) {
  if (path.empty()) return path;
  std::string out = path;
  out.back() = out.back() == '_' ? '~' : '_';
  return out;
}

bool iniLineKeptVerbatim(const std::string& line) {
  size_t first = line.find_first_not_of(" \r\n");
  if (first == std::string::npos) return true;  // empty or blanks only
  if (line[first] == '[') return true;
  size_t last = line.find_last_not_of(" \r\n");
  return first == last && last == line.size() - 1;
}

uint64_t progressFileEntry(size_t nameLength) { return nameLength + 17; }

uint64_t progressDataBlock(bool split, uint32_t partialBytes, uint32_t dataBytes) {
  if (split && partialBytes == 0) return 0;
  return 8u + static_cast<uint64_t>(dataBytes) + partialBytes;
}

int progressPosition(uint64_t done, uint64_t total, int base, int span) {
  if (total == 0) return base;
  if (done > total) done = total;
  return base + static_cast<int>(done * static_cast<uint64_t>(span) / total);
}

}  // namespace tw
