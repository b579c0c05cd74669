#pragma once
// The program's strings are UTF-8; Win32's wide functions take UTF-16.

#include <string>
#include <string_view>

namespace vr::win32 {

// Malformed UTF-8 becomes U+FFFD rather than failing: these strings are
// captions, error texts and labels, where a replaced character beats none.
std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A font's face for LOGFONT, which holds 31 UTF-16 units and a NUL: longer
// names (31 characters may take up to 62 units) are cut between two
// characters, never inside a surrogate pair. No face that long names an
// installed font; what matters is that the face is valid text.
std::wstring FaceName(std::string_view utf8);

}  // namespace vr::win32
