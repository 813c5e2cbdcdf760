// The long spelling of the temporary path named in message 1040.
#include "dispatcher/core/long_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tw::dispatcher {
namespace {

// Answers the searches from a table of short path -> long last name.
class FakeFinder final : public LongNameFinder {
 public:
  std::map<std::string, std::string> names;
  std::vector<std::string> asked;
  bool findLongName(const char* path, char* name, std::size_t capacity) override {
    asked.push_back(path);
    auto it = names.find(path);
    if (it == names.end() || it->second.size() >= capacity) return false;
    std::memcpy(name, it->second.c_str(), it->second.size() + 1);
    return true;
  }
};

std::string longForm(const char* folder, FakeFinder& finder) {
  char out[260];
  if (!longFolderPath(folder, finder, out, sizeof out)) return "<refused>";
  return out;
}

TEST(LongPath, EachNameTakesItsLongSpelling) {
  FakeFinder f;
  f.names["C:\\DOKUME~1"] = "Dokumente und Einstellungen";
  f.names["C:\\DOKUME~1\\ANWEND~1"] = "Anwender";
  f.names["C:\\DOKUME~1\\ANWEND~1\\LOKALE~1"] = "Lokale Einstellungen";
  f.names["C:\\DOKUME~1\\ANWEND~1\\LOKALE~1\\Temp"] = "Temp";
  EXPECT_EQ("C:\\Dokumente und Einstellungen\\Anwender\\Lokale Einstellungen\\Temp\\",
            longForm("C:\\DOKUME~1\\ANWEND~1\\LOKALE~1\\Temp\\", f));
  // Looked up from the left, each with the path as written so far.
  ASSERT_EQ(4u, f.asked.size());
  EXPECT_EQ("C:\\DOKUME~1", f.asked[0]);
  EXPECT_EQ("C:\\DOKUME~1\\ANWEND~1\\LOKALE~1\\Temp", f.asked[3]);
}

TEST(LongPath, DriveRootIsDriveAndBackslash) {
  FakeFinder f;
  EXPECT_EQ("C:\\", longForm("C:\\", f));
  EXPECT_EQ("C:\\", longForm("C:", f));
  EXPECT_TRUE(f.asked.empty());
}

TEST(LongPath, NameNotFoundIsKeptAsWritten) {
  FakeFinder f;
  f.names["C:\\WINDOWS"] = "Windows";
  EXPECT_EQ("C:\\Windows\\GONE~1\\", longForm("C:\\WINDOWS\\GONE~1\\", f));
}

TEST(LongPath, NetworkShareIsARoot) {
  FakeFinder f;
  f.names["\\\\srv\\share\\TEMP"] = "Temporary";
  EXPECT_EQ("\\\\srv\\share\\Temporary\\", longForm("\\\\srv\\share\\TEMP\\", f));
  EXPECT_EQ("\\\\srv\\share\\TEMP", f.asked.at(0));
}

TEST(LongPath, LongResultIsRefusedNotOverflowed) {
  FakeFinder f;
  f.names["C:\\A"] = std::string(200, 'a');
  f.names["C:\\A\\B"] = std::string(200, 'b');
  EXPECT_EQ("<refused>", longForm("C:\\A\\B\\", f));
}

}  // namespace
}  // namespace tw::dispatcher
