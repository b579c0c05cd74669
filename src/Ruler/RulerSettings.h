#pragma once
// The settings of one ruler and how they travel to and from the settings store.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "Ruler/Units.h"
#include "platform/Platform.h"

namespace vr {

enum TickLevel : int { Tick100 = 0, Tick50 = 1, Tick10 = 2, Tick5 = 3 };
inline constexpr int kTickLevels = 4;

enum Orientation : uint8_t { LeftToRight = 0, TopToBottom = 1, RightToLeft = 2, BottomToTop = 3 };

struct RulerSettings {
  Point CenterPoint;
  int32_t Scale = 0;
  int32_t LeftMargin = 0;
  int32_t RightMargin = 0;
  int32_t Breadth = 0;
  uint8_t Orientation = 0;
  int32_t Luminosity = 0;
  uint8_t AlphaBlendValue = 192;
  std::array<bool, kTickLevels> ShowTick{};
  std::array<int32_t, kTickLevels> TickSize{};
  std::array<bool, kTickLevels> ShowNumber{};
  std::array<int32_t, kTickLevels> FontSize{};
  // Not stored: back at the slot's start values on every run.
  TColor BaseColor = 0;
  bool AlphaBlend = true;
  // Stored beside the 24 values, only once they are not px: what the ruler
  // reads in, and the unit of its own set from two marks.
  RulerUnit Unit = RulerUnit::Px;
  std::optional<OwnUnit> Own;

  bool operator==(const RulerSettings&) const = default;
};

inline constexpr int kSlotCount = 10;
inline constexpr int32_t kMinScale = 100;
inline constexpr int32_t kMaxScale = 2048;
// A ruler's breadth, as SetBreadth keeps it and a load reads it: no window
// can be thinner than a pixel, and none is laid out broader than 512.
inline constexpr int32_t kMinBreadth = 1;
inline constexpr int32_t kMaxRulerBreadth = 512;

// Generic defaults, taken by every value that is not stored.
inline constexpr int32_t kDefaultScale = 640;
inline constexpr int32_t kDefaultMargin = 5;
inline constexpr int32_t kDefaultBreadth = 50;
inline constexpr uint8_t kDefaultAlphaBlendValue = 192;
inline constexpr std::array<int32_t, kTickLevels> kDefaultTickSize{29, 19, 17, 12};
inline constexpr std::array<bool, kTickLevels> kDefaultShowNumber{true, true, true, false};
inline constexpr std::array<int32_t, kTickLevels> kDefaultFontSize{7, 7, 7, 6};

struct SlotColors {
  TColor Base;
  TColor Font;
};
inline constexpr std::array<SlotColors, kSlotCount> kSlotColors{{
    {0xC0C0C0, 0x000000},
    {0x0000F0, 0x000000},
    {0x008000, 0x000000},
    {0xF00000, 0x000000},
    {0x4080FF, 0x000000},
    {0xFF00FF, 0x000000},
    {0x00F000, 0x000000},
    {0xFFFF00, 0x000000},
    {0x00FFFF, 0x000000},
    {0x0F0F0F, 0xFFFFFF},
}};

// Each slot starts at its own length, orientation and offset from the screen
// centre, so that rulers shown for the first time do not cover each other.
struct SlotGeometry {
  int32_t Scale;
  uint8_t Orientation;
  int32_t OffsetX;
  int32_t OffsetY;
};
inline constexpr std::array<SlotGeometry, kSlotCount> kSlotGeometry{{
    {640, 0, 0, 0},
    {640, 1, -320, 0},
    {800, 2, 0, -100},
    {800, 0, 0, 100},
    {800, 1, -100, 0},
    {800, 3, 100, 0},
    {1024, 2, 0, -200},
    {1024, 0, 0, 200},
    {1024, 1, -200, 0},
    {1024, 3, 200, 0},
}};

// "SOFTWARE\Vantori\Rulers\<n>\"
std::string SettingsKeyPath(int rulerIndex);

// Centre of the primary display, rounded toward zero.
Point DefaultCenter(Point displaySize);

// Applies the slot's start colours and geometry to a record.
void ApplySlotStartValues(RulerSettings& s, int rulerIndex, Point displaySize);

// The stored text form of a centre point, "X,Y".
std::string FormatCenterPoint(Point p);
// false when the text is not of that form; p is then left alone.
bool ParseCenterPoint(const std::string& text, Point& p);

// Which of the transferred values a read found missing from the store, or
// stored below their minimum.
struct MissingValues {
  bool CenterPoint = false;
  bool Scale = false;
  bool Orientation = false;
};

// The names a ruler's unit is stored under, beside the 24 values: its code,
// and its own unit's name and pixels per one of it, as text.
inline constexpr const char* kUnitValue = "Unit";
inline constexpr const char* kOwnUnitNameValue = "OwnUnit";
inline constexpr const char* kOwnUnitPixelsValue = "OwnUnitPixels";

// Moves the ruler's unit and own unit between the record and the store. A
// ruler that never left px writes nothing, so that its key holds the 24
// values alone; one that did keeps "Unit" up to date. What does not read
// back whole, or lies out of range, is ignored: the ruler reads in px.
void TransferUnits(RulerSettings& s, SettingsStore& store, const std::string& keyPath, bool write);

// Moves the 24 stored values between the record and the store. Every value is
// handled on its own: a value that can't be read or written is skipped, and
// the field keeps what it held.
MissingValues TransferSettings(RulerSettings& s, SettingsStore& store, const std::string& keyPath,
                               Point displaySize, bool write, bool read);

}  // namespace vr
