#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "platform/TextMaskCache.h"

namespace vr {
namespace {

// The coverage a text's spans stand for, read back along its rows or columns.
std::vector<uint8_t> Redraw(const InkedText& text, bool rows) {
  std::vector<uint8_t> out(static_cast<size_t>(text.Width * text.Height), 0);
  const InkedText::Lines& lines = rows ? text.Rows : text.Columns;
  for (size_t k = 0; k < lines.FirstCoverage.size(); ++k) {
    const uint8_t* coverage = lines.Coverage.data() + lines.FirstCoverage[k];
    for (uint32_t s = lines.First[k]; s < lines.First[k + 1]; ++s) {
      const InkedText::Span span = lines.Spans[s];
      const bool solid = span.Length & InkedText::Span::kSolid;
      const int length = span.Length & ~InkedText::Span::kSolid;
      for (int n = span.Begin; n < span.Begin + length; ++n) {
        const size_t at = rows ? k * text.Width + n : n * text.Width + k;
        out[at] = solid ? 255 : *coverage++;
      }
    }
  }
  return out;
}

struct InkCase {
  const char* name;
  TextMask mask;
  bool inked;
  size_t rowSpans, solidRowSpans;
};

void PrintTo(const InkCase& c, std::ostream* os) { *os << c.name; }

class Ink : public ::testing::TestWithParam<InkCase> {};

TEST_P(Ink, SpansStandForTheWholeMaskAlongRowsAndColumns) {
  const InkCase& c = GetParam();
  const InkedText text(c.mask);
  size_t solid = 0;
  for (const InkedText::Span& s : text.Rows.Spans) solid += (s.Length & s.kSolid) != 0;
  EXPECT_EQ(text.Rows.Spans.size(), c.rowSpans);
  EXPECT_EQ(solid, c.solidRowSpans);
  EXPECT_EQ(text.Advance, c.mask.Advance);
  if (!c.inked) {
    EXPECT_EQ(text.Width * text.Height, 0);
    return;
  }
  EXPECT_EQ(Redraw(text, true), c.mask.Coverage);
  EXPECT_EQ(Redraw(text, false), c.mask.Coverage);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, Ink,
    ::testing::Values(
        // 4 x 2:  . F h .
        //         F F . s     (F full, h half, s slight)
        InkCase{"Mixed", {4, 4, 2, {0, 255, 128, 0, 255, 255, 0, 7}}, true, 4, 2},
        InkCase{"Blank", {3, 3, 2, std::vector<uint8_t>(6, 0)}, true, 0, 0},
        InkCase{"PartlyCoveredSpansJoin", {3, 3, 1, {1, 254, 9}}, true, 1, 0},
        InkCase{"FullRow", {5, 5, 1, std::vector<uint8_t>(5, 255)}, true, 1, 1},
        // 3 x 3 ring with a soft corner.
        InkCase{"Ring", {3, 3, 3, {255, 255, 90, 255, 0, 255, 255, 255, 255}}, true, 5, 4},
        InkCase{"CoverageShorterThanTheCell", {3, 3, 2, {255, 255, 255}}, false, 0, 0},
        InkCase{"TooWide", {40000, 40000, 1, std::vector<uint8_t>(40000, 255)}, false, 0, 0},
        InkCase{"NoSize", {0, 0, 0, {}}, false, 0, 0}));

// A blank mask of n bytes: no spans, so its cost is its lines and bookkeeping.
TextMask Sized(int n) { return {1, n, 1, std::vector<uint8_t>(static_cast<size_t>(n), 0)}; }

class TextCacheTest : public ::testing::Test {
 protected:
  std::shared_ptr<const InkedText> Get(const std::string& text, int pixels = 100) {
    return Cache.Get("Arial", 9, text, [&] {
      ++Made;
      return Sized(pixels);
    });
  }
  // Each entry costs a little over 1,000 bytes: three fit.
  TextMaskCache Cache{4000};
  int Made = 0;
};

TEST_F(TextCacheTest, MakesEachTextOnce) {
  Get("1");
  Get("1");
  EXPECT_EQ(Made, 1);
  Cache.Get("Arial", 10, "1", [] { return Sized(1); });
  Cache.Get("Tahoma", 9, "1", [] { return Sized(1); });
  EXPECT_EQ(Cache.Count(), 3u);
}

TEST_F(TextCacheTest, DropsTheLeastRecentlyUsedBeyondItsBudget) {
  Get("a");
  Get("b");
  Get("c");
  Get("a");  // now the most recent
  Get("d");  // no room for a fourth: "b" goes
  EXPECT_LE(Cache.Bytes(), Cache.Capacity());
  const int made = Made;
  Get("a");
  Get("c");
  Get("d");
  EXPECT_EQ(Made, made);
  Get("b");
  EXPECT_EQ(Made, made + 1);
}

TEST_F(TextCacheTest, KeepsNothingLargerThanItsBudgetYetHandsItOut) {
  const auto big = Get("big", 1000);
  EXPECT_EQ(big->Width, 1000);
  EXPECT_EQ(Cache.Count(), 0u);
  EXPECT_EQ(Cache.Bytes(), 0u);
}

TEST_F(TextCacheTest, AnEntryStaysUsableAfterItIsDropped) {
  const auto a = Get("a");
  Cache.SetCapacity(0);
  EXPECT_EQ(Cache.Count(), 0u);
  EXPECT_EQ(Cache.Bytes(), 0u);
  EXPECT_EQ(a->Columns.FirstCoverage.size(), 100u);
}

}  // namespace
}  // namespace vr
