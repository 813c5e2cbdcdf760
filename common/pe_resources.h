// The resources of a 32-bit Windows module (PE32): read them, and write a
// module whose resource section holds a changed set, without the system's
// resource-update calls, so that every platform binds byte for byte alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/res_file.h"

namespace tw {

enum class PeError {
  kOk,
  kNotAModule,        // no MZ/PE signature, or not a 32-bit (PE32) image
  kHeaderPastEnd,     // a header or the section table reaches past the end
  kBadSection,        // a section's raw data lies outside the file
  kBadResourceTree,   // the resource directory points outside its section,
                      // loops, or is deeper than type/name/language
  kSectionAfterResources,  // a section that is not discardable (or holds
                           // the debug directory) follows the resources
  kNoRoomForSection,  // no resource section and no room for its header
  kSigned,            // the module carries a certificate, which would break
  kTooLarge,          // a size does not fit its 32-bit field
};

// A short English description, for messages.
const char* peErrorText(PeError error);

// Every resource of the module in the order of its directory (types, names,
// languages). Entries get the language and the data; the other header fields
// of a .RES entry stay at their defaults.
[[nodiscard]] PeError readPeResources(const std::vector<uint8_t>& module, std::vector<ResEntry>& entries);

// Writes into `out` the module with every resource that has the type and
// name of one of `entries` (of any language; string names compared without
// regard to case, as the loader finds them) replaced by `entries`; all other
// resources stay. The resource section is rebuilt in place; discardable
// sections that follow it (base relocations, debugging data) move up behind
// it, with the data directories that point into them (their contents do not
// depend on where they lie). Any other section after it is refused. A module without a
// resource section gets one after its last section. The section table, the
// image size, the size of initialised data, the resource and relocation
// directory entries and the checksum field are brought up to date; bytes
// after the last section (an overlay) are kept behind the new end. Nothing
// of the process (time, memory) enters the output: the same inputs give the
// same bytes.
[[nodiscard]] PeError replacePeResources(const std::vector<uint8_t>& module, const std::vector<ResEntry>& entries,
                                         std::vector<uint8_t>& out);

// The fixed file version of a module's version resource (type 16): the most
// and least significant halves; false when it has none or it is damaged.
bool peFixedFileVersion(const std::vector<uint8_t>& module, uint32_t& versionMS, uint32_t& versionLS);

// The version digits that name "Hoehere Version" files in a cabinet: sixteen
// upper-case hex digits, the least significant half of the fixed file
// version (release.build) first, then the most significant (major.minor);
// all zero when the module has no version resource.
std::string peVersionDigits(const std::vector<uint8_t>& module);

// The image checksum of the file as the loader's checksum routine computes
// it (the checksum field itself counted as zero).
uint32_t peImageChecksum(const std::vector<uint8_t>& module, size_t checksumOffset);

}  // namespace tw
