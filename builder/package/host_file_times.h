// File times of host files as the cabinet stores them.
#pragma once
#include <cstdint>

#include "builder/package/build_safety.h"

namespace tw {

// The DOS date and time of a host file's last-write time (seconds since
// 1970 UTC) in the local time the TZ environment variable gives: the rule
// by which Wine turns a file's time into Windows' local time, so that a host
// build and a build under Wine on the same machine store the same times
// (with TZ unset, as in the test harness, both use the system's zone, UTC
// here). Before 1980 or after 2107 the time is clamped as toDosDateTime does.
DosDateTime hostDosDateTime(int64_t unixSeconds);

}  // namespace tw
