// The 8-bit code page of job and notes files (Windows-1252) and the UTF-8 of the windows.
#pragma once

#include <string>
#include <string_view>

namespace tavro::core {

// Every byte has a character: the five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become the control characters of the same number, so that any file
// shows and saves back byte for byte.
std::string Cp1252ToUtf8(std::string_view bytes);

struct Cp1252Text {
    std::string bytes;
    // The characters (UTF-8) outside the code page, each once, in order of appearance;
    // empty when the whole text converted.
    std::string refused;
};

// The bytes of a text typed in a window. Characters outside the code page (and invalid
// UTF-8) are listed in `refused` and left out of `bytes`.
Cp1252Text Utf8ToCp1252(std::string_view utf8);

}  // namespace tavro::core
