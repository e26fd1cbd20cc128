// Monitor line storage and the ".lmm" record files.
#include "monitor/MonitorLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "documents/ReplacingFile.h"
#include "model/Error.h"

namespace lumetra {

namespace {

[[noreturn]] void OpenFailed(const std::string& path, const std::string& reason) {
  throw Error("Záznam monitora sa nepodarilo otvoriť zo súboru \"" + path + "\" (" + reason + ")");
}

}  // namespace

std::string_view MonitorLines::Line(size_t i) const {
  const uint64_t begin = i == 0 ? 0 : ends_[i - 1];
  return std::string_view(chars_).substr(begin, ends_[i] - begin);
}

void MonitorLines::Append(std::string_view line) {
  chars_.append(line);
  ends_.push_back(chars_.size());
}

void MonitorLines::Clear() {
  // Give the memory back: an emptied view of a long recording should not keep its size.
  std::string().swap(chars_);
  std::vector<uint64_t>().swap(ends_);
}

void MonitorLines::Swap(MonitorLines& other) noexcept {
  chars_.swap(other.chars_);
  ends_.swap(other.ends_);
}

MonitorLines MonitorLines::FromText(std::string text) {
  MonitorLines lines;
  size_t write = 0;
  size_t read = 0;
  const size_t size = text.size();
  while (read < size) {
    size_t end = text.find('\n', read);
    const size_t next = end == std::string::npos ? size : end + 1;
    if (end == std::string::npos) end = size;
    const size_t stop = end > read && text[end - 1] == '\r' ? end - 1 : end;
    if (write != read) std::memmove(&text[write], &text[read], stop - read);
    write += stop - read;
    lines.ends_.push_back(write);
    read = next;
  }
  text.resize(write);
  lines.chars_ = std::move(text);
  return lines;
}

std::string MonitorFileName(const std::string& chosen) { return WithExtension(chosen, ".lmm"); }

void SaveMonitorLines(const std::string& path, const MonitorLines& lines) {
  ReplacingFile file(path, "Záznam monitora sa nepodarilo uložiť do súboru \"" + path + "\"");
  // Written in large pieces: a recording of a million lines is tens of megabytes.
  std::string chunk;
  chunk.reserve(1 << 20);
  for (size_t i = 0; i < lines.Count(); ++i) {
    chunk.append(lines.Line(i));
    chunk.append("\r\n");
    if (chunk.size() >= (1 << 20) - 512) {
      file.Write(chunk);
      chunk.clear();
    }
  }
  file.Write(chunk);
  file.Commit();
}

MonitorLines LoadMonitorLines(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) OpenFailed(path, SystemErrorText(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) OpenFailed(path, SystemErrorText(errno));
  if (S_ISDIR(st.st_mode)) OpenFailed(path, SystemErrorText(EISDIR));

  std::string content;
  if (S_ISREG(st.st_mode)) content.reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) OpenFailed(path, SystemErrorText(errno));
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
  }
  // Any text file is welcome, but a binary one would only fill the view with garbage.
  if (content.find('\0') != std::string::npos) OpenFailed(path, "nie je to textový súbor");

  return MonitorLines::FromText(std::move(content));
}

}  // namespace lumetra
