// The bus monitor's lines and its record files (".lmm"): one CR LF terminated text line each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

// All lines of one recording in a single character buffer. A recording has no length limit, so a
// line costs its characters and one offset, and appending never moves what is already stored
// beyond the buffer's amortised growth.
class MonitorLines {
 public:
  size_t Count() const { return ends_.size(); }
  std::string_view Line(size_t i) const;
  void Append(std::string_view line);
  void Clear();
  void Swap(MonitorLines& other) noexcept;
  // The lines of a text (LF or CR LF terminated; a last line without terminator counts), split in
  // place so that a large file is never held twice.
  static MonitorLines FromText(std::string text);
  // Bytes held, for the benchmarks.
  size_t Bytes() const { return chars_.capacity() + ends_.capacity() * sizeof(uint64_t); }

 private:
  std::string chars_;
  std::vector<uint64_t> ends_;  // one past the last character of each line
};

// The name a record file is saved or opened under: ".lmm" is appended unless the first ".lmm" in
// the file's name (after the last '/') is at its very end (a.lmm stays, a.txt and a.lmm.lmm get it
// appended).
std::string MonitorFileName(const std::string& chosen);

// Writes every line followed by CR LF. The file is written beside the target under a temporary name
// and renamed over it only when complete, so a failed save never destroys an existing file. Throws
// Error with a Slovak message.
void SaveMonitorLines(const std::string& path, const MonitorLines& lines);

// Reads a text file's lines (LF or CR LF terminated; a last line without terminator counts). Throws
// Error with a Slovak message when the file cannot be read or is not text; nothing is returned
// then.
MonitorLines LoadMonitorLines(const std::string& path);

}  // namespace lumetra
