// Fuzz target: the record-file reader. The bytes arrive in pieces whose sizes the input's first
// byte sets, as reads of a file would deliver them; a text that is accepted must give the same
// lines as one piece, and lines never hold a line feed. Each line is also read back into a record
// (as lumetra-cli's trace commands do): a line that is accepted decodes to itself.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "monitor/MonitorDecoder.h"
#include "monitor/MonitorLines.h"

using lumetra::MonitorTextReader;

namespace {

MonitorTextReader::Verdict Read(std::string_view text, size_t piece, lumetra::MonitorLines& out) {
  MonitorTextReader reader;
  MonitorTextReader::Verdict verdict = MonitorTextReader::Verdict::kText;
  for (size_t at = 0; at < text.size() && verdict == MonitorTextReader::Verdict::kText;
       at += piece) {
    verdict = reader.Feed(text.substr(at, piece));
  }
  if (verdict == MonitorTextReader::Verdict::kText) verdict = reader.Finish();
  out.Swap(reader.Lines());
  return verdict;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t piece = data[0] % 17 + 1;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  lumetra::MonitorLines whole;
  lumetra::MonitorLines pieces;
  const auto a = Read(text, text.size() + 1, whole);
  const auto b = Read(text, piece, pieces);
  if (a != b) std::abort();
  if (a != MonitorTextReader::Verdict::kText) return 0;
  if (whole.Count() != pieces.Count()) std::abort();
  size_t chars = 0;
  for (size_t i = 0; i < whole.Count(); ++i) {
    if (whole.Line(i) != pieces.Line(i)) std::abort();
    if (whole.Line(i).find('\n') != std::string_view::npos) std::abort();
    chars += whole.Line(i).size();
    if (const auto traced = lumetra::RecordOfLine(whole.Line(i))) {
      const auto again = lumetra::DecodeRecord(traced->record, {}, false, traced->time);
      if (!again.line || *again.line != whole.Line(i)) std::abort();
    }
  }
  if (chars > text.size()) std::abort();
  return 0;
}
