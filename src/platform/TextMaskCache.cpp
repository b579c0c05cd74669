#include "platform/TextMaskCache.h"

namespace vr {

namespace {

// The spans of `lines` lines of `length` pixels each; pixel n of line k is
// coverage[k * lineStep + n * pixelStep].
InkedText::Lines FindSpans(const uint8_t* coverage, int64_t lines, int64_t length, int64_t lineStep,
                           int64_t pixelStep) {
  InkedText::Lines out;
  out.First.reserve(static_cast<size_t>(lines) + 1);
  out.FirstCoverage.reserve(static_cast<size_t>(lines));
  for (int64_t k = 0; k < lines; ++k) {
    out.First.push_back(static_cast<uint32_t>(out.Spans.size()));
    out.FirstCoverage.push_back(static_cast<uint32_t>(out.Coverage.size()));
    const uint8_t* line = coverage + k * lineStep;
    auto at = [&](int64_t n) { return line[n * pixelStep]; };
    for (int64_t n = 0; n < length;) {
      if (at(n) == 0) {
        ++n;
        continue;
      }
      // Fully covered pixels, or partly covered ones, as far as they go.
      const bool solid = at(n) == 255;
      const int64_t begin = n;
      while (n < length && at(n) != 0 && (at(n) == 255) == solid) ++n;
      if (!solid)
        for (int64_t m = begin; m < n; ++m) out.Coverage.push_back(at(m));
      out.Spans.push_back(
          {static_cast<uint16_t>(begin),
           static_cast<uint16_t>((n - begin) | (solid ? InkedText::Span::kSolid : 0))});
    }
  }
  out.First.push_back(static_cast<uint32_t>(out.Spans.size()));
  return out;
}

size_t BytesOf(const InkedText::Lines& lines) {
  return lines.First.capacity() * sizeof(uint32_t) +
         lines.Spans.capacity() * sizeof(InkedText::Span) +
         lines.FirstCoverage.capacity() * sizeof(uint32_t) + lines.Coverage.capacity();
}

}  // namespace

InkedText::InkedText(const TextMask& mask) : Advance(mask.Advance) {
  const int64_t w = mask.Width;
  const int64_t h = mask.Height;
  constexpr int64_t kMaxSide = Span::kSolid - 1;
  if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide ||
      static_cast<int64_t>(mask.Coverage.size()) < w * h)
    return;
  Width = mask.Width;
  Height = mask.Height;
  Rows = FindSpans(mask.Coverage.data(), h, w, w, 1);
  Columns = FindSpans(mask.Coverage.data(), w, h, 1, w);
}

size_t InkedText::Bytes() const { return sizeof(InkedText) + BytesOf(Rows) + BytesOf(Columns); }

std::shared_ptr<const InkedText> TextMaskCache::Get(const std::string& face, int pixelHeight,
                                                    const std::string& text,
                                                    const std::function<TextMask()>& make) {
  Key key{face, pixelHeight, text};
  if (auto it = Entries_.find(key); it != Entries_.end()) {
    Uses_.splice(Uses_.begin(), Uses_, it->second.Use);
    return it->second.Text;
  }
  auto inked = std::make_shared<const InkedText>(make());
  // The key is held twice, in the map and in the list of uses, each with
  // some bookkeeping, so that many tiny entries can't grow without bound.
  constexpr size_t kOverhead = 128;
  const size_t cost = inked->Bytes() + 2 * (face.size() + text.size()) + kOverhead;
  // One entry larger than the whole budget is used once and not kept.
  if (cost > Capacity_) return inked;
  MakeRoom(cost);
  Uses_.push_front(key);
  Entries_.emplace(std::move(key), Entry{inked, cost, Uses_.begin()});
  Bytes_ += cost;
  return inked;
}

void TextMaskCache::MakeRoom(size_t room) {
  while (!Uses_.empty() && Bytes_ + room > Capacity_) {
    auto oldest = Entries_.find(Uses_.back());
    Bytes_ -= oldest->second.Bytes;
    Entries_.erase(oldest);
    Uses_.pop_back();
  }
}

void TextMaskCache::SetCapacity(size_t capacityBytes) {
  Capacity_ = capacityBytes;
  MakeRoom(0);
}

TextMaskCache& TextRenderer::TextMasks() {
  if (!TextMasks_) TextMasks_ = std::make_shared<TextMaskCache>();
  return *TextMasks_;
}

}  // namespace vr
