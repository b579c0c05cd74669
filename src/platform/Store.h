#pragma once
// The settings store: named values under key paths of the current user.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vr {

// Text is any text the store holds, whatever it holds it as.
enum class StoreKind { Integer, Text, Other };

struct StoreValue {
  StoreKind Kind = StoreKind::Other;
  uint32_t Integer = 0;  // for Integer
  std::string Text;      // for Text, without the terminating zero
};

// One open key. Closing happens when the object goes.
class SettingsKey {
 public:
  virtual ~SettingsKey() = default;
  // nullopt: no value of that name.
  virtual std::optional<StoreValue> Read(const std::string& name) = 0;
  // false: the store refused the write.
  virtual bool WriteInteger(const std::string& name, uint32_t value) = 0;
  virtual bool WriteText(const std::string& name, const std::string& text) = 0;
  // true: the value is gone, or was never there.
  virtual bool DeleteValue(const std::string& name) = 0;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The path is relative to the current user's root. forWrite creates the key
  // and its parents; reading never creates. nullptr when it can't be opened.
  virtual std::unique_ptr<SettingsKey> Open(const std::string& path, bool forWrite) = 0;
};

// Deletes the value, opening its key for writing only when it holds the
// value: a key opened for reading refuses the delete, and a missing one is not
// made just to delete from it. true: the value is gone, or was never there.
bool DeleteStoredValue(SettingsStore& store, const std::string& path, const std::string& name);

}  // namespace vr
