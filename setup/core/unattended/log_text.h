// The run log: one line per event, "YYYY-MM-DD HH:MM:SS KIND text", in
// CP1252 with CR LF, appended to the file the administrator names. The
// writer reaches the file and the clock through LogSink.
#pragma once
#include <cstdint>
#include <string>

namespace tw {

struct LogTime {
  uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// What a line says; the names are the second field of each line.
enum class LogKind {
  Command,    // the command line
  Profile,    // application, version, types
  Decision,   // type, directory, components, program folder, restart
  Folder,     // a directory created
  File,       // a file written
  Skip,       // a file not written, with the reason
  Restart,    // a file replaced at the next restart
  Registry,   // a registry key or value written
  Link,       // a shortcut created
  Uninstall,  // the uninstall entry
  Remove,     // an item removed
  Keep,       // an item left in place, with the reason
  Question,   // a question and the answer it got (asked or taken unasked)
  Message,    // a message shown, or suppressed in silent mode
  Error,      // a failure that ended the run, with the system's error code
  Exit,       // the exit code, always last
};

const char* logKindName(LogKind kind);

// One line with its CR LF. Line breaks inside the text become " / " and
// other control characters blanks, so that one event stays one line.
std::string formatLogLine(const LogTime& time, LogKind kind, const std::string& text);

// The system's error code as a log text: "Fehler 5: Zugriff verweigert".
std::string errorText(unsigned long code, const std::string& systemText);

class LogSink {
 public:
  virtual ~LogSink() = default;
  // Appends the bytes to the end of the log file; false when it cannot.
  virtual bool append(const std::string& bytes) = 0;
  virtual LogTime now() = 0;
};

// The log of one run; silent until a sink is attached.
class RunLog {
 public:
  void attach(LogSink* sink) { sink_ = sink; }
  bool active() const { return sink_ != nullptr; }
  void write(LogKind kind, const std::string& text);
  // Whether every line so far reached the file.
  bool sound() const { return sound_; }

 private:
  LogSink* sink_ = nullptr;
  bool sound_ = true;
};

}  // namespace tw
