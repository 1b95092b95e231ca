// Key lookup and assignment in a node's property text.
#include "host/UserPropText.h"

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

struct Line {
  size_t begin = 0;  // first character
  size_t end = 0;    // past the last character before the line break
};

// The line of key's first assignment; false when there is none.
bool FindLine(std::string_view text, std::string_view key, Line& found, std::string_view& value) {
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t next = text.find('\n', pos);
    size_t end = next == std::string_view::npos ? text.size() : next;
    size_t lineEnd = end;
    if (lineEnd > pos && text[lineEnd - 1] == '\r') --lineEnd;
    std::string_view line = text.substr(pos, lineEnd - pos);
    const size_t eq = line.find('=');
    if (eq != std::string_view::npos && Trim(line.substr(0, eq)) == key) {
      found = {pos, lineEnd};
      value = Trim(line.substr(eq + 1));
      return true;
    }
    if (next == std::string_view::npos) break;
    pos = next + 1;
  }
  return false;
}

}  // namespace

bool FindUserProp(std::string_view text, std::string_view key, std::string& value) {
  Line line;
  std::string_view v;
  if (!FindLine(text, key, line, v)) return false;
  value.assign(v);
  return true;
}

void SetUserProp(std::string& text, std::string_view key, std::string_view value) {
  std::string assignment;
  assignment.append(key).append(" = ").append(value);
  Line line;
  std::string_view v;
  if (FindLine(text, key, line, v)) {
    text.replace(line.begin, line.end - line.begin, assignment);
    return;
  }
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  text += assignment;
}
