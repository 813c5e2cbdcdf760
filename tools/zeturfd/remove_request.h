// The folder remover's command line: ZETUREMOVE "FOLDER" PID, and which
// folders it must refuse. Portable and free of any library call, so that the
// remover links without a C runtime.
#pragma once

#include <cstddef>
#include <cstdint>

// Longest folder path the remover handles, including the terminating zero;
// the ANSI file calls allow no more, and the search pattern needs room.
constexpr size_t kRemoveMaxPath = 260;

struct RemoveRequest {
  char folder[kRemoveMaxPath];  // absolute, backslashes, no trailing backslash
  uint32_t processId;
};

enum class RequestFault {
  kOk,
  kNotRemoveCommand,  // not exactly: program ZETUREMOVE "FOLDER" PID
  kBadProcessId,      // PID is not a 32-bit decimal number
  kFolderEmpty,
  kFolderTooLong,
  kFolderRelative,    // no drive and backslash, and no \\server\share
  kFolderRoot,        // a drive root or a network share root
  kFolderBadPart,     // wildcards, stream colons, "." or ".." parts
};

// Splits the whole command line (program name first) the simple way: blanks
// and tabs separate, double quotes group, backslashes are plain characters
// (so a quoted folder with a trailing backslash still reads as meant).
[[nodiscard]] RequestFault parseRemoveRequest(const char* commandLine,
                                              RemoveRequest& request);

// True when path is folder itself or lies below it; ASCII letters compare
// without regard to case. Both without trailing backslash.
bool isSameOrBelow(const char* folder, const char* path);
