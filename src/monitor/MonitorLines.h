// The bus monitor's lines and its record files (".lmm"): one CR LF terminated text line each.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumetra {

// All lines of one recording in a single character buffer. A recording has no length limit, so a
// line costs its characters and about one byte more: lines are found through their lengths (one
// byte each, the rare longer line kept apart) and the start of every 64th line.
class MonitorLines {
 public:
  size_t Count() const { return lengths_.size(); }
  std::string_view Line(size_t i) const;
  void Append(std::string_view line);
  // Builds the next line piece by piece, for a reader whose line ends in a later read.
  void AppendToOpenLine(std::string_view piece) { chars_.append(piece); }
  // The characters of the open line (so that a reader can drop a CR before the LF).
  std::string_view OpenLine() const { return std::string_view(chars_).substr(openStart_); }
  void DropLastOpenChar() { chars_.pop_back(); }
  void EndLine();
  void Clear();
  void Swap(MonitorLines& other) noexcept;
  // Room for this many characters, so that a file of known size is read without reallocations.
  void Reserve(size_t chars) { chars_.reserve(chars); }
  // Gives back what was reserved well beyond the lines held.
  void Trim();
  // Bytes held, for the benchmarks and the memory check.
  size_t Bytes() const {
    return chars_.capacity() + lengths_.capacity() + longLengths_.capacity() * sizeof(LongLength) +
           blockStarts_.capacity() * sizeof(uint64_t);
  }

 private:
  static constexpr size_t kBlock = 64;
  static constexpr uint8_t kLong = 255;  // the length is in longLengths_
  struct LongLength {
    uint64_t line;
    uint64_t length;
  };
  uint64_t Length(size_t i) const;

  std::string chars_;
  std::vector<uint8_t> lengths_;
  std::vector<LongLength> longLengths_;  // by line, ascending
  std::vector<uint64_t> blockStarts_;    // where line kBlock * k starts
  uint64_t openStart_ = 0;               // where the line being built starts
};

// Splits a text into lines as it arrives (LF or CR LF terminated; a last line without terminator
// counts) and stops at the first sign that it is no text: a NUL byte or bytes that are not UTF-8.
class MonitorTextReader {
 public:
  enum class Verdict { kText, kNulByte, kNotUtf8 };
  // Returns the verdict so far; after anything but kText the reader takes nothing more.
  Verdict Feed(std::string_view bytes);
  // The end of the text: a character cut off at the end is not UTF-8.
  Verdict Finish();
  MonitorLines& Lines() { return lines_; }

 private:
  Verdict verdict_ = Verdict::kText;
  // The UTF-8 character being read: continuation bytes still expected and the range the next one
  // must be in (narrower after some lead bytes, which excludes overlong forms and surrogates).
  int pending_ = 0;
  uint8_t nextLow_ = 0x80;
  uint8_t nextHigh_ = 0xBF;
  MonitorLines lines_;
};

// Record files larger than this are not opened: the view holds a file whole, and a million lines,
// many more than a day of a busy line gives, are about 60 MiB.
inline constexpr uint64_t kMaxMonitorFileBytes = 256ull << 20;

// The name a record file is saved or opened under: ".lmm" is appended unless the first ".lmm" in
// the file's name (after the last '/') is at its very end (a.lmm stays, a.txt and a.lmm.lmm get it
// appended).
std::string MonitorFileName(const std::string& chosen);

// Writes every line followed by CR LF. The file is written beside the target under a temporary name
// and renamed over it only when complete, so a failed save never destroys an existing file. Throws
// Error with a Slovak message.
void SaveMonitorLines(const std::string& path, const MonitorLines& lines);

// Reads a text file's lines (LF or CR LF terminated; a last line without terminator counts). Throws
// Error with a Slovak message when the file cannot be read, is no regular file, is larger than
// `maxBytes` or is not UTF-8 text; nothing is returned then. Reading stops at the first problem.
MonitorLines LoadMonitorLines(const std::string& path, uint64_t maxBytes = kMaxMonitorFileBytes);

}  // namespace lumetra
