#pragma once
// Text a platform has already rasterised, kept as runs of ink. Rulers draw the
// same few numbers on every render, so they are kept; the cache holds at most
// a byte budget and drops the least recently used texts beyond it, so a miss
// only costs the time to rasterise the text again.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Text.h"

namespace vr {

// A text mask as spans of ink, line by line: drawing visits the ink only, not
// the empty cell around the glyphs, and fills fully covered spans without
// mixing. The lines are the mask's rows for text that lies flat and its
// columns for text that stands, so that either way a span is part of one
// picture row.
struct InkedText {
  struct Span {
    static constexpr uint16_t kSolid = 0x8000;  // in Length: every pixel fully covered
    uint16_t Begin = 0;
    uint16_t Length = 0;
    bool operator==(const Span&) const = default;
  };
  struct Lines {
    std::vector<uint32_t> First;          // per line its first span, and one past the last
    std::vector<Span> Spans;              // in line order
    std::vector<uint32_t> FirstCoverage;  // per line, where its partial spans' coverage starts
    std::vector<uint8_t> Coverage;        // coverage of the spans that are not solid
  };

  // A mask whose coverage doesn't fill its width and height, or that is
  // 32,768 pixels wide or high or more, has no ink.
  explicit InkedText(const TextMask& mask);

  int Advance = 0;
  int Width = 0;
  int Height = 0;
  Lines Rows;
  Lines Columns;
  size_t Bytes() const;
};

class TextMaskCache {
 public:
  static constexpr size_t kDefaultCapacityBytes = 8u << 20;

  explicit TextMaskCache(size_t capacityBytes = kDefaultCapacityBytes) : Capacity_(capacityBytes) {}

  // The text in face at the pixel height; rasterised by `make` on a miss. The
  // pointer stays valid after the cache has dropped the entry.
  std::shared_ptr<const InkedText> Get(const std::string& face, int pixelHeight,
                                       const std::string& text,
                                       const std::function<TextMask()>& make);

  size_t Bytes() const { return Bytes_; }
  size_t Count() const { return Entries_.size(); }
  size_t Capacity() const { return Capacity_; }
  // Drops entries, least recently used first, until the new budget holds.
  void SetCapacity(size_t capacityBytes);

 private:
  using Key = std::tuple<std::string, int, std::string>;
  struct Entry {
    std::shared_ptr<const InkedText> Text;
    size_t Bytes = 0;
    std::list<Key>::iterator Use;
  };
  // Drops entries until `room` more bytes fit.
  void MakeRoom(size_t room);

  size_t Capacity_;
  size_t Bytes_ = 0;
  std::map<Key, Entry> Entries_;
  std::list<Key> Uses_;  // most recent first
};

}  // namespace vr
