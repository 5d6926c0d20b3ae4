#pragma once
// UTF-8 text (the program's own) to and from the UTF-16 of the Windows calls.
#include <string>

namespace platform::win32 {

std::wstring widened(const std::string& utf8);
std::string narrowed(const std::wstring& utf16);

} // namespace platform::win32
