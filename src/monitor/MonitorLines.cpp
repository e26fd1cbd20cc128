// Monitor line storage and the ".lmm" record files.
#include "monitor/MonitorLines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "documents/ReplacingFile.h"
#include "model/Error.h"

namespace lumetra {

namespace {

[[noreturn]] void OpenFailed(const std::string& path, const std::string& reason) {
  throw Error("Záznam monitora sa nepodarilo otvoriť zo súboru \"" + path + "\" (" + reason + ")");
}

}  // namespace

uint64_t MonitorLines::Length(size_t i) const {
  if (lengths_[i] != kLong) return lengths_[i];
  const auto it = std::lower_bound(longLengths_.begin(), longLengths_.end(), i,
                                   [](const LongLength& l, size_t line) { return l.line < line; });
  return it->length;
}

std::string_view MonitorLines::Line(size_t i) const {
  uint64_t begin = blockStarts_[i / kBlock];
  for (size_t j = i / kBlock * kBlock; j < i; ++j) begin += Length(j);
  return std::string_view(chars_).substr(begin, Length(i));
}

void MonitorLines::Append(std::string_view line) {
  chars_.append(line);
  EndLine();
}

void MonitorLines::EndLine() {
  const size_t i = lengths_.size();
  if (i % kBlock == 0) blockStarts_.push_back(openStart_);
  const uint64_t length = chars_.size() - openStart_;
  if (length < kLong) {
    lengths_.push_back(static_cast<uint8_t>(length));
  } else {
    lengths_.push_back(kLong);
    longLengths_.push_back({i, length});
  }
  openStart_ = chars_.size();
}

void MonitorLines::Clear() {
  // Give the memory back: an emptied view of a long recording should not keep its size.
  MonitorLines().Swap(*this);
}

void MonitorLines::Swap(MonitorLines& other) noexcept {
  chars_.swap(other.chars_);
  lengths_.swap(other.lengths_);
  longLengths_.swap(other.longLengths_);
  blockStarts_.swap(other.blockStarts_);
  std::swap(openStart_, other.openStart_);
}

void MonitorLines::Trim() {
  // Copying the characters costs their size once more for a moment; only worth it when a good
  // part of the room is empty (a file of many short lines, whose line ends are not kept).
  if (chars_.capacity() - chars_.size() > chars_.size() / 4) chars_.shrink_to_fit();
  lengths_.shrink_to_fit();
  longLengths_.shrink_to_fit();
  blockStarts_.shrink_to_fit();
}

MonitorTextReader::Verdict MonitorTextReader::Feed(std::string_view bytes) {
  if (verdict_ != Verdict::kText) return verdict_;
  size_t pieceStart = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<uint8_t>(bytes[i]);
    if (pending_ > 0) {
      if (c < nextLow_ || c > nextHigh_) return verdict_ = Verdict::kNotUtf8;
      --pending_;
      nextLow_ = 0x80;
      nextHigh_ = 0xBF;
      continue;
    }
    if (c < 0x80) {
      if (c == 0) return verdict_ = Verdict::kNulByte;
      if (c == '\n') {
        lines_.AppendToOpenLine(bytes.substr(pieceStart, i - pieceStart));
        pieceStart = i + 1;
        const std::string_view open = lines_.OpenLine();
        if (!open.empty() && open.back() == '\r') lines_.DropLastOpenChar();
        lines_.EndLine();
      }
      continue;
    }
    // Lead bytes, with the range of the byte after them as UTF-8 allows it.
    if (c >= 0xC2 && c <= 0xDF) {
      pending_ = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
      pending_ = 2;
      if (c == 0xE0) nextLow_ = 0xA0;   // overlong
      if (c == 0xED) nextHigh_ = 0x9F;  // surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
      pending_ = 3;
      if (c == 0xF0) nextLow_ = 0x90;   // overlong
      if (c == 0xF4) nextHigh_ = 0x8F;  // beyond U+10FFFF
    } else {
      return verdict_ = Verdict::kNotUtf8;
    }
  }
  lines_.AppendToOpenLine(bytes.substr(pieceStart));
  return verdict_;
}

MonitorTextReader::Verdict MonitorTextReader::Finish() {
  if (verdict_ != Verdict::kText) return verdict_;
  if (pending_ > 0) return verdict_ = Verdict::kNotUtf8;
  if (!lines_.OpenLine().empty()) lines_.EndLine();
  return verdict_;
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

MonitorLines LoadMonitorLines(const std::string& path, uint64_t maxBytes) {
  // O_NONBLOCK: opening a FIFO would otherwise wait for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) OpenFailed(path, SystemErrorText(errno));
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) OpenFailed(path, SystemErrorText(errno));
  if (S_ISDIR(st.st_mode)) OpenFailed(path, SystemErrorText(EISDIR));
  // A device or a pipe has no end to wait for (/dev/zero never ends).
  if (!S_ISREG(st.st_mode)) OpenFailed(path, "nie je to obyčajný súbor");
  const auto tooLarge = [&] {
    const std::string limit = maxBytes % (1 << 20) == 0 ? std::to_string(maxBytes >> 20) + " MiB"
                                                        : std::to_string(maxBytes) + " B";
    OpenFailed(path, "súbor je väčší ako " + limit);
  };
  if (static_cast<uint64_t>(st.st_size) > maxBytes) tooLarge();

  MonitorTextReader reader;
  reader.Lines().Reserve(static_cast<size_t>(st.st_size));
  // Any text file is welcome, but a binary one would only fill the view with garbage; it is
  // recognised in the read where it shows, not after the whole file was read.
  const auto refuse = [&](MonitorTextReader::Verdict verdict) {
    if (verdict == MonitorTextReader::Verdict::kNulByte) {
      OpenFailed(path, "nie je to textový súbor");
    }
    if (verdict == MonitorTextReader::Verdict::kNotUtf8) {
      OpenFailed(path, "nie je to textový súbor v kódovaní UTF-8");
    }
  };
  std::vector<char> buffer(1 << 16);
  uint64_t total = 0;
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) OpenFailed(path, SystemErrorText(errno));
    if (n == 0) break;
    total += static_cast<uint64_t>(n);
    // The file may have grown since it was measured.
    if (total > maxBytes) tooLarge();
    refuse(reader.Feed(std::string_view(buffer.data(), static_cast<size_t>(n))));
  }
  refuse(reader.Finish());
  MonitorLines lines;
  lines.Swap(reader.Lines());
  lines.Trim();
  return lines;
}

}  // namespace lumetra
