// Strict numbers, element lookup with line numbers, and the XML files' reading and writing.
#include "documents/DocumentXml.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <limits>
#include <sstream>

#include "model/Error.h"

namespace lumetra {

namespace {

const char* ParseProblem(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_out_of_memory:
      return "nedostatok pamäte";
    case pugi::status_unrecognized_tag:
      return "neznáma značka";
    case pugi::status_bad_pi:
      return "chybná inštrukcia spracovania";
    case pugi::status_bad_comment:
      return "chybný komentár";
    case pugi::status_bad_cdata:
      return "chybná sekcia CDATA";
    case pugi::status_bad_doctype:
      return "chybná deklarácia typu dokumentu";
    case pugi::status_bad_pcdata:
      return "chybný text";
    case pugi::status_bad_start_element:
      return "chybná počiatočná značka";
    case pugi::status_bad_attribute:
      return "chybný atribút";
    case pugi::status_bad_end_element:
      return "chybná koncová značka";
    case pugi::status_end_element_mismatch:
      return "koncová značka nezodpovedá počiatočnej";
    case pugi::status_no_document_element:
      return "neobsahuje žiadny prvok";
    default:
      return "nie je to platný XML súbor";
  }
}

int LineAt(const std::string& text, ptrdiff_t offset) {
  if (offset < 0) return 0;
  const auto end = text.begin() + std::min<ptrdiff_t>(offset, static_cast<ptrdiff_t>(text.size()));
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

// The texts of an element's character data; false when it holds anything else (an element).
bool ElementText(pugi::xml_node element, std::string& text) {
  for (pugi::xml_node c = element.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_pcdata && c.type() != pugi::node_cdata) return false;
    text += c.value();
  }
  return true;
}

}  // namespace

DecimalText ParseDecimal(std::string_view text, int64_t& value) {
  const bool negative = !text.empty() && text.front() == '-';
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty() ||
      !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return DecimalText::kNotANumber;
  int64_t parsed = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec == std::errc::result_out_of_range) return DecimalText::kTooLarge;
  if (ec != std::errc() || end != text.data() + text.size()) return DecimalText::kNotANumber;
  value = parsed;
  return DecimalText::kNumber;
}

pugi::xml_node AddNumber(pugi::xml_node parent, const char* name, int64_t value) {
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer - 1, value);
  *end = '\0';
  return AddText(parent, name, buffer);
}

pugi::xml_node AddText(pugi::xml_node parent, const char* name, const char* text) {
  pugi::xml_node element = parent.append_child(name);
  element.append_child(pugi::node_pcdata).set_value(text);
  return element;
}

void AddDeclaration(pugi::xml_document& doc) {
  pugi::xml_node declaration = doc.prepend_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
}

std::string XmlText(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_indent, pugi::encoding_utf8);
  return std::move(out).str();
}

XmlSource::XmlSource(const std::string& path, const std::string& failure)
    : path_(path), failure_(failure) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Error(failure_ + " (" + SystemErrorText(errno) + ")");
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{fd};
  struct stat st {};
  if (::fstat(fd, &st) != 0) throw Error(failure_ + " (" + SystemErrorText(errno) + ")");
  if (S_ISDIR(st.st_mode)) throw Error(failure_ + " (" + SystemErrorText(EISDIR) + ")");
  if (S_ISREG(st.st_mode)) text_.reserve(static_cast<size_t>(st.st_size));
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw Error(failure_ + " (" + SystemErrorText(errno) + ")");
    if (n == 0) break;
    text_.append(buffer, static_cast<size_t>(n));
  }

  const pugi::xml_parse_result result =
      doc_.load_buffer(text_.data(), text_.size(), pugi::parse_default, pugi::encoding_auto);
  if (!result) {
    std::string reason = ParseProblem(result.status);
    if (result.status != pugi::status_no_document_element)
      reason += " na riadku " + std::to_string(LineAt(text_, result.offset));
    throw Error(failure_ + " (" + reason + ")");
  }
}

int XmlSource::LineOf(pugi::xml_node node) const { return LineAt(text_, node.offset_debug()); }

void DocumentReader::Fail(pugi::xml_node node, const std::string& problem) const {
  throw Error(source_.Failure() + " (prvok \"" + node.name() + "\" na riadku " +
              std::to_string(source_.LineOf(node)) + ": " + problem + ")");
}

pugi::xml_node DocumentReader::Child(pugi::xml_node parent, const char* name) const {
  const pugi::xml_node child = parent.child(name);
  if (!child) Fail(parent, std::string("chýba v ňom prvok \"") + name + "\"");
  return child;
}

int64_t DocumentReader::Number(pugi::xml_node element, int64_t min, int64_t max) const {
  std::string text;
  int64_t value = 0;
  const DecimalText parsed =
      ElementText(element, text) ? ParseDecimal(text, value) : DecimalText::kNotANumber;
  if (parsed == DecimalText::kNotANumber) Fail(element, "\"" + text + "\" nie je celé číslo");
  if (parsed == DecimalText::kTooLarge || value < min || value > max)
    Fail(element, "číslo " + text + " je mimo rozsahu " + std::to_string(min) + " až " +
                      std::to_string(max));
  return value;
}

uint8_t DocumentReader::Byte(pugi::xml_node element) const {
  return static_cast<uint8_t>(Number(element, 0, 255));
}

uint8_t DocumentReader::LowByteOfSigned(pugi::xml_node element) const {
  return static_cast<uint8_t>(Signed32(element));
}

uint8_t DocumentReader::LowByteOfUnsigned(pugi::xml_node element) const {
  return static_cast<uint8_t>(Unsigned32(element));
}

int32_t DocumentReader::Signed32(pugi::xml_node element) const {
  return static_cast<int32_t>(
      Number(element, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

uint32_t DocumentReader::Unsigned32(pugi::xml_node element) const {
  return static_cast<uint32_t>(Number(element, 0, std::numeric_limits<uint32_t>::max()));
}

}  // namespace lumetra
