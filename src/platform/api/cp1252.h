#pragma once
// Conversion between the single-byte Western European code page (Windows-1252), in which
// the model, the files and the serial line keep their text, and UTF-8 for the widgets.
#include <string>
#include <string_view>

namespace kx {

std::string cp1252_to_utf8(std::string_view bytes);
// Characters that the code page cannot hold become '?'.
std::string utf8_to_cp1252(std::string_view utf8);
// Unicode code point of one byte of the code page.
char32_t cp1252_code_point(unsigned char byte);

} // namespace kx
