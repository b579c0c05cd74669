#include "platform/headless/HeadlessStore.h"

#include <cctype>

namespace vr::headless {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

class HeadlessKey final : public SettingsKey {
 public:
  HeadlessKey(HeadlessStore& store, std::string path, bool writable)
      : Store_(store), Path_(std::move(path)), Writable_(writable) {}
  std::optional<StoreValue> Read(const std::string& name) override {
    return Store_.Get(Path_, name);
  }
  bool WriteInteger(const std::string& name, uint32_t value) override {
    return Write(name, {StoreKind::Integer, value, {}});
  }
  bool WriteText(const std::string& name, const std::string& text) override {
    return Write(name, {StoreKind::Text, 0, text});
  }
  bool DeleteValue(const std::string& name) override {
    if (!Writable_ || Store_.FailWrites.count(name)) return false;
    Store_.Erase(Path_, name);
    return true;
  }

 private:
  // As the registry: a key opened for reading takes no change.
  bool Write(const std::string& name, StoreValue v) {
    if (!Writable_ || Store_.FailWrites.count(name)) return false;
    Store_.Put(Path_, name, std::move(v));
    return true;
  }
  HeadlessStore& Store_;
  std::string Path_;
  bool Writable_;
};

}  // namespace

std::string HeadlessStore::Normalize(const std::string& path) {
  std::string p = Lower(path);
  while (!p.empty() && p.back() == '\\') p.pop_back();
  return p;
}

std::unique_ptr<SettingsKey> HeadlessStore::Open(const std::string& path, bool forWrite) {
  const std::string p = Normalize(path);
  if (FailOpen || FailOpenKeys.count(p)) return nullptr;
  if (forWrite) OpenedForWrite.push_back(p);
  if (!Keys.count(p)) {
    if (!forWrite) return nullptr;
    Keys[p];
  }
  return std::make_unique<HeadlessKey>(*this, p, forWrite);
}

void HeadlessStore::Erase(const std::string& path, const std::string& name) {
  const auto key = Keys.find(Normalize(path));
  if (key == Keys.end()) return;
  key->second.Values.erase(Lower(name));
  std::erase_if(key->second.Order,
                [&name](const std::string& n) { return Lower(n) == Lower(name); });
}

void HeadlessStore::Put(const std::string& path, const std::string& name, StoreValue value) {
  Key& key = Keys[Normalize(path)];
  key.Values[Lower(name)] = std::move(value);
  std::erase(key.Order, name);
  key.Order.push_back(name);
}

bool HeadlessStore::HasKey(const std::string& path) const {
  return Keys.count(Normalize(path)) != 0;
}

std::optional<StoreValue> HeadlessStore::Get(const std::string& path,
                                             const std::string& name) const {
  auto k = Keys.find(Normalize(path));
  if (k == Keys.end()) return std::nullopt;
  auto v = k->second.Values.find(Lower(name));
  if (v == k->second.Values.end()) return std::nullopt;
  return v->second;
}

std::vector<std::string> HeadlessStore::WriteOrder(const std::string& path) const {
  auto k = Keys.find(Normalize(path));
  return k == Keys.end() ? std::vector<std::string>{} : k->second.Order;
}

size_t HeadlessStore::ValueCount(const std::string& path) const {
  auto k = Keys.find(Normalize(path));
  return k == Keys.end() ? 0 : k->second.Values.size();
}

}  // namespace vr::headless
