// Profile: private profile (ini) files. A file is read whole into lines, each a section
// header "[name]", a "key = value" line, or anything else (comments, blanks), kept verbatim.
// The first section of a name and the first key of a name in it count, both matched
// without regard to case. A write edits the lines and writes the file anew through a
// temporary file in the same folder renamed over it (line endings and a UTF-8 byte-order
// mark of the old file are kept; new files get "\r\n"). A file that exists but cannot be
// read reads as missing and is never written over; a read-only file (no write permission
// bit) is not written either. Texts that would break the file's structure (line breaks,
// "=" in a key, "]" in a section name) are refused.
#include "platform/Profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/impl/Internal.h"

using namespace tz2platform;

namespace {

std::mutex& ProfileMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

struct Line {
  enum class Kind { Other, Section, Key } kind = Kind::Other;
  std::string raw;
  std::string name;   // section name or key, trimmed
  std::string value;  // key value, trimmed
};

struct IniFile {
  enum class State { Missing, Read, Unreadable } state = State::Missing;
  std::vector<Line> lines;
  bool crlf = true;
  bool bom = false;
  mode_t mode = 0644;
};

Line ParseLine(const std::string& raw) {
  Line line;
  line.raw = raw;
  const std::string text = Trim(raw);
  if (!text.empty() && text.front() == '[') {
    line.kind = Line::Kind::Section;
    const std::size_t close = text.find(']');
    line.name = Trim(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
  } else if (!text.empty() && text.front() != ';' && text.find('=') != std::string::npos) {
    line.kind = Line::Kind::Key;
    const std::size_t eq = text.find('=');
    line.name = Trim(text.substr(0, eq));
    line.value = Trim(text.substr(eq + 1));
  }
  return line;
}

IniFile ReadIni(const std::string& path) {
  IniFile ini;
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) {
    ini.state = errno == ENOENT ? IniFile::State::Missing : IniFile::State::Unreadable;
    return ini;
  }
  ini.mode = info.st_mode & 07777;
  std::ifstream in(path, std::ios::binary);
  if (!S_ISREG(info.st_mode) || !in) {
    ini.state = IniFile::State::Unreadable;
    return ini;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  if (in.bad()) {
    ini.state = IniFile::State::Unreadable;
    return ini;
  }
  std::string content = buffer.str();
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    ini.bom = true;
    content.erase(0, 3);
  }
  ini.crlf = content.find('\n') == std::string::npos || content.find("\r\n") != std::string::npos;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string raw = content.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    ini.lines.push_back(ParseLine(raw));
    start = end + 1;
  }
  ini.state = IniFile::State::Read;
  return ini;
}

// The range [first, last) of the lines of the first section with that name, the header
// excluded; first == npos when there is none.
std::pair<std::size_t, std::size_t> FindSection(const IniFile& ini, const std::string& section) {
  constexpr std::size_t none = std::string::npos;
  for (std::size_t i = 0; i < ini.lines.size(); ++i) {
    if (ini.lines[i].kind != Line::Kind::Section || !EqualNoCase(ini.lines[i].name, section)) continue;
    std::size_t end = i + 1;
    while (end < ini.lines.size() && ini.lines[end].kind != Line::Kind::Section) ++end;
    return {i + 1, end};
  }
  return {none, none};
}

std::size_t FindKey(const IniFile& ini, std::pair<std::size_t, std::size_t> range, const std::string& key) {
  if (range.first == std::string::npos) return std::string::npos;
  for (std::size_t i = range.first; i < range.second; ++i)
    if (ini.lines[i].kind == Line::Kind::Key && EqualNoCase(ini.lines[i].name, key)) return i;
  return std::string::npos;
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    return value.substr(1, value.size() - 2);
  return value;
}

// Copies names, each followed by a zero, and a final zero; when they do not fit, as many
// characters as fit, ended by two zeros, and the result is size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  std::string list;
  for (const std::string& name : names) list += name + '\0';
  if (list.size() + 1 <= size) {
    std::copy(list.begin(), list.end(), buffer);
    buffer[list.size()] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::copy(list.begin(), list.begin() + (size - 2), buffer);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

// The value of a key, or nothing when the file, section or key is missing.
std::optional<std::string> ReadValue(const IniFile& ini, const std::string& section, const std::string& key) {
  const std::size_t line = FindKey(ini, FindSection(ini, section), key);
  if (line == std::string::npos) return std::nullopt;
  return ini.lines[line].value;
}

bool WriteIni(const std::string& path, const IniFile& ini) {
  std::string content = ini.bom ? "\xEF\xBB\xBF" : "";
  const char* eol = ini.crlf ? "\r\n" : "\n";
  for (const Line& line : ini.lines) content += line.raw + eol;
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) {
    SetLastErrorFromErrno(errno);
    return false;
  }
  int failure = 0;
  for (std::size_t done = 0; done < content.size() && !failure;) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) failure = n < 0 ? errno : ENOSPC;
    else done += static_cast<std::size_t>(n);
  }
  if (!failure && fchmod(fd, ini.mode) != 0) failure = errno;
  if (!failure && fsync(fd) != 0) failure = errno;
  if (close(fd) != 0 && !failure) failure = errno;
  if (!failure && rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) {
    unlink(temp.c_str());
    SetLastErrorFromErrno(failure);
    return false;
  }
  return true;
}

