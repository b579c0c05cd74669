#pragma once
// Text as the platform rasterises it, for rulers to draw their numbers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vr {

// One line of text rasterised upright: Coverage is Width x Height bytes, row by
// row, 0 empty .. 255 full. Height is the whole cell, from its top to the
// bottom of the descent; Advance the pen advance along the line.
struct TextMask {
  int Advance = 0;
  int Width = 0;
  int Height = 0;
  std::vector<uint8_t> Coverage;
};

class TextMaskCache;

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Text, upright; turning and colouring is the caller's.
  virtual TextMask RenderText(const std::string& face, int pixelHeight,
                              const std::string& text) = 0;
  // Text this platform has rasterised, kept for later renders (TextMaskCache.h).
  TextMaskCache& TextMasks();

 private:
  std::shared_ptr<TextMaskCache> TextMasks_;  // made on first use
};

}  // namespace vr
