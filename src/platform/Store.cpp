#include "platform/Store.h"

namespace vr {

bool DeleteStoredValue(SettingsStore& store, const std::string& path, const std::string& name) {
  const auto reading = store.Open(path, false);
  if (!reading || !reading->Read(name)) return true;
  const auto key = store.Open(path, true);
  return key && key->DeleteValue(name);
}

}  // namespace vr
