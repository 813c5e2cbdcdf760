// Host file times in local DOS date and time.
#include "builder/package/host_file_times.h"

#include <ctime>

namespace tw {

DosDateTime hostDosDateTime(int64_t unixSeconds) {
  std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm local{};
#ifdef _WIN32
  if (localtime_s(&local, &t) != 0) return toDosDateTime(1601, 1, 1, 0, 0, 0);
#else
  tzset();
  if (!localtime_r(&t, &local)) return toDosDateTime(1601, 1, 1, 0, 0, 0);
#endif
  return toDosDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                       local.tm_sec);
}

}  // namespace tw
