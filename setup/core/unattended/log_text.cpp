// Lines of the run log.
#include "setup/core/unattended/log_text.h"

namespace tw {
namespace {

void twoDigits(std::string& out, unsigned value) {
  out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

const char* logKindName(LogKind kind) {
  switch (kind) {
    case LogKind::Command: return "COMMAND";
    case LogKind::Profile: return "PROFILE";
    case LogKind::Decision: return "DECISION";
    case LogKind::Folder: return "FOLDER";
    case LogKind::File: return "FILE";
    case LogKind::Skip: return "SKIP";
    case LogKind::Restart: return "RESTART";
    case LogKind::Registry: return "REGISTRY";
    case LogKind::Link: return "LINK";
    case LogKind::Uninstall: return "UNINSTALL";
    case LogKind::Remove: return "REMOVE";
    case LogKind::Keep: return "KEEP";
    case LogKind::Question: return "QUESTION";
    case LogKind::Message: return "MESSAGE";
    case LogKind::Error: return "ERROR";
    case LogKind::Exit: return "EXIT";
  }
  return "EVENT";
}

std::string formatLogLine(const LogTime& time, LogKind kind, const std::string& text) {
  std::string line;
  line.reserve(32 + text.size());
  unsigned year = time.year % 10000;
  twoDigits(line, year / 100);
  twoDigits(line, year % 100);
  line += '-';
  twoDigits(line, time.month);
  line += '-';
  twoDigits(line, time.day);
  line += ' ';
  twoDigits(line, time.hour);
  line += ':';
  twoDigits(line, time.minute);
  line += ':';
  twoDigits(line, time.second);
  line += ' ';
  line += logKindName(kind);
  line += ' ';
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r' || c == '\n') {
      // CR LF, LF CR and lone breaks alike become one separator.
      if (i + 1 < text.size() && (text[i + 1] == '\r' || text[i + 1] == '\n') && text[i + 1] != text[i]) ++i;
      if (i + 1 < text.size()) line += " / ";
      continue;
    }
    line += c < 0x20 ? ' ' : static_cast<char>(c);
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  line += "\r\n";
  return line;
}

std::string errorText(unsigned long code, const std::string& systemText) {
  std::string text = "Fehler " + std::to_string(code);
  std::string message = systemText;
  while (!message.empty() && (message.back() == '\r' || message.back() == '\n' || message.back() == ' '))
    message.pop_back();
  if (!message.empty()) text += ": " + message;
  return text;
}

void RunLog::write(LogKind kind, const std::string& text) {
  if (!sink_) return;
  if (!sink_->append(formatLogLine(sink_->now(), kind, text))) sound_ = false;
}

}  // namespace tw
