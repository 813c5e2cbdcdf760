// The registry services the portable core needs; the programs pass a Win32
// implementation, tests an in-memory fake.
#pragma once
#include <string>

namespace tw {

enum class RegistryRoot {
  ClassesRoot = 1,
  CurrentUser = 2,
  LocalMachine = 3,
  Users = 4,
  CurrentConfig = 5,
  DynData = 6,
};

class Registry {
 public:
  virtual ~Registry() = default;
  // Opens the key without creating it; false when the key or value is
  // missing or not a string.
  virtual bool readString(RegistryRoot root, const std::string& key,
                          const std::string& name, std::string& value) = 0;
  // Creates the key if needed and writes a string value.
  virtual bool writeString(RegistryRoot root, const std::string& key,
                           const std::string& name, const std::string& value) = 0;
};

}  // namespace tw
