#include "platform/headless/HeadlessFont.h"

#include <algorithm>
#include <array>
#include <map>

namespace vr::headless {

TextMask RenderBitmapText(int pixelHeight, const std::string& text) {
  // 3 x 5 patterns, one row a string of three cells.
  static const std::map<char, std::array<const char*, 5>> kGlyphs{
      {'0', {"###", "#.#", "#.#", "#.#", "###"}}, {'1', {".#.", "##.", ".#.", ".#.", "###"}},
      {'2', {"###", "..#", "###", "#..", "###"}}, {'3', {"###", "..#", "###", "..#", "###"}},
      {'4', {"#.#", "#.#", "###", "..#", "..#"}}, {'5', {"###", "#..", "###", "..#", "###"}},
      {'6', {"###", "#..", "###", "#.#", "###"}}, {'7', {"###", "..#", "..#", "..#", "..#"}},
      {'8', {"###", "#.#", "###", "#.#", "###"}}, {'9', {"###", "#.#", "###", "..#", "###"}},
      {'-', {"...", "...", "###", "...", "..."}},
  };
  TextMask m;
  const int em = std::max(pixelHeight, 1);
  const int glyphWidth = std::max(1, em * 3 / 5);
  const int advance = glyphWidth + 1;
  m.Advance = advance * static_cast<int>(text.size());
  m.Width = m.Advance;
  m.Height = em + std::max(1, em / 4);
  m.Coverage.assign(static_cast<size_t>(m.Width) * static_cast<size_t>(m.Height), 0);
  for (size_t n = 0; n < text.size(); ++n) {
    auto g = kGlyphs.find(text[n]);
    if (g == kGlyphs.end()) continue;
    for (int y = 0; y < em; ++y) {
      for (int x = 0; x < glyphWidth; ++x) {
        if (g->second[static_cast<size_t>(y * 5 / em)][x * 3 / glyphWidth] == '#') {
          const size_t px = n * static_cast<size_t>(advance) + static_cast<size_t>(x);
          m.Coverage[static_cast<size_t>(y) * static_cast<size_t>(m.Width) + px] = 255;
        }
      }
    }
  }
  return m;
}

}  // namespace vr::headless