// The file a write goes to: the target of a symbolic link, so that the link stays.
std::string WriteTarget(const std::string& path) {
  char resolved[PATH_MAX];
  return realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

bool BreaksStructure(LPCSTR section, LPCSTR key, LPCSTR value) {
  const auto has = [](LPCSTR text, const char* chars) { return text && std::string(text).find_first_of(chars) != std::string::npos; };
  return has(section, "\r\n]") || has(key, "\r\n=") || (key && Trim(key).empty()) || (key && *key == '[') ||
         has(value, "\r\n");
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR fileName) {
  if (!buffer || size == 0) return 0;
  std::lock_guard lock(ProfileMutex());
  const IniFile ini = fileName ? ReadIni(NativePath(fileName)) : IniFile{};
  if (!section) {
    std::vector<std::string> names;
    for (const Line& line : ini.lines)
      if (line.kind == Line::Kind::Section) names.push_back(line.name);
    return CopyList(names, buffer, size);
  }
  if (!key) {
    std::vector<std::string> names;
    const auto range = FindSection(ini, section);
    if (range.first != std::string::npos)
      for (std::size_t i = range.first; i < range.second; ++i)
        if (ini.lines[i].kind == Line::Kind::Key) names.push_back(ini.lines[i].name);
    return CopyList(names, buffer, size);
  }
  const std::optional<std::string> value = ReadValue(ini, section, key);
  std::string text = value ? Unquote(*value) : Trim(defaultValue ? defaultValue : "");
  if (!value) SetLastError(ERROR_FILE_NOT_FOUND);
  return static_cast<DWORD>(CopyTruncated(text, buffer, size));
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR fileName) {
  if (!section || !key || !fileName) return static_cast<UINT>(defaultValue);
  std::lock_guard lock(ProfileMutex());
  const std::optional<std::string> value = ReadValue(ReadIni(NativePath(fileName)), section, key);
  if (!value) return static_cast<UINT>(defaultValue);
  // The leading sign and digits; text without them reads as 0, a number beyond the range of
  // a 32-bit integer as its nearest limit.
  const std::string text = Unquote(*value);
  std::size_t i = 0;
  const bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  long long number = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    number = number * 10 + (text[i] - '0');
    if (number > static_cast<long long>(INT_MAX) + 1) number = static_cast<long long>(INT_MAX) + 1;
  }
  if (negative) number = -number;
  if (number > INT_MAX) number = INT_MAX;
  return static_cast<UINT>(static_cast<int>(number));
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR fileName) {
  if (!section && !key && !value) return TRUE;  // a request to flush: nothing is cached
  if (!section || !fileName || !*fileName || BreaksStructure(section, key, value)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard lock(ProfileMutex());
  const std::string path = WriteTarget(NativePath(fileName));
  IniFile ini = ReadIni(path);
  if (ini.state == IniFile::State::Unreadable || (ini.state == IniFile::State::Read && (ini.mode & 0222) == 0)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  auto range = FindSection(ini, section);
  const bool sectionFound = range.first != std::string::npos;
  const auto at = [](std::size_t i) { return static_cast<std::ptrdiff_t>(i); };
  if (!key) {
    if (!sectionFound) return TRUE;
    ini.lines.erase(ini.lines.begin() + at(range.first - 1), ini.lines.begin() + at(range.second));
    return WriteIni(path, ini) ? TRUE : FALSE;
  }
  const std::size_t keyLine = FindKey(ini, range, key);
  if (!value) {
    if (keyLine == std::string::npos) return TRUE;
    ini.lines.erase(ini.lines.begin() + at(keyLine));
    return WriteIni(path, ini) ? TRUE : FALSE;
  }
  if (keyLine != std::string::npos) {
    ini.lines[keyLine] = ParseLine(ini.lines[keyLine].name + "=" + value);
  } else if (sectionFound) {
    std::size_t insert = range.second;  // after the section's last non-blank line
    while (insert > range.first && Trim(ini.lines[insert - 1].raw).empty()) --insert;
    ini.lines.insert(ini.lines.begin() + at(insert), ParseLine(std::string(Trim(key)) + "=" + value));
  } else {
    ini.lines.push_back(ParseLine("[" + std::string(section) + "]"));
    ini.lines.push_back(ParseLine(std::string(Trim(key)) + "=" + value));
  }
  return WriteIni(path, ini) ? TRUE : FALSE;
}
