#include "Ruler/Units.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace vr {

namespace {

constexpr std::array<RulerUnit, 6> kCycle{RulerUnit::Px, RulerUnit::Mm, RulerUnit::Cm,
                                          RulerUnit::In, RulerUnit::Pt, RulerUnit::Own};

size_t CyclePlace(RulerUnit unit, size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (kCycle[i] == unit) return i;
  return 0;
}

constexpr std::array<double, 4> kPowersOfTen{1, 10, 100, 1000};

// Far past any length on a screen, and well inside what an int64_t holds.
constexpr double kMaxShownMagnitude = 1e15;

std::optional<double> StoredNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return value;
}

bool IsBlankAt(std::string_view s, size_t i) {
  return s[i] == ' ' || s[i] == '\t' || (s[i] == '\xC2' && i + 1 < s.size() && s[i + 1] == '\xA0');
}

}  // namespace

bool PlausibleOwnPixelsPerUnit(double pixelsPerUnit) {
  return pixelsPerUnit >= kMinOwnPixelsPerUnit && pixelsPerUnit <= kMaxOwnPixelsPerUnit;
}

NameCheck CheckOwnUnitName(std::string_view name) {
  // Names are stored as typed after trimming; blanks at either end would
  // make two names that look the same differ.
  if (!name.empty() && (IsBlankAt(name, 0) || name.back() == ' ' || name.back() == '\t' ||
                        (name.size() >= 2 && name.substr(name.size() - 2) == "\xC2\xA0")))
    return NameCheck::NotAName;
  size_t chars = 0;
  for (size_t i = 0; i < name.size();) {
    const auto lead = static_cast<unsigned char>(name[i]);
    size_t length = 1;
    uint32_t code = lead;
    if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07u;
    } else if (lead >= 0xE0) {
      length = 3;
      code = lead & 0x0Fu;
    } else if (lead >= 0xC2 && lead < 0xE0) {
      length = 2;
      code = lead & 0x1Fu;
    } else if (lead >= 0x80) {
      return NameCheck::NotAName;  // a continuation byte, or a lead never used
    }
    if (i + length > name.size()) return NameCheck::NotAName;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(name[i + k]);
      if ((next & 0xC0u) != 0x80u) return NameCheck::NotAName;
      code = (code << 6) | (next & 0x3Fu);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    const bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
    const bool digit = code >= '0' && code <= '9';
    if (overlong || surrogate || code > 0x10FFFF || control || digit) return NameCheck::NotAName;
    i += length;
    ++chars;
  }
  return chars > kMaxOwnUnitNameChars ? NameCheck::TooLong : NameCheck::Ok;
}

RulerUnit NextUnit(RulerUnit unit, bool hasOwnUnit) {
  const size_t count = hasOwnUnit ? kCycle.size() : kCycle.size() - 1;
  return kCycle[(CyclePlace(unit, count) + 1) % count];
}

RulerUnit PreviousUnit(RulerUnit unit, bool hasOwnUnit) {
  const size_t count = hasOwnUnit ? kCycle.size() : kCycle.size() - 1;
  return kCycle[(CyclePlace(unit, count) + count - 1) % count];
}

std::string_view UnitName(RulerUnit unit) {
  switch (unit) {
    case RulerUnit::Px:
      return "px";
    case RulerUnit::Mm:
      return "mm";
    case RulerUnit::Cm:
      return "cm";
    case RulerUnit::In:
      return "in";
    case RulerUnit::Pt:
      return "pt";
    case RulerUnit::Own:
      break;
  }
  return {};
}

bool PlausiblePixelsPerMm(double pixelsPerMm) {
  return pixelsPerMm >= kMinPixelsPerMm && pixelsPerMm <= kMaxPixelsPerMm;
}

ScreenDensity ChooseDensity(const MonitorDensity& m) {
  if (m.CalibratedPixelsPerMm && PlausiblePixelsPerMm(*m.CalibratedPixelsPerMm))
    return {*m.CalibratedPixelsPerMm, DensitySource::Calibrated};
  if (m.PhysicalPixelsPerInch && PlausiblePixelsPerMm(*m.PhysicalPixelsPerInch / kMmPerInch))
    return {*m.PhysicalPixelsPerInch / kMmPerInch, DensitySource::System};
  if (PlausiblePixelsPerMm(m.LogicalPixelsPerInch / kMmPerInch))
    return {m.LogicalPixelsPerInch / kMmPerInch, DensitySource::Logical};
  return {};
}

std::string DensityText(const ScreenDensity& density) {
  std::string text = FixedText(density.PixelsPerMm, 2) + " px/mm, ";
  switch (density.Source) {
    case DensitySource::Calibrated:
      return text + "calibrated";
    case DensitySource::System:
      return text + "from the system";
    case DensitySource::Logical:
      break;
  }
  return text + "from the display scale";
}

