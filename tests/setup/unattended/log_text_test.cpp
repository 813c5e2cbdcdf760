// Lines of the run log and the log's reaction to a file it cannot write.
#include <gtest/gtest.h>

#include "setup/core/unattended/log_text.h"

namespace tw {
namespace {

class MemorySink : public LogSink {
 public:
  std::string bytes;
  bool refuse = false;
  bool append(const std::string& b) override {
    if (refuse) return false;
    bytes += b;
    return true;
  }
  LogTime now() override { return {2026, 12, 8, 7, 5, 9}; }
};

TEST(LogText, OneLinePerEvent) {
  LogTime t{2026, 1, 2, 3, 4, 5};
  EXPECT_EQ(formatLogLine(t, LogKind::File, "C:\\X\\a.txt"), "2026-01-02 03:04:05 FILE C:\\X\\a.txt\r\n");
  // A system text's line breaks and trailing break do not split the event.
  EXPECT_EQ(formatLogLine(t, LogKind::Error, "Fehler 5: Zugriff\r\nverweigert.\r\n"),
            "2026-01-02 03:04:05 ERROR Fehler 5: Zugriff / verweigert.\r\n");
  EXPECT_EQ(formatLogLine(t, LogKind::Message, "a\tb\nc"), "2026-01-02 03:04:05 MESSAGE a b / c\r\n");
  // CP1252 bytes pass unchanged.
  EXPECT_EQ(formatLogLine(t, LogKind::Skip, "\xC4lter"), "2026-01-02 03:04:05 SKIP \xC4lter\r\n");
  EXPECT_EQ(formatLogLine(t, LogKind::Exit, ""), "2026-01-02 03:04:05 EXIT\r\n");
}

TEST(LogText, ErrorTexts) {
  EXPECT_EQ(errorText(5, "Zugriff verweigert.\r\n"), "Fehler 5: Zugriff verweigert.");
  EXPECT_EQ(errorText(1234, ""), "Fehler 1234");
}

TEST(LogText, RunLogWritesOnlyWithASinkAndNotesLostLines) {
  RunLog log;
  log.write(LogKind::Command, "nothing yet");
  EXPECT_FALSE(log.active());
  MemorySink sink;
  log.attach(&sink);
  log.write(LogKind::Command, "/S");
  log.write(LogKind::Exit, "0");
  EXPECT_EQ(sink.bytes, "2026-12-08 07:05:09 COMMAND /S\r\n2026-12-08 07:05:09 EXIT 0\r\n");
  EXPECT_TRUE(log.sound());
  sink.refuse = true;
  log.write(LogKind::Exit, "0");
  EXPECT_FALSE(log.sound());
}

}  // namespace
}  // namespace tw
