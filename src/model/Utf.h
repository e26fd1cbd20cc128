// UTF-8 text helpers: character counts, fixed-width padding and UTF-16 conversion.
#pragma once

#include <string>

namespace lumetra {

// Number of characters (code points) in a UTF-8 text.
size_t Utf8Length(const std::string& text);
// UTF-16 code units of a UTF-8 text; malformed bytes become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
// Pads with spaces on the right to `width` characters (not bytes): "%-30s" for Slovak texts.
std::string PadRight(const std::string& text, size_t width);

}  // namespace lumetra
