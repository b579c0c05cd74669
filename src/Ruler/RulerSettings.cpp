#include "Ruler/RulerSettings.h"

#include <algorithm>
#include <limits>
#include <memory>

namespace vr {

std::string SettingsKeyPath(int rulerIndex) {
  return "SOFTWARE\\Vantori\\Rulers\\" + std::to_string(rulerIndex) + "\\";
}

Point DefaultCenter(Point displaySize) { return {displaySize.X / 2, displaySize.Y / 2}; }

void ApplySlotStartValues(RulerSettings& s, int rulerIndex, Point displaySize) {
  if (rulerIndex < 0 || rulerIndex >= kSlotCount) return;
  const SlotColors& colors = kSlotColors[static_cast<size_t>(rulerIndex)];
  const SlotGeometry& g = kSlotGeometry[static_cast<size_t>(rulerIndex)];
  s.BaseColor = colors.Base;
  s.Scale = g.Scale;
  s.Orientation = g.Orientation;
  const Point c = DefaultCenter(displaySize);
  s.CenterPoint = {c.X + g.OffsetX, c.Y + g.OffsetY};
}

std::string FormatCenterPoint(Point p) { return std::to_string(p.X) + "," + std::to_string(p.Y); }

namespace {

// A signed decimal integer: leading blanks skipped, one optional sign, then
// digits to the end. Anything else, trailing blanks included, fails.
bool ParseInt32(const std::string& text, int32_t& value) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i == text.size()) return false;
  int64_t magnitude = 0;
  const int64_t limit = negative ? -static_cast<int64_t>(std::numeric_limits<int32_t>::min())
                                 : std::numeric_limits<int32_t>::max();
  for (; i < text.size(); ++i) {
    const char ch = text[i];
    if (ch < '0' || ch > '9') return false;
    magnitude = magnitude * 10 + (ch - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

// The part after the comma is read up to this many characters.
constexpr size_t kMaxRightSide = 9999;

}  // namespace

bool ParseCenterPoint(const std::string& text, Point& p) {
  const size_t comma = text.find(',');
  const std::string left = comma == std::string::npos ? std::string() : text.substr(0, comma);
  const std::string right =
      comma == std::string::npos ? text : text.substr(comma + 1, kMaxRightSide);
  int32_t x = 0;
  int32_t y = 0;
  if (!ParseInt32(right, y) || !ParseInt32(left, x)) return false;
  p = {x, y};
  return true;
}

MissingValues TransferSettings(RulerSettings& s, SettingsStore& store, const std::string& keyPath,
                               Point displaySize, bool write, bool read) {
  MissingValues missing;
  // An open that fails is not an error: reads then find nothing and writes
  // are dropped, value by value, as if the store refused each of them.
  std::unique_ptr<SettingsKey> key = store.Open(keyPath, write);
  const Point center = DefaultCenter(displaySize);

  auto readValue = [&](const std::string& name) -> std::optional<StoreValue> {
    if (!key) return std::nullopt;
    return key->Read(name);
  };
  auto writeInt = [&](const std::string& name, uint32_t v) {
    if (key) key->WriteInteger(name, v);
  };

  // Integers and yes/no values are one REG_DWORD each; anything else there
  // does not read and leaves the field alone. A size below its minimum would
  // make a ruler that can't be seen or grabbed: it takes its default instead.
  // One above its maximum is read as the maximum, as its setter takes it.
  auto transferInt = [&](const std::string& name, int32_t& field, int32_t def, int32_t minimum,
                         bool* wasMissing = nullptr,
                         int32_t maximum = std::numeric_limits<int32_t>::max()) {
    if (write) {
      writeInt(name, static_cast<uint32_t>(field));
    } else if (read) {
      const auto v = readValue(name);
      if (!v || (v->Kind == StoreKind::Integer && static_cast<int32_t>(v->Integer) < minimum)) {
        field = def;
        if (wasMissing) *wasMissing = true;
      } else if (v->Kind == StoreKind::Integer) {
        field = std::min(static_cast<int32_t>(v->Integer), maximum);
      }
    }
  };
  auto transferBool = [&](const std::string& name, bool& field, bool def) {
    if (write) {
      writeInt(name, field ? 1u : 0u);
    } else if (read) {
      const auto v = readValue(name);
      if (!v) {
        field = def;
      } else if (v->Kind == StoreKind::Integer) {
        field = v->Integer != 0;
      }
    }
  };
  // Byte-sized fields take only values they can hold; a stored value outside
  // that range is treated as unreadable rather than cut to its low byte.
  auto transferByte = [&](const std::string& name, uint8_t& field, uint8_t def, uint32_t maxValue,
                          bool* wasMissing = nullptr) {
    if (write) {
      writeInt(name, field);
    } else if (read) {
      const auto v = readValue(name);
      if (!v) {
        field = def;
        if (wasMissing) *wasMissing = true;
      } else if (v->Kind == StoreKind::Integer && v->Integer <= maxValue) {
        field = static_cast<uint8_t>(v->Integer);
      }
    }
  };

  // 1. CenterPoint, as text.
  if (write) {
    if (key) key->WriteText("CenterPoint", FormatCenterPoint(s.CenterPoint));
  } else if (read) {
    const auto v = readValue("CenterPoint");
    if (!v) {
      s.CenterPoint = center;
      missing.CenterPoint = true;
    } else if (v->Kind == StoreKind::Text) {
      ParseCenterPoint(v->Text, s.CenterPoint);
    }
  }
  transferInt("Scale", s.Scale, kDefaultScale, 0, &missing.Scale);
  transferInt("LeftMargin", s.LeftMargin, kDefaultMargin, 0);
  transferInt("RightMargin", s.RightMargin, kDefaultMargin, 0);
  // Below 1 the default, as before; unreadable, the field keeps what it
  // held (0 on a new ruler, drawn 1 broad); above 512, 512.
  transferInt("Breadth", s.Breadth, kDefaultBreadth, kMinBreadth, nullptr, kMaxRulerBreadth);
  transferByte("Orientation", s.Orientation, LeftToRight, BottomToTop, &missing.Orientation);
  transferInt("Luminosity", s.Luminosity, 0, std::numeric_limits<int32_t>::min());
  transferByte("AlphaBlendValue", s.AlphaBlendValue, kDefaultAlphaBlendValue, 255);
  static constexpr std::array<const char*, kTickLevels> kLevelNames{"100", "50", "10", "5"};
  for (size_t level = 0; level < kTickLevels; ++level) {
    const std::string n = kLevelNames[level];
    transferBool("ShowTick" + n, s.ShowTick[level], true);
    transferInt("TickSize" + n, s.TickSize[level], kDefaultTickSize[level], 0);
    transferBool("ShowNumber" + n, s.ShowNumber[level], kDefaultShowNumber[level]);
    transferInt("FontSize" + n, s.FontSize[level], kDefaultFontSize[level], 0);
  }
  return missing;
}

void TransferUnits(RulerSettings& s, SettingsStore& store, const std::string& keyPath, bool write) {
  if (write && s.Unit == RulerUnit::Px && !s.Own) {
    // Back in px after another unit, the stored one is put right; never
    // having left px, the key is not touched.
    const auto stored = store.Open(keyPath, false);
    if (!stored || !stored->Read(kUnitValue)) return;
  }
  const std::unique_ptr<SettingsKey> key = store.Open(keyPath, write);
  if (!key) return;
  if (write) {
    // A failed write is skipped, as the 24 values' are.
    key->WriteInteger(kUnitValue, StoredUnitCode(s.Unit));
    if (s.Own) {
      key->WriteText(kOwnUnitNameValue, s.Own->Name);
      key->WriteText(kOwnUnitPixelsValue, StoredNumberText(s.Own->PixelsPerUnit));
    }
    return;
  }
  s.Unit = RulerUnit::Px;
  s.Own.reset();
  if (const auto v = key->Read(kUnitValue); v && v->Kind == StoreKind::Integer) {
    if (const auto unit = StoredUnit(v->Integer)) s.Unit = *unit;
  }
  const auto name = key->Read(kOwnUnitNameValue);
  const auto pixels = key->Read(kOwnUnitPixelsValue);
  if (name && pixels && name->Kind == StoreKind::Text && pixels->Kind == StoreKind::Text)
    s.Own = StoredOwnUnit(name->Text, pixels->Text);
  // A unit of its own that did not read back: the ruler reads in px.
  if (s.Unit == RulerUnit::Own && !s.Own) s.Unit = RulerUnit::Px;
}

}  // namespace vr
