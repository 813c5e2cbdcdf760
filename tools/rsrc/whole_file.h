// Reads a whole file of the binder's (a module or a resource file) into memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// False, with message saying why, when the file cannot be opened or read or
// is larger than maxSize; kind names the file in that message ("module").
[[nodiscard]] bool readWholeFile(const std::wstring& path, uint32_t maxSize, const wchar_t* kind,
                                 std::vector<uint8_t>& bytes, std::wstring& message);
