#pragma once
// The program's strings are UTF-8; Win32's wide functions take UTF-16.

#include <string>
#include <string_view>

namespace vr::win32 {

// Malformed UTF-8 becomes U+FFFD rather than failing: these strings are
// captions, error texts and labels, where a replaced character beats none.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace vr::win32
