#pragma once
// Lengths typed into the two dialogs that scale a ruler from two marks: the
// screen's calibration (a real length) and a ruler's own unit (any length in
// any unit), and what each makes of the marks' distance. Nothing here throws:
// a refusal comes back with a short message for the dialog to show.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "Ruler/Units.h"

namespace vr {

template <class T>
struct Checked {
  std::optional<T> Value;
  std::string Message;  // why it was refused; empty when accepted
  bool Ok() const { return Value.has_value(); }
};

// More than a million of any unit is a slip of the finger, not a length
// between two marks.
inline constexpr double kMaxTypedLength = 1e6;

// A real length, in millimetres: "85.6 mm", " 85,6mm ", "3.37 in", "3.37\"".
// Units: mm, cm, m, in (inch, inches, "), ft (foot, feet, '), pt, in any case.
// A bare number is in `unitBeside`, the unit chosen beside the box, which has
// to be mm, cm, in or pt.
Checked<double> ParseRealLength(std::string_view text, RulerUnit unitBeside);

// A length in a unit of the user's naming: "4 m", "12 ft", a bare "250".
struct TypedLength {
  double Value = 0;
  std::string Name;  // as typed, without the blanks around it
  bool operator==(const TypedLength&) const = default;
};
Checked<TypedLength> ParseOwnLength(std::string_view text);

// The screen's pixels per millimetre when marks `pixels` apart are `lengthMm`
// apart on the glass.
Checked<double> CalibrationFrom(double lengthMm, int64_t pixels);
// The own unit that makes marks `pixels` apart read `length`.
Checked<OwnUnit> OwnUnitFrom(const TypedLength& length, int64_t pixels);

}  // namespace vr
