#pragma once
// The settings store on the registry, under HKEY_CURRENT_USER. Its text is the
// program's UTF-8, kept in the registry as the characters it stands for.

#include <windows.h>

#include <cstddef>
#include <string_view>

#include "platform/Store.h"
#include "platform/win32/Win32Handles.h"

namespace vr::win32 {

// The program's values are a few bytes; anything bigger is not one of ours and
// is not worth an unbounded allocation.
inline constexpr size_t kMaxStoreValueBytes = 64 * 1024;

// A value's kind and content from its registry type and raw bytes as the wide
// functions give them: text is UTF-16, and ends at the first zero, so a
// terminator, or its absence, makes no difference.
StoreValue DecodeRegistryValue(DWORD type, std::string_view bytes);

class RegistryKey final : public SettingsKey {
 public:
  explicit RegistryKey(KeyHandle key) : Key_(std::move(key)) {}
  std::optional<StoreValue> Read(const std::string& name) override;
  bool WriteInteger(const std::string& name, uint32_t value) override;
  bool WriteText(const std::string& name, const std::string& text) override;
  bool DeleteValue(const std::string& name) override;

 private:
  KeyHandle Key_;
};

class RegistryStore final : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(const std::string& path, bool forWrite) override;
};

}  // namespace vr::win32
