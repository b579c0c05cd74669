#include "platform/win32/Win32Strings.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace vr::win32 {

namespace {

int CheckedLength(size_t size) {
  if (size > static_cast<size_t>(INT_MAX)) throw std::length_error("text too long for the system");
  return static_cast<int>(size);
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int length = CheckedLength(utf8.size());
  const int needed = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<size_t>(needed), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int length = CheckedLength(wide.size());
  const int needed =
      ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string utf8(static_cast<size_t>(needed), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), needed, nullptr, nullptr);
  return utf8;
}

std::wstring FaceName(std::string_view utf8) {
  std::wstring face = Widen(utf8);
  constexpr size_t kMaxUnits = LF_FACESIZE - 1;
  if (face.size() <= kMaxUnits) return face;
  size_t cut = kMaxUnits;
  // The last unit kept must not be the first half of a pair.
  if (IS_HIGH_SURROGATE(face[cut - 1])) --cut;
  face.resize(cut);
  return face;
}

}  // namespace vr::win32
