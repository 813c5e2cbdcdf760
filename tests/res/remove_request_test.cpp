// Tests of the folder remover's command line and the folders it refuses.
#include "tools/zeturfd/remove_request.h"

#include <gtest/gtest.h>

#include <string>

namespace {

RequestFault parse(const std::string& line, RemoveRequest& request) {
  return parseRemoveRequest(line.c_str(), request);
}

RequestFault parse(const std::string& line) {
  RemoveRequest request;
  return parse(line, request);
}

// The command line of the runtime's removal hand-off for folder and pid.
std::string handOff(const std::string& folder, const std::string& pid = "1234") {
  return "\"C:\\WINDOWS\\TEMP\\ZETURFD.EXE\" ZETUREMOVE \"" + folder + "\" " + pid;
}

}  // namespace

TEST(RemoveRequestCommandLine, HandOffLineIsRead) {
  RemoveRequest request;
  ASSERT_EQ(parse(handOff("C:\\WINDOWS\\TEMP\\ZET1A2B", "4711"), request), RequestFault::kOk);
  EXPECT_STREQ(request.folder, "C:\\WINDOWS\\TEMP\\ZET1A2B");
  EXPECT_EQ(request.processId, 4711u);
}

TEST(RemoveRequestCommandLine, UnquotedFolderAndExtraBlanks) {
  RemoveRequest request;
  ASSERT_EQ(parse("ZETURFD.EXE   ZETUREMOVE\tC:\\Temp\\ZETAAAA   12  ", request),
            RequestFault::kOk);
  EXPECT_STREQ(request.folder, "C:\\Temp\\ZETAAAA");
  EXPECT_EQ(request.processId, 12u);
}

TEST(RemoveRequestCommandLine, FolderWithBlanksAndTrailingBackslash) {
  RemoveRequest request;
  ASSERT_EQ(parse(handOff("C:\\Program Files\\Firma App\\"), request), RequestFault::kOk);
  EXPECT_STREQ(request.folder, "C:\\Program Files\\Firma App");
}

TEST(RemoveRequestCommandLine, ForwardSlashesBecomeBackslashes) {
  RemoveRequest request;
  ASSERT_EQ(parse(handOff("C:/Temp/ZET0001/"), request), RequestFault::kOk);
  EXPECT_STREQ(request.folder, "C:\\Temp\\ZET0001");
}

TEST(RemoveRequestCommandLine, AnythingElseIsNotARemoveCommand) {
  EXPECT_EQ(parse(""), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse("ZETURFD.EXE"), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse("ZETURFD.EXE ZETUREMOVE"), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse("ZETURFD.EXE ZETUREMOVE \"C:\\Temp\\ZET1\""), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse(handOff("C:\\Temp\\ZET1") + " extra"), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse("ZETURFD.EXE zeturemove \"C:\\Temp\\ZET1\" 5"), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse("ZETURFD.EXE ZETUFINST \"C:\\Temp\\ZET1\" 5"), RequestFault::kNotRemoveCommand);
  EXPECT_EQ(parse("ZETURFD.EXE ZETUREMOVEX \"C:\\Temp\\ZET1\" 5"), RequestFault::kNotRemoveCommand);
}

TEST(RemoveRequestProcessId, FullUnsignedRangeAndSignedForm) {
  RemoveRequest request;
  ASSERT_EQ(parse(handOff("C:\\T\\Z", "4294967295"), request), RequestFault::kOk);
  EXPECT_EQ(request.processId, 0xFFFFFFFFu);
  // A 9x process id with the top bit set, printed as a signed number.
  ASSERT_EQ(parse(handOff("C:\\T\\Z", "-123456"), request), RequestFault::kOk);
  EXPECT_EQ(request.processId, uint32_t(-123456));
  ASSERT_EQ(parse(handOff("C:\\T\\Z", "-2147483648"), request), RequestFault::kOk);
  EXPECT_EQ(request.processId, 0x80000000u);
}

TEST(RemoveRequestProcessId, MalformedIsRefused) {
  EXPECT_EQ(parse(handOff("C:\\T\\Z", "4294967296")), RequestFault::kBadProcessId);
  EXPECT_EQ(parse(handOff("C:\\T\\Z", "-2147483649")), RequestFault::kBadProcessId);
  EXPECT_EQ(parse(handOff("C:\\T\\Z", "12a")), RequestFault::kBadProcessId);
  EXPECT_EQ(parse(handOff("C:\\T\\Z", "-")), RequestFault::kBadProcessId);
  EXPECT_EQ(parse(handOff("C:\\T\\Z", "0x10")), RequestFault::kBadProcessId);
  EXPECT_EQ(parse(handOff("C:\\T\\Z", "\"\"")), RequestFault::kBadProcessId);
  EXPECT_EQ(parse(handOff("C:\\T\\Z", std::string(2000, '1'))), RequestFault::kBadProcessId);
}

