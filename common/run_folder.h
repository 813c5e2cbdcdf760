// The folders a run makes in the temporary folder for what it loads and
// starts from there: "ZET" and sixteen upper-case hex digits of a random
// number, so that nobody can tell the name beforehand. The dispatcher names
// its work folder so, the runtime the folder it starts the remover from; the
// runtime and the remover take away only a folder of this form, directly in
// the temporary folder. Free of any library call (the dispatcher and the
// remover link no C runtime).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

constexpr char kRunFolderPrefix[] = "ZET";
constexpr std::size_t kRunFolderDigits = 16;
// "ZET" + digits, without terminating zero.
constexpr std::size_t kRunFolderNameLength = 3 + kRunFolderDigits;

// Writes the name for random (kRunFolderNameLength characters and a zero)
// into out.
void formatRunFolderName(std::uint64_t random, char (&out)[kRunFolderNameLength + 1]);

// True for a name formatRunFolderName makes (hex digits of either case).
bool isRunFolderName(const char* name, std::size_t length);

// True when folder (with or without trailing backslash) is a run folder
// directly in tempPath (with or without trailing backslash); ASCII letters
// compare without regard to case.
bool isRunFolderIn(const char* folder, const char* tempPath);

}  // namespace tw
