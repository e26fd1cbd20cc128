// UTF-8 helpers. Slovak letters take two bytes, so widths are counted in code points.
#include "model/Utf.h"

namespace lumetra {

namespace {

// Decodes one code point at text[i], advancing i; U+FFFD for a malformed sequence.
char32_t Next(const std::string& text, size_t& i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i++);
  if (lead < 0x80) return lead;
  int extra;
  char32_t cp;
  if ((lead & 0xE0) == 0xC0) {
    extra = 1;
    cp = lead & 0x1F;
  } else if ((lead & 0xF0) == 0xE0) {
    extra = 2;
    cp = lead & 0x0F;
  } else if ((lead & 0xF8) == 0xF0) {
    extra = 3;
    cp = lead & 0x07;
  } else {
    return U'\uFFFD';
  }
  for (int k = 0; k < extra; ++k) {
    if (i >= text.size() || (byte(i) & 0xC0) != 0x80) return U'\uFFFD';
    cp = (cp << 6) | (byte(i++) & 0x3F);
  }
  return cp > 0x10FFFF ? U'\uFFFD' : cp;
}

}  // namespace

size_t Utf8Length(const std::string& text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size();) {
    Next(text, i);
    ++count;
  }
  return count;
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string out;
  for (size_t i = 0; i < text.size();) {
    char32_t cp = Next(text, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string PadRight(const std::string& text, size_t width) {
  const size_t length = Utf8Length(text);
  return length >= width ? text : text + std::string(width - length, ' ');
}

}  // namespace lumetra
