// Monitor line storage and the ".lmm" record files.
#include "monitor/MonitorLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>

#include "model/Error.h"

namespace lumetra {

namespace {

[[noreturn]] void SaveFailed(const std::string& path, int err) {
  throw Error("Záznam monitora sa nepodarilo uložiť do súboru \"" + path + "\" (" +
              SystemErrorText(err) + ")");
}

[[noreturn]] void OpenFailed(const std::string& path, const std::string& reason) {
  throw Error("Záznam monitora sa nepodarilo otvoriť zo súboru \"" + path + "\" (" + reason + ")");
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// Closes a descriptor and removes a half-written temporary file unless told it is done.
class TempFile {
 public:
  TempFile(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  ~TempFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!kept_) ::unlink(path_.c_str());
  }
  int fd() const { return fd_; }
  const std::string& path() const { return path_; }
  int Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }
  void Keep() { kept_ = true; }

 private:
  std::string path_;
  int fd_;
  bool kept_ = false;
};

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

std::string MonitorFileName(const std::string& chosen) {
  static constexpr std::string_view kExtension = ".lmm";
  // The rule is for the file's own name: a folder called "old.lmm" on the way must not make every
  // recording in it "trace.lmm.lmm".
  const size_t slash = chosen.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t first = chosen.find(kExtension, nameStart);
  if (first != std::string::npos && first + kExtension.size() == chosen.size()) return chosen;
  return chosen + std::string(kExtension);
}

void SaveMonitorLines(const std::string& path, const MonitorLines& lines) {
  // Beside the target, so that the rename stays on one file system and is atomic.
  static std::atomic<unsigned> counter{0};
  const std::string temp =
      path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter.fetch_add(1));
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) SaveFailed(path, errno);
  TempFile file(temp, fd);

  // Written in large pieces: a recording of a million lines is tens of megabytes.
  std::string chunk;
  chunk.reserve(1 << 20);
  for (size_t i = 0; i < lines.Count(); ++i) {
    chunk.append(lines.Line(i));
    chunk.append("\r\n");
    if (chunk.size() >= (1 << 20) - 512) {
      if (!WriteAll(file.fd(), chunk.data(), chunk.size())) SaveFailed(path, errno);
      chunk.clear();
    }
  }
  if (!WriteAll(file.fd(), chunk.data(), chunk.size())) SaveFailed(path, errno);
  if (::fsync(file.fd()) != 0) SaveFailed(path, errno);
  if (file.Close() != 0) SaveFailed(path, errno);
  if (::rename(temp.c_str(), path.c_str()) != 0) SaveFailed(path, errno);
  file.Keep();
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