TEST(RemoveRequestFolder, EmptyIsRefused) {
  EXPECT_EQ(parse(handOff("")), RequestFault::kFolderEmpty);
}

TEST(RemoveRequestFolder, RootsAreRefused) {
  EXPECT_EQ(parse(handOff("C:\\")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("c:")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("C:/")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("C:\\\\\\")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("\\")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("\\\\server\\share")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("\\\\server\\share\\")), RequestFault::kFolderRoot);
  EXPECT_EQ(parse(handOff("\\\\server")), RequestFault::kFolderRoot);
}

TEST(RemoveRequestFolder, NetworkFolderBelowShareIsAccepted) {
  RemoveRequest request;
  ASSERT_EQ(parse(handOff("\\\\server\\share\\setup\\ZET01"), request), RequestFault::kOk);
  EXPECT_STREQ(request.folder, "\\\\server\\share\\setup\\ZET01");
}

TEST(RemoveRequestFolder, RelativeFormsAreRefused) {
  EXPECT_EQ(parse(handOff("ZET1234")), RequestFault::kFolderRelative);
  EXPECT_EQ(parse(handOff("C:ZET1234")), RequestFault::kFolderRelative);
  EXPECT_EQ(parse(handOff("\\Temp\\ZET1234")), RequestFault::kFolderRelative);
  EXPECT_EQ(parse(handOff(".\\ZET1234")), RequestFault::kFolderRelative);
}

TEST(RemoveRequestFolder, PartsThatClimbOrMatchAreRefused) {
  EXPECT_EQ(parse(handOff("C:\\Temp\\..")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\..\\Windows")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\.")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\...")), RequestFault::kFolderBadPart);  // 9x: two up
  EXPECT_EQ(parse(handOff("C:\\Temp\\. .")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\\\ZET1")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\*")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\ZET?")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\ZET1:stream")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\a|b")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("\\\\?\\C:\\Temp\\ZET1")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("\\\\.\\C:\\Temp\\ZET1")), RequestFault::kFolderBadPart);
  EXPECT_EQ(parse(handOff("C:\\Temp\\a\tb")), RequestFault::kFolderBadPart);
}

TEST(RemoveRequestFolder, DottedNamesThatAreNamesAreAccepted) {
  EXPECT_EQ(parse(handOff("C:\\Temp\\.hidden")), RequestFault::kOk);
  EXPECT_EQ(parse(handOff("C:\\Temp\\a..b")), RequestFault::kOk);
  EXPECT_EQ(parse(handOff("C:\\Temp\\ZET1.TMP")), RequestFault::kOk);
}

TEST(RemoveRequestFolder, LengthLimit) {
  const std::string prefix = "C:\\";
  const std::string longest = prefix + std::string(kRemoveMaxPath - 1 - prefix.size(), 'a');
  RemoveRequest request;
  ASSERT_EQ(parse(handOff(longest), request), RequestFault::kOk);
  EXPECT_EQ(std::string(request.folder), longest);
  EXPECT_EQ(parse(handOff(longest + "b")), RequestFault::kFolderTooLong);
  EXPECT_EQ(parse(handOff(std::string(5000, 'x'))), RequestFault::kFolderTooLong);
}

TEST(RemoveRequestGuard, SameOrBelowIgnoresCaseAndNeedsAWholePart) {
  EXPECT_TRUE(isSameOrBelow("C:\\WINDOWS", "c:\\windows"));
  EXPECT_TRUE(isSameOrBelow("C:\\WINDOWS", "C:\\Windows\\System32"));
  EXPECT_TRUE(isSameOrBelow("C:\\Dokumente", "C:\\DOKUMENTE\\Temp"));
  EXPECT_FALSE(isSameOrBelow("C:\\WIN", "C:\\WINDOWS"));
  EXPECT_FALSE(isSameOrBelow("C:\\Temp\\ZET1", "C:\\Temp"));
  EXPECT_FALSE(isSameOrBelow("D:\\WINDOWS", "C:\\WINDOWS"));
}