UnitScale ScaleOf(RulerUnit unit, double pixelsPerMm, const std::optional<OwnUnit>& own) {
  if (unit > RulerUnit::Own) return {};
  const double mm = PlausiblePixelsPerMm(pixelsPerMm) ? pixelsPerMm : ScreenDensity{}.PixelsPerMm;
  double pixelsPerUnit = 1;
  switch (unit) {
    case RulerUnit::Mm:
      pixelsPerUnit = mm;
      break;
    case RulerUnit::Cm:
      pixelsPerUnit = mm * 10;
      break;
    case RulerUnit::In:
      pixelsPerUnit = mm * kMmPerInch;
      break;
    case RulerUnit::Pt:
      pixelsPerUnit = mm * kMmPerInch / 72;
      break;
    case RulerUnit::Own:
      if (own && PlausibleOwnPixelsPerUnit(own->PixelsPerUnit) &&
          CheckOwnUnitName(own->Name) == NameCheck::Ok)
        return {RulerUnit::Own, own->PixelsPerUnit, own->Name, DecimalsFor(own->PixelsPerUnit)};
      return {};
    case RulerUnit::Px:
      return {};
  }
  return {unit, pixelsPerUnit, std::string(UnitName(unit)), DecimalsFor(pixelsPerUnit)};
}

int DecimalsFor(double pixelsPerUnit) {
  // 10^-d <= 1 / pixelsPerUnit, compared against exact powers of ten.
  for (int d = 0; d < 3; ++d)
    if (!(pixelsPerUnit > kPowersOfTen[static_cast<size_t>(d)])) return d;
  return 3;
}

int64_t RoundHalfAway(double value) {
  if (std::isnan(value)) return 0;
  const double bound = 4.0e18;
  if (value >= bound) return static_cast<int64_t>(bound);
  if (value <= -bound) return -static_cast<int64_t>(bound);
  // Exact: the fraction of a double is a double.
  const auto whole = static_cast<int64_t>(value);
  const double fraction = value - static_cast<double>(whole);
  return whole + (fraction >= 0.5 ? 1 : fraction <= -0.5 ? -1 : 0);
}

std::string FixedText(double value, int decimals) {
  const size_t d = static_cast<size_t>(decimals < 0 ? 0 : decimals > 3 ? 3 : decimals);
  if (std::isnan(value)) value = 0;
  if (value > kMaxShownMagnitude) value = kMaxShownMagnitude;
  if (value < -kMaxShownMagnitude) value = -kMaxShownMagnitude;
  // A length that is exactly half a last digit (72 px at 96 per inch: 19.05
  // mm) may come out of the division a hair short of the half; it is the tie
  // it was meant to be, and goes away from zero.
  constexpr double kTieTolerance = 1e-9;
  const double exact = value * kPowersOfTen[d];
  const int64_t scaled = RoundHalfAway(exact + (exact < 0 ? -kTieTolerance : kTieTolerance));
  const uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : scaled;
  std::string digits = std::to_string(magnitude);
  if (d > 0) {
    if (digits.size() <= d) digits.insert(0, d + 1 - digits.size(), '0');
    digits.insert(digits.size() - d, 1, '.');
  }
  return scaled < 0 ? "-" + digits : digits;
}

std::string ValueText(int64_t pixels, const UnitScale& unit) {
  if (unit.Unit == RulerUnit::Px) return std::to_string(pixels);
  return FixedText(static_cast<double>(pixels) / unit.PixelsPerUnit, unit.Decimals);
}

std::string LengthText(int64_t pixels, const UnitScale& unit) {
  std::string text = ValueText(pixels, unit);
  if (!unit.Name.empty()) text.append(" ").append(unit.Name);
  return text;
}

uint32_t StoredUnitCode(RulerUnit unit) { return static_cast<uint32_t>(unit); }

std::optional<RulerUnit> StoredUnit(uint32_t code) {
  if (code > static_cast<uint32_t>(RulerUnit::Own)) return std::nullopt;
  return static_cast<RulerUnit>(code);
}

std::string StoredNumberText(double value) {
  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
  return std::string(buffer.data(), result.ptr);
}

std::optional<double> StoredPixelsPerMm(std::string_view text) {
  const auto value = StoredNumber(text);
  if (!value || !PlausiblePixelsPerMm(*value)) return std::nullopt;
  return value;
}

std::optional<OwnUnit> StoredOwnUnit(std::string_view name, std::string_view pixelsPerUnit) {
  const auto value = StoredNumber(pixelsPerUnit);
  if (!value || !PlausibleOwnPixelsPerUnit(*value) || CheckOwnUnitName(name) != NameCheck::Ok)
    return std::nullopt;
  return OwnUnit{std::string(name), *value};
}

}  // namespace vr
