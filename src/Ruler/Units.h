#pragma once
// Reading a ruler in real units: the unit a ruler reads in, how dense the
// screen under it is, how a pixel distance reads in that unit, and the
// stored forms of all three.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vr {

// Codes as stored: never renumber.
enum class RulerUnit : uint8_t { Px = 0, Mm = 1, Cm = 2, In = 3, Pt = 4, Own = 5 };

// A unit of the ruler's own, set from two marks: a plan's metres, a map's miles.
struct OwnUnit {
  std::string Name;  // UTF-8; empty for a bare number such as "250"
  double PixelsPerUnit = 0;
  bool operator==(const OwnUnit&) const = default;
};

// One unit is between 1/10000 of a pixel and 10000 pixels. Past that no
// length a ruler can show reads sensibly: a 2048-pixel ruler would need more
// than eight digits, or would not reach a single unit.
inline constexpr double kMinOwnPixelsPerUnit = 1e-4;
inline constexpr double kMaxOwnPixelsPerUnit = 1e4;
bool PlausibleOwnPixelsPerUnit(double pixelsPerUnit);

// A name is up to 16 characters of UTF-8, with no digit (a digit would read as
// part of the number when typed) and no control character.
inline constexpr size_t kMaxOwnUnitNameChars = 16;
enum class NameCheck : uint8_t { Ok, TooLong, NotAName };
NameCheck CheckOwnUnitName(std::string_view name);

// What U steps through: px, mm, cm, in, pt, the own unit when the ruler has
// one, then px again; Shift+U the other way. A unit outside that list (the own
// unit on a ruler that has none) steps as if it were px.
RulerUnit NextUnit(RulerUnit unit, bool hasOwnUnit);
RulerUnit PreviousUnit(RulerUnit unit, bool hasOwnUnit);

// "px", "mm", "cm", "in", "pt"; empty for the own unit, whose name is its own.
std::string_view UnitName(RulerUnit unit);

// ---------------------------------------------------------------- density

inline constexpr double kMmPerInch = 25.4;
inline constexpr double kLogicalPixelsPerInch = 96;  // at 100 %

// From 12.7 to about 1016 pixels per inch. Below, a full-HD picture would be
// nearly four metres wide; above, denser than any screen made. Systems report
// such values for projectors and for monitors that give no size, and a
// mistyped calibration lands there: none of them is a real screen's density.
inline constexpr double kMinPixelsPerMm = 0.5;
inline constexpr double kMaxPixelsPerMm = 40;
bool PlausiblePixelsPerMm(double pixelsPerMm);

enum class DensitySource : uint8_t { Calibrated, System, Logical };

struct ScreenDensity {
  double PixelsPerMm = kLogicalPixelsPerInch / kMmPerInch;
  DensitySource Source = DensitySource::Logical;
  bool operator==(const ScreenDensity&) const = default;
};

// What is known of one monitor. Any of it may be missing or nonsense.
struct MonitorDensity {
  std::optional<double> CalibratedPixelsPerMm;  // the user's, for this monitor
  std::optional<double> PhysicalPixelsPerInch;  // from the size the system reports
  double LogicalPixelsPerInch = kLogicalPixelsPerInch;
};

// The user's calibration, else the system's physical density, else the
// logical one, each only when plausible; 96 per inch when none is.
ScreenDensity ChooseDensity(const MonitorDensity& monitor);

// For the Options window: "3.78 px/mm, from the system".
std::string DensityText(const ScreenDensity& density);

// ---------------------------------------------------------------- reading

// How one unit reads on one screen.
struct UnitScale {
  RulerUnit Unit = RulerUnit::Px;
  double PixelsPerUnit = 1;
  std::string Name = "px";  // what follows a value; empty for a bare own unit
  int Decimals = 0;
  bool operator==(const UnitScale&) const = default;
};

// The unit at this density. px ignores the density; an implausible density
// reads as 96 per inch; the own unit without a plausible `own` reads as px.
UnitScale ScaleOf(RulerUnit unit, double pixelsPerMm, const std::optional<OwnUnit>& own = {});

// As many decimals as one pixel's length needs: the smallest d from 0 to 3
// with 10^-d at most one pixel's length in the unit.
int DecimalsFor(double pixelsPerUnit);

// Round half away from zero.
int64_t RoundHalfAway(double value);

// The value with exactly `decimals` decimals (0 to 3), rounded half away from
// zero, "." as the point, no "-" on a value that rounds to zero.
std::string FixedText(double value, int decimals);

// A pixel distance in the unit, without and with its name: "25.4" and
// "25.4 mm", "4.00 m", a bare "250". In px exactly "245 px".
std::string ValueText(int64_t pixels, const UnitScale& unit);
std::string LengthText(int64_t pixels, const UnitScale& unit);

// ---------------------------------------------------------------- stored forms

// A ruler's unit as an integer; nullopt for a code no unit has.
uint32_t StoredUnitCode(RulerUnit unit);
std::optional<RulerUnit> StoredUnit(uint32_t code);

// A density or an own unit's pixels per unit as text: "." as the point, and
// as many digits as read back to the very same number.
std::string StoredNumberText(double value);

// Read back with full checks: text that is not wholly a number, or a number
// out of its plausible range, is nullopt.
std::optional<double> StoredPixelsPerMm(std::string_view text);
std::optional<OwnUnit> StoredOwnUnit(std::string_view name, std::string_view pixelsPerUnit);

}  // namespace vr
