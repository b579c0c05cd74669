#include "Ruler/UnitInput.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace vr {

namespace {

constexpr std::string_view kRealUnits = "mm, cm, m, in, ft or pt";

std::string NotANumberMessage(std::string_view example) {
  return "Type a number, then its unit, for example \"" + std::string(example) + "\".";
}
const char* const kNotPositive = "The length must be more than zero.";
const char* const kTooLarge = "That length is too large.";
const char* const kTooSmall = "That length is too small.";
const char* const kSamePlace = "The marks are at the same place: set them apart first.";

// Blanks a user types or pastes: spaces, tabs, line ends and the no-break space.
size_t BlankLengthAt(std::string_view s, size_t i) {
  if (s[i] == ' ' || s[i] == '\t' || s[i] == '\r' || s[i] == '\n') return 1;
  if (s.substr(i, 2) == "\xC2\xA0") return 2;
  return 0;
}

std::string_view Trim(std::string_view s) {
  for (size_t n = 0; !s.empty() && (n = BlankLengthAt(s, 0)) != 0;) s.remove_prefix(n);
  while (!s.empty()) {
    if (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n') {
      s.remove_suffix(1);
    } else if (s.size() >= 2 && s.substr(s.size() - 2) == "\xC2\xA0") {
      s.remove_suffix(2);
    } else {
      break;
    }
  }
  return s;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A number, then maybe a name: what both dialogs take.
struct Split {
  double Value = 0;
  std::string_view Name;
};

// The number is digits with at most one "." or "," among them (a second one
// leaves part of it unread); the name is whatever follows, without blanks
// around it, and has no digit (so "1e999" and "1 000" are not numbers with a
// strange unit).
Checked<Split> SplitLength(std::string_view text, std::string_view example) {
  text = Trim(text);
  if (text.empty())
    return {std::nullopt,
            "Type the length between the marks, for example \"" + std::string(example) + "\"."};
  bool negative = false;
  if (text.front() == '-' || text.front() == '+') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  size_t run = 0;
  int digits = 0;
  for (; run < text.size(); ++run) {
    const char c = text[run];
    if (!IsDigit(c) && c != '.' && c != ',') break;
    digits += IsDigit(c) ? 1 : 0;
  }
  Split split;
  split.Name = Trim(text.substr(run));
  bool nameHasDigit = false;
  for (char c : split.Name) nameHasDigit = nameHasDigit || IsDigit(c);
  if (digits == 0 || nameHasDigit) return {std::nullopt, NotANumberMessage(example)};

  // From a copy with "." for ",": reading numbers never depends on a locale.
  std::array<char, 64> number{};
  std::errc error = std::errc::result_out_of_range;
  bool readAll = run <= number.size();
  if (readAll) {
    for (size_t i = 0; i < run; ++i) number[i] = text[i] == ',' ? '.' : text[i];
    const auto read = std::from_chars(number.data(), number.data() + run, split.Value);
    error = read.ec;
    readAll = read.ptr == number.data() + run;
  }
  if (error == std::errc::result_out_of_range) {
    // Too many digits either way: a big number, or a tiny one after many zeros.
    bool big = false;
    for (size_t i = 0; i < run && IsDigit(text[i]); ++i) big = big || text[i] != '0';
    if (negative) return {std::nullopt, kNotPositive};
    return {std::nullopt, big ? kTooLarge : kTooSmall};
  }
  if (error != std::errc() || !readAll || !std::isfinite(split.Value))
    return {std::nullopt, NotANumberMessage(example)};
  if (negative || !(split.Value > 0)) return {std::nullopt, kNotPositive};
  if (split.Value > kMaxTypedLength) return {std::nullopt, kTooLarge};
  return {split, {}};
}

bool SameLetters(std::string_view typed, std::string_view lower) {
  if (typed.size() != lower.size()) return false;
  for (size_t i = 0; i < typed.size(); ++i) {
    char c = typed[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

struct RealUnit {
  std::string_view Name;
  double Millimetres;
};
constexpr std::array<RealUnit, 13> kRealUnitNames{{
    {"mm", 1},
    {"cm", 10},
    {"m", 1000},
    {"in", kMmPerInch},
    {"inch", kMmPerInch},
    {"inches", kMmPerInch},
    {"\"", kMmPerInch},
    {"ft", 12 * kMmPerInch},
    {"foot", 12 * kMmPerInch},
    {"feet", 12 * kMmPerInch},
    {"'", 12 * kMmPerInch},
    {"pt", kMmPerInch / 72},
    {"pts", kMmPerInch / 72},
}};

std::string ApartText(int64_t pixels) {
  const uint64_t magnitude =
      pixels < 0 ? 0 - static_cast<uint64_t>(pixels) : static_cast<uint64_t>(pixels);
  return " for marks " + std::to_string(magnitude) + " px apart.";
}

}  // namespace

Checked<double> ParseRealLength(std::string_view text, RulerUnit unitBeside) {
  const Checked<Split> split = SplitLength(text, "85.6 mm");
  if (!split.Ok()) return {std::nullopt, split.Message};
  const Split& s = *split.Value;
  if (s.Name.empty()) {
    switch (unitBeside) {
      case RulerUnit::Mm:
        return {s.Value, {}};
      case RulerUnit::Cm:
        return {s.Value * 10, {}};
      case RulerUnit::In:
        return {s.Value * kMmPerInch, {}};
      case RulerUnit::Pt:
        return {s.Value * kMmPerInch / 72, {}};
      case RulerUnit::Px:
      case RulerUnit::Own:
        break;
    }
    return {std::nullopt, "Add a unit: " + std::string(kRealUnits) + "."};
  }
  for (const RealUnit& unit : kRealUnitNames) {
    if (SameLetters(s.Name, unit.Name)) return {s.Value * unit.Millimetres, {}};
  }
  return {std::nullopt, "Use a real length's unit: " + std::string(kRealUnits) + "."};
}

Checked<TypedLength> ParseOwnLength(std::string_view text) {
  const Checked<Split> split = SplitLength(text, "4 m");
  if (!split.Ok()) return {std::nullopt, split.Message};
  switch (CheckOwnUnitName(split.Value->Name)) {
    case NameCheck::Ok:
      break;
    case NameCheck::TooLong:
      return {std::nullopt, "The unit's name is too long: " + std::to_string(kMaxOwnUnitNameChars) +
                                " characters at most."};
    case NameCheck::NotAName:
      return {std::nullopt, "The unit's name has a character that can't be used."};
  }
  return {TypedLength{split.Value->Value, std::string(split.Value->Name)}, {}};
}

Checked<double> CalibrationFrom(double lengthMm, int64_t pixels) {
  if (pixels == 0) return {std::nullopt, kSamePlace};
  if (!std::isfinite(lengthMm) || !(lengthMm > 0)) return {std::nullopt, kNotPositive};
  const double pixelsPerMm = std::fabs(static_cast<double>(pixels)) / lengthMm;
  if (pixelsPerMm > kMaxPixelsPerMm)
    return {std::nullopt, "That length is too short" + ApartText(pixels)};
  if (pixelsPerMm < kMinPixelsPerMm)
    return {std::nullopt, "That length is too long" + ApartText(pixels)};
  return {pixelsPerMm, {}};
}

Checked<OwnUnit> OwnUnitFrom(const TypedLength& length, int64_t pixels) {
  if (pixels == 0) return {std::nullopt, kSamePlace};
  if (!std::isfinite(length.Value) || !(length.Value > 0)) return {std::nullopt, kNotPositive};
  if (CheckOwnUnitName(length.Name) != NameCheck::Ok)
    return {std::nullopt, "The unit's name has a character that can't be used."};
  const double pixelsPerUnit = std::fabs(static_cast<double>(pixels)) / length.Value;
  if (pixelsPerUnit > kMaxOwnPixelsPerUnit)
    return {std::nullopt, "That length is too short" + ApartText(pixels)};
  if (pixelsPerUnit < kMinOwnPixelsPerUnit)
    return {std::nullopt, "That length is too long" + ApartText(pixels)};
  return {OwnUnit{length.Name, pixelsPerUnit}, {}};
}

}  // namespace vr
