#include "platform/win32/Win32Store.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/Win32Strings.h"

namespace vr::win32 {

StoreValue DecodeRegistryValue(DWORD type, std::string_view bytes) {
  StoreValue value;  // Other unless proven otherwise
  if (bytes.size() > kMaxStoreValueBytes) return value;
  if (type == REG_DWORD && bytes.size() == sizeof(uint32_t)) {
    value.Kind = StoreKind::Integer;
    std::memcpy(&value.Integer, bytes.data(), sizeof(uint32_t));
  } else if (type == REG_SZ || type == REG_EXPAND_SZ) {
    // Text to be expanded is taken as it stands, as plain text is. An odd
    // last byte is half a character.
    value.Kind = StoreKind::Text;
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    text.resize(std::min(text.size(), text.find(L'\0')));
    value.Text = Narrow(text);
  }
  return value;
}

std::optional<StoreValue> RegistryKey::Read(const std::string& name) {
  // The wide functions: a path the session starts a program from must reach
  // the registry as the characters it is, whatever the system's code page.
  const std::wstring wideName = Widen(name);
  DWORD type = 0;
  DWORD size = 0;
  LSTATUS status = ::RegQueryValueExW(Key_.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
  // A value can grow between asking its size and reading it; a few retries
  // cover that without looping on a value that keeps changing.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (status == ERROR_FILE_NOT_FOUND) return std::nullopt;
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return StoreValue{};
    if (size > kMaxStoreValueBytes) return StoreValue{};
    // Spare zero bytes: stored text need not carry its terminator.
    std::string buffer(size + sizeof(wchar_t), '\0');
    DWORD got = static_cast<DWORD>(buffer.size());
    status = ::RegQueryValueExW(Key_.get(), wideName.c_str(), nullptr, &type,
                                reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (status == ERROR_SUCCESS) {
      return DecodeRegistryValue(
          type, std::string_view(buffer.data(), std::min<size_t>(got, buffer.size())));
    }
    size = got;
  }
  return StoreValue{};
}

bool RegistryKey::WriteInteger(const std::string& name, uint32_t value) {
  const DWORD data = value;
  return ::RegSetValueExW(Key_.get(), Widen(name).c_str(), 0, REG_DWORD,
                          reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool RegistryKey::WriteText(const std::string& name, const std::string& text) {
  // REG_SZ is a C string: it ends at the first zero, and its size counts the
  // terminator. Text with an embedded zero is stored as what a read gives back.
  const std::wstring wide = Widen(std::string_view(text.c_str()));
  if (wide.size() >= kMaxStoreValueBytes / sizeof(wchar_t)) return false;
  return ::RegSetValueExW(Key_.get(), Widen(name).c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(wide.c_str()),
                          static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::string& name) {
  const LSTATUS status = ::RegDeleteValueW(Key_.get(), Widen(name).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::unique_ptr<SettingsKey> RegistryStore::Open(const std::string& path, bool forWrite) {
  // Paths come as "A\B\"; the registry wants no trailing separator.
  std::string subKey = path;
  while (!subKey.empty() && subKey.back() == '\\') subKey.pop_back();
  const std::wstring wide = Widen(subKey);
  HKEY raw = nullptr;
  const LSTATUS status =
      forWrite
          ? ::RegCreateKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_READ | KEY_WRITE, nullptr, &raw, nullptr)
          : ::RegOpenKeyExW(HKEY_CURRENT_USER, wide.c_str(), 0, KEY_READ, &raw);
  if (status != ERROR_SUCCESS) return nullptr;
  KeyHandle key(raw);
  return std::make_unique<RegistryKey>(std::move(key));
}

}  // namespace vr::win32
