#include "Ruler/RulerOverlay.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "Ruler/RulerRender.h"
#include "platform/TextMaskCache.h"

namespace vr {

namespace {

// Room around a label's text: along the ruler, and across it.
constexpr int kPadAlong = 2;
constexpr int kPadAcross = 1;
// A label stays this far from the line it belongs to.
constexpr int kGap = 2;

std::shared_ptr<const InkedText> Inked(Platform& text, const std::string& face, int pixels,
                                       const std::string& s) {
  return text.TextMasks().Get(face, pixels, s, [&] { return text.RenderText(face, pixels, s); });
}

int Red(TColor c) { return static_cast<int>(c & 0xFF); }
int Green(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

bool IsLight(TColor c) {
  // Perceived lightness, as video standards weigh the channels.
  return 299 * Red(c) + 587 * Green(c) + 114 * Blue(c) >= 128 * 1000;
}

int Distance(TColor a, TColor b) {
  const int r = Red(a) - Red(b);
  const int g = Green(a) - Green(b);
  const int bl = Blue(a) - Blue(b);
  return r * r + g * g + bl * bl;
}

// The text's length along its line and its cell's height.
int TextLength(const InkedText& t) { return std::max({t.Advance, t.Width, 0}); }

bool Touch(const Rect& a, const Rect& b) {
  return a.Left <= b.Left + b.Width && b.Left <= a.Left + a.Width && a.Top <= b.Top + b.Height &&
         b.Top <= a.Top + a.Height;
}

Rect Union(const Rect& a, const Rect& b) {
  const int32_t left = std::min(a.Left, b.Left);
  const int32_t top = std::min(a.Top, b.Top);
  const int32_t right = std::max(a.Left + a.Width, b.Left + b.Width);
  const int32_t bottom = std::max(a.Top + a.Height, b.Top + b.Height);
  return {left, top, right - left, bottom - top};
}

Rect Intersection(const Rect& a, const Rect& b) {
  const int32_t left = std::max(a.Left, b.Left);
  const int32_t top = std::max(a.Top, b.Top);
  const int32_t right = std::min(a.Left + a.Width, b.Left + b.Width);
  const int32_t bottom = std::min(a.Top + a.Height, b.Top + b.Height);
  if (right <= left || bottom <= top) return {};
  return {left, top, right - left, bottom - top};
}

// Copies part of a row. The hairline's areas are a pixel or two wide and many
// rows high: for those a call into the library's block copy costs more than the copy.
void CopyRow(const TColor* from, TColor* to, int32_t n) {
  if (n > 4) {
    std::copy_n(from, n, to);
    return;
  }
  for (int32_t i = 0; i < n; ++i) to[i] = from[i];
}

}  // namespace

OverlayLook OverlayLookFor(TColor body, const std::string& face, int pixelsPerInch, int32_t breadth,
                           Platform& text) {
  const TColor rgb = ColorToRGB(body, text);
  OverlayLook look;
  const bool light = IsLight(rgb);
  look.Hairline = light ? clBlack : clWhite;
  look.Plate = light ? 0x202020 : 0xF4F4F4;
  look.Ink = light ? clWhite : clBlack;
  // Saturated colours, the first that lies farthest from the body wins.
  static constexpr std::array<TColor, 5> kMarkColors{0x0000FF, 0xFF0000, 0xFF00FF, 0x00C000,
                                                     0xFFFF00};
  look.Mark = kMarkColors[0];
  for (TColor c : kMarkColors)
    if (Distance(c, rgb) > Distance(look.Mark, rgb)) look.Mark = c;
  look.MarkInk = IsLight(look.Mark) ? clBlack : clWhite;
  look.Face = face;
  // The largest size up to the preferred one whose label fits across the
  // ruler inside its bevel.
  for (int px =
           std::max(FontPixelHeight(kOverlayLabelPoints, pixelsPerInch), kMinOverlayLabelPixels);
       px >= kMinOverlayLabelPixels; --px) {
    const auto digits = Inked(text, face, px, "0123456789");
    if (digits->Height + 2 * kPadAcross <= static_cast<int64_t>(breadth) - 2) {
      look.LabelPixels = px;
      break;
    }
  }
  return look;
}

std::vector<std::string> PointerLabelTexts(int64_t offset, std::optional<int64_t> nearestMark,
                                           const UnitScale& unit) {
  // As LengthText has it, from the one value: this runs on every pointer move.
  const std::string at = ValueText(offset, unit);
  const std::string length = unit.Name.empty() ? at : at + " " + unit.Name;
  if (!nearestMark) {
    // A bare unit has no name to leave out.
    if (unit.Name.empty()) return {at};
    return {length, at};
  }
  // The distance itself, rounded once: two rounded offsets apart may be a
  // last digit off.
  const int64_t d = offset > *nearestMark ? offset - *nearestMark : *nearestMark - offset;
  const std::string away = ValueText(d, unit);
  return {length + " (" + away + " from mark)", at + " (" + away + ")", at};
}

namespace {

// Lays out the marks' items or the pointer's, appending them to `items`.
// The pointer's label keeps clear of the `taken` areas, the marks' labels.
void LayOut(const RulerAxis& axis, const OverlayState& state, const OverlayLook& look,
            Platform& text, std::span<const OverlayItem> earlier, bool marksPart,
            std::vector<OverlayItem>& items, std::span<const Rect> taken = {}) {
  const bool vertical = axis.Vertical();
  const int64_t length = axis.Length();
  const int64_t breadth = axis.Breadth();
  if (length <= 0 || breadth <= 0) return;

  auto place = [&](int64_t along, int64_t across, int64_t alongSize, int64_t acrossSize) {
    const auto a = static_cast<int32_t>(along);
    const auto b = static_cast<int32_t>(across);
    const auto as = static_cast<int32_t>(alongSize);
    const auto bs = static_cast<int32_t>(acrossSize);
    return vertical ? Rect{b, a, bs, as} : Rect{a, b, as, bs};
  };
  auto line = [&](int64_t offset, TColor colour) {
    const int64_t along = axis.AlongAt(offset);
    if (along < 0 || along >= length) return;
    OverlayItem item;
    item.Bounds = place(along, 0, 1, breadth);
    item.Fill = colour;
    items.push_back(std::move(item));
  };

  // A label, upright where it fits across the ruler, else turned as the
  // ruler's own numbers are. Measured first and drawn only once chosen: the
  // pointer's label may try several texts before one fits.
  struct Label {
    std::shared_ptr<const Image> Picture;
    std::shared_ptr<const InkedText> Glyphs;  // what Picture is drawn from until it is
    int Angle = 0;
    int64_t Along = 0;  // its size along the ruler
    int64_t Across = 0;
  };
  auto measure = [&](const std::string& s, TColor plate, TColor ink) {
    Label l;
    // The same text in the same colours was drawn last time: its angle
    // follows from its length, so the picture is the same too.
    for (const OverlayItem& e : earlier) {
      if (e.Picture && e.Text == s && e.Fill == plate && e.Ink == ink) {
        l.Picture = e.Picture;
        l.Angle = e.Angle;
        l.Along = vertical ? e.Bounds.Height : e.Bounds.Width;
        l.Across = vertical ? e.Bounds.Width : e.Bounds.Height;
        return l;
      }
    }
    l.Glyphs = Inked(text, look.Face, look.LabelPixels, s);
    const int64_t len = TextLength(*l.Glyphs) + 2 * kPadAlong;
    const int64_t cell = l.Glyphs->Height + 2 * kPadAcross;
    if (vertical && len > breadth - 2) l.Angle = axis.Orientation == TopToBottom ? 270 : 90;
    const bool upright = l.Angle == 0;
    l.Along = vertical == upright ? cell : len;
    l.Across = vertical == upright ? len : cell;
    return l;
  };
  auto paint = [&](Label& l, TColor plate, TColor ink) {
    if (l.Picture) return;
    const InkedText& t = *l.Glyphs;
    const bool upright = l.Angle == 0;
    const auto len = static_cast<int>(vertical == upright ? l.Across : l.Along);
    const auto cell = static_cast<int>(vertical == upright ? l.Along : l.Across);
    auto picture = std::make_shared<Image>(upright ? len : cell, upright ? cell : len, plate);
    switch (l.Angle) {
      case 0:
        DrawTurnedText(*picture, t, kPadAlong, kPadAcross, 0, ink);
        break;
      case 270:
        DrawTurnedText(*picture, t, kPadAcross + t.Height, kPadAlong, 270, ink);
        break;
      default:
        DrawTurnedText(*picture, t, kPadAcross, kPadAlong + TextLength(t), 90, ink);
        break;
    }
    l.Picture = std::move(picture);
    l.Glyphs.reset();
  };
  auto draw = [&](const std::string& s, TColor plate, TColor ink) {
    Label l = measure(s, plate, ink);
    paint(l, plate, ink);
    return l;
  };
  // Inside the ruler's bevel where there is room, centred on it where there is not.
  auto keepInside = [&](int64_t start, int64_t size, int64_t extent) {
    if (size > extent - 2) return (extent - size) / 2;
    return std::clamp<int64_t>(start, 1, extent - 1 - size);
  };
  // The tick edge is the near row; the far row is the edge across from it.
  const bool ticksAtLowEdge = axis.Orientation == LeftToRight || axis.Orientation == BottomToTop;
  auto across = [&](bool nearRow, int64_t size) {
    const bool low = nearRow == ticksAtLowEdge;
    return keepInside(low ? 1 : breadth - 1 - size, size, breadth);
  };
  // Beside a line: after it where it fits, else before it.
  auto beside = [&](int64_t along, int64_t size) {
    int64_t start = along + 1 + kGap;
    if (start + size > length - 1) start = along - kGap - size;
    return keepInside(start, size, length);
  };
  auto add = [&](const std::string& s, TColor plate, TColor ink, const Label& l, int64_t along,
                 int64_t acrossStart) {
    OverlayItem item;
    item.Bounds = place(along, acrossStart, l.Along, l.Across);
    item.Fill = plate;
    item.Ink = ink;
    item.Text = s;
    item.Angle = l.Angle;
    item.Picture = l.Picture;
    items.push_back(std::move(item));
  };

  const std::vector<int64_t>& marks = state.Marks;
  const bool labels = look.LabelPixels > 0;
  if (marksPart) {
    for (int64_t m : marks) line(m, look.Mark);
  }
  if (marksPart && labels) {
    for (size_t i = 1; i < marks.size(); ++i) {
      const std::string s = LengthText(marks[i] - marks[i - 1], state.Unit);
      const Label l = draw(s, look.Plate, look.Ink);
      const int64_t middle = (axis.AlongAt(marks[i - 1]) + axis.AlongAt(marks[i])) / 2;
      add(s, look.Plate, look.Ink, l, keepInside(middle - l.Along / 2, l.Along, length),
          across(false, l.Across));
    }
    for (int64_t m : marks) {
      const int64_t along = axis.AlongAt(m);
      if (along < 0 || along >= length) continue;
      const std::string s = ValueText(m, state.Unit);
      const Label l = draw(s, look.Mark, look.MarkInk);
      add(s, look.Mark, look.MarkInk, l, beside(along, l.Along), across(true, l.Across));
    }
  }
  if (!marksPart && state.Pointer) {
    const int64_t p = *state.Pointer;
    line(p, look.Hairline);
    const int64_t along = axis.AlongAt(p);
    if (labels && along >= 0 && along < length) {
      const std::vector<std::string> texts =
          PointerLabelTexts(p, NearestOffset(marks, p), state.Unit);
      auto clear = [&](const Rect& r) {
        return std::none_of(taken.begin(), taken.end(),
                            [&](const Rect& t) { return Intersection(r, t).Width > 0; });
      };
      // Each text from the longest, where it would be without other labels
      // (after the hairline if it fits there, else before it), then on the
      // other side if that lies wholly on the ruler. A text longer than the
      // ruler is tried only when it is the last. Where none is clear of the
      // other labels, the last is shown in its first place, as on a ruler
      // too short for any: the pointer always says where it is.
      for (size_t i = 0; i < texts.size(); ++i) {
        const bool last = i + 1 == texts.size();
        Label l = measure(texts[i], look.Plate, look.Ink);
        if (l.Along > length - 2 && !last) continue;
        const int64_t acrossStart = across(false, l.Across);
        const int64_t after = along + 1 + kGap;
        const int64_t before = along - kGap - l.Along;
        const bool fitsAfter = after + l.Along <= length - 1;
        int64_t start = beside(along, l.Along);
        bool fits = clear(place(start, acrossStart, l.Along, l.Across));
        if (!fits && fitsAfter && before >= 1 &&
            clear(place(before, acrossStart, l.Along, l.Across))) {
          start = before;
          fits = true;
        }
        if (fits || last) {
          paint(l, look.Plate, look.Ink);
          add(texts[i], look.Plate, look.Ink, l, start, acrossStart);
          break;
        }
      }
    }
  }
}

// Where the labels among the items lie.
std::vector<Rect> LabelAreas(std::span<const OverlayItem> items) {
  std::vector<Rect> areas;
  for (const OverlayItem& item : items)
    if (!item.Text.empty()) areas.push_back(item.Bounds);
  return areas;
}

}  // namespace

std::vector<OverlayItem> LayOutOverlay(const RulerAxis& axis, const OverlayState& state,
                                       const OverlayLook& look, Platform& text,
                                       std::span<const OverlayItem> earlier) {
  std::vector<OverlayItem> items;
  LayOut(axis, state, look, text, earlier, true, items);
  const std::vector<Rect> taken = LabelAreas(items);
  LayOut(axis, state, look, text, earlier, false, items, taken);
  return items;
}

std::vector<Rect> DirtyRects(std::span<const OverlayItem> before,
                             std::span<const OverlayItem> after) {
  std::vector<Rect> dirty;
  auto onlyIn = [&](std::span<const OverlayItem> these, std::span<const OverlayItem> other) {
    for (size_t i = 0; i < these.size(); ++i) {
      const OverlayItem& a = these[i];
      // Unchanged items mostly keep their place in the drawing order.
      const bool kept = (i < other.size() && a.SameAs(other[i])) ||
                        std::any_of(other.begin(), other.end(),
                                    [&](const OverlayItem& b) { return a.SameAs(b); });
      if (!kept && a.Bounds.Width > 0 && a.Bounds.Height > 0) dirty.push_back(a.Bounds);
    }
  };
  onlyIn(before, after);
  onlyIn(after, before);
  // Areas that touch become one: fewer, larger copies cost less than many
  // thin ones, and a moving hairline's old and new columns always touch.
  for (bool merged = true; merged;) {
    merged = false;
    for (size_t i = 0; i < dirty.size() && !merged; ++i) {
      for (size_t j = i + 1; j < dirty.size(); ++j) {
        if (Touch(dirty[i], dirty[j])) {
          dirty[i] = Union(dirty[i], dirty[j]);
          dirty.erase(dirty.begin() + static_cast<std::ptrdiff_t>(j));
          merged = true;
          break;
        }
      }
    }
  }
  return dirty;
}

void ComposeOverlay(Image& out, const Image& picture, const std::vector<OverlayItem>& items,
                    const Rect& area) {
  if (out.Width() != picture.Width() || out.Height() != picture.Height()) return;
  const Rect clip = Intersection(area, {0, 0, picture.Width(), picture.Height()});
  if (clip.Width == 0) return;
  const auto w = static_cast<size_t>(picture.Width());
  for (int32_t y = clip.Top; y < clip.Top + clip.Height; ++y) {
    const size_t row = static_cast<size_t>(y) * w + static_cast<size_t>(clip.Left);
    CopyRow(picture.Pixels().data() + row, out.Pixels().data() + row, clip.Width);
  }
  for (const OverlayItem& item : items) {
    const Rect r = Intersection(item.Bounds, clip);
    if (r.Width == 0) continue;
    for (int32_t y = r.Top; y < r.Top + r.Height; ++y) {
      TColor* dst = out.Pixels().data() + static_cast<size_t>(y) * w + static_cast<size_t>(r.Left);
      if (!item.Picture) {
        std::fill_n(dst, r.Width, item.Fill);
        continue;
      }
      const Image& p = *item.Picture;
      const int32_t sy = y - item.Bounds.Top;
      const int32_t sx = r.Left - item.Bounds.Left;
      if (sy >= p.Height()) continue;
      const int32_t n = std::min(r.Width, p.Width() - sx);
      if (n <= 0) continue;
      CopyRow(p.Pixels().data() + static_cast<size_t>(sy) * static_cast<size_t>(p.Width()) +
                  static_cast<size_t>(sx),
              dst, n);
    }
  }
}

void TRulerOverlay::Reset(const Image& picture, const RulerAxis& axis, const OverlayLook& look,
                          const OverlayState& state, Platform& text) {
  // A new look or size makes every earlier label stale.
  const bool sameLook =
      look == Look_ && axis.Breadth() == Axis_.Breadth() && axis.Orientation == Axis_.Orientation;
  Axis_ = axis;
  Look_ = look;
  State_ = state;
  const std::vector<OverlayItem> earlier =
      sameLook ? std::move(Items_) : std::vector<OverlayItem>{};
  Items_.clear();
  LayOut(Axis_, State_, Look_, text, earlier, true, Items_);
  MarkItems_ = Items_.size();
  MarkLabels_ = LabelAreas(Items_);
  LayOut(Axis_, State_, Look_, text, earlier, false, Items_, MarkLabels_);
  Composed_ = Image{};
  if (Items_.empty()) return;
  Composed_ = picture;
  for (const OverlayItem& item : Items_) ComposeOverlay(Composed_, picture, Items_, item.Bounds);
}

std::vector<Rect> TRulerOverlay::Update(const Image& picture, const OverlayState& state,
                                        Platform& text) {
  if (state == State_) return {};
  std::vector<Rect> dirty;
  if (state.Marks == State_.Marks && state.Unit == State_.Unit) {
    // Only the pointer moved: the marks' items stay as they are.
    const std::span<const OverlayItem> before(Items_.data() + MarkItems_,
                                              Items_.size() - MarkItems_);
    std::vector<OverlayItem> after;
    LayOut(Axis_, state, Look_, text, before, false, after, MarkLabels_);
    dirty = DirtyRects(before, after);
    Items_.resize(MarkItems_);
    std::move(after.begin(), after.end(), std::back_inserter(Items_));
  } else {
    std::vector<OverlayItem> items;
    LayOut(Axis_, state, Look_, text, Items_, true, items);
    MarkItems_ = items.size();
    MarkLabels_ = LabelAreas(items);
    LayOut(Axis_, state, Look_, text, Items_, false, items, MarkLabels_);
    dirty = DirtyRects(Items_, items);
    Items_ = std::move(items);
  }
  State_ = state;
  if (Items_.empty()) {
    Composed_ = Image{};
    return dirty;
  }
  if (Composed_.Width() != picture.Width() || Composed_.Height() != picture.Height())
    Composed_ = picture;
  for (const Rect& r : dirty) ComposeOverlay(Composed_, picture, Items_, r);
  return dirty;
}

}  // namespace vr
