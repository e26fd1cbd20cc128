// Reading and writing the numbers of the program's XML files: strict decimal texts, element names
// and line numbers in every message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <pugixml.hpp>

namespace lumetra {

enum class DecimalText { kNumber, kNotANumber, kTooLarge };

// Whole text an optional '-' and decimal digits, nothing else: no blanks, no '+', no exponent.
// A number beyond 64 bits is kTooLarge; `value` is set only for kNumber.
DecimalText ParseDecimal(std::string_view text, int64_t& value);

// Appends <name>value</name> to `parent`.
pugi::xml_node AddNumber(pugi::xml_node parent, const char* name, int64_t value);
pugi::xml_node AddText(pugi::xml_node parent, const char* name, const char* text);

// What the writer passes to pugixml: the declaration and two blanks per level, one element a line.
void AddDeclaration(pugi::xml_document& doc);
std::string XmlText(const pugi::xml_document& doc);

// One XML file read into memory. It keeps the text, so that a node can be named with its line.
class XmlSource {
 public:
  // Reads and parses `path`. A file that cannot be read or is not well-formed XML throws Error
  // with `failure` and the Slovak reason (and the line where the parser stopped).
  XmlSource(const std::string& path, const std::string& failure);

  const pugi::xml_document& Document() const { return doc_; }
  const std::string& Path() const { return path_; }
  // The start of every message about this file: "Dokument sa nepodarilo otvoriť ...".
  const std::string& Failure() const { return failure_; }
  // 1-based line of the node in the file; 0 when unknown.
  int LineOf(pugi::xml_node node) const;

 private:
  std::string path_;
  std::string failure_;
  std::string text_;
  pugi::xml_document doc_;
};

// The section readers' access to elements: every missing element and every text that is not a
// number of the field's range throws Error naming the element and its line.
class DocumentReader {
 public:
  explicit DocumentReader(const XmlSource& source) : source_(source) {}

  const XmlSource& Source() const { return source_; }

  // The child element `name` of `parent`.
  pugi::xml_node Child(pugi::xml_node parent, const char* name) const;

  // The whole text of `element` as a number min..max.
  int64_t Number(pugi::xml_node element, int64_t min, int64_t max) const;
  int64_t Number(pugi::xml_node parent, const char* name, int64_t min, int64_t max) const {
    return Number(Child(parent, name), min, max);
  }

  // The field kinds of the documents. A byte field takes 0..255. The control gear section reads
  // its bytes as 32-bit numbers and keeps the low 8 bits: identity bytes signed, levels and fades
  // unsigned. A 32-bit field written unsigned (4294967295 when never set) takes 0..4294967295.
  // Each takes the element itself, or its parent and its name.
  uint8_t Byte(pugi::xml_node element) const;
  uint8_t LowByteOfSigned(pugi::xml_node element) const;
  uint8_t LowByteOfUnsigned(pugi::xml_node element) const;
  int32_t Signed32(pugi::xml_node element) const;
  uint32_t Unsigned32(pugi::xml_node element) const;
  uint8_t Byte(pugi::xml_node parent, const char* name) const { return Byte(Child(parent, name)); }
  uint8_t LowByteOfSigned(pugi::xml_node parent, const char* name) const {
    return LowByteOfSigned(Child(parent, name));
  }
  uint8_t LowByteOfUnsigned(pugi::xml_node parent, const char* name) const {
    return LowByteOfUnsigned(Child(parent, name));
  }
  int32_t Signed32(pugi::xml_node parent, const char* name) const {
    return Signed32(Child(parent, name));
  }
  uint32_t Unsigned32(pugi::xml_node parent, const char* name) const {
    return Unsigned32(Child(parent, name));
  }

  // Calls fn(child, j) for the first `limit` element children of `parent`, in document order: a
  // list that holds more than its record keeps is read up to what the record holds.
  template <typename Fn>
  void ForEachChild(pugi::xml_node parent, int limit, Fn&& fn) const {
    int j = 0;
    for (pugi::xml_node child = parent.first_child(); child && j < limit;
         child = child.next_sibling()) {
      if (child.type() != pugi::node_element) continue;
      fn(child, j++);
    }
  }

  [[noreturn]] void Fail(pugi::xml_node node, const std::string& problem) const;

 private:
  const XmlSource& source_;
};

}  // namespace lumetra
