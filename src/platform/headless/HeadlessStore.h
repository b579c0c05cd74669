#pragma once
// The registry stand-in, with switches that make an open or a value's write
// fail for tests.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Store.h"

namespace vr::headless {

// The registry stand-in: keys by path (case-insensitive, a trailing
// separator names the same key), values by name.
class HeadlessStore final : public SettingsStore {
 public:
  std::unique_ptr<SettingsKey> Open(const std::string& path, bool forWrite) override;

  // Test switches and inspection.
  bool FailOpen = false;
  std::set<std::string> FailOpenKeys;  // paths of keys that can't be opened, as Normalize has them
  std::set<std::string> FailWrites;    // value names whose write is refused
  void Put(const std::string& path, const std::string& name, StoreValue value);
  void Erase(const std::string& path, const std::string& name);
  void PutInteger(const std::string& path, const std::string& name, uint32_t v) {
    Put(path, name, {StoreKind::Integer, v, {}});
  }
  void PutText(const std::string& path, const std::string& name, const std::string& text) {
    Put(path, name, {StoreKind::Text, 0, text});
  }
  bool HasKey(const std::string& path) const;
  std::optional<StoreValue> Get(const std::string& path, const std::string& name) const;
  // Every key opened for writing, in order, as normalised paths.
  std::vector<std::string> OpenedForWrite;
  // Value names of a key in the order they were last written.
  std::vector<std::string> WriteOrder(const std::string& path) const;
  size_t ValueCount(const std::string& path) const;

  static std::string Normalize(const std::string& path);
  struct Key {
    std::map<std::string, StoreValue> Values;  // by lower-case name
    std::vector<std::string> Order;
  };
  std::map<std::string, Key> Keys;
};

}  // namespace vr::headless
