// Build-time tool: writes the exe's icon from the pictures the program draws,
// and enlarged previews of every picture for the documentation.
//
//   make_icon ICON.ico          the program icon at 16 and 32 pixels
//   make_icon --preview DIR     DIR/image-list.ppm, program-icon.ppm, about-banner.ppm
//
// Runs on the build machine, so it uses only the portable drawing code.

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "About/Banner.h"
#include "DataModule/Pictures.h"

namespace {

using vr::Image;
using vr::MaskedImage;
using vr::TColor;

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// One icon image: a bottom-up 32-bit BGRA bitmap of double height (colour,
// then the 1-bit AND mask, set where the picture is fully transparent).
std::vector<uint8_t> IconImage(const MaskedImage& p) {
  const int w = p.Width();
  const int h = p.Height();
  const int maskStride = (w + 31) / 32 * 4;
  std::vector<uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(w));
  Put32(out, static_cast<uint32_t>(2 * h));
  Put16(out, 1);   // planes
  Put16(out, 32);  // bits per pixel
  Put32(out, 0);   // no compression
  Put32(out, static_cast<uint32_t>(w * h * 4 + maskStride * h));
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    for (int x = 0; x < w; ++x) {
      const TColor c = p.Color.Pixel(x, y);
      out.push_back(static_cast<uint8_t>(c >> 16));  // blue
      out.push_back(static_cast<uint8_t>(c >> 8));   // green
      out.push_back(static_cast<uint8_t>(c));        // red
      out.push_back(p.AlphaAt(x, y));
    }
  }
  for (int y = h - 1; y >= 0; --y) {
    std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
    for (int x = 0; x < w; ++x)
      if (p.AlphaAt(x, y) == 0)
        row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

bool WriteIcon(const std::string& path) {
  const std::vector<int> sizes = {16, 32};
  std::vector<std::vector<uint8_t>> images;
  for (int s : sizes) images.push_back(IconImage(vr::DrawProgramIcon(s)));
  std::vector<uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, static_cast<uint32_t>(sizes.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) {
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(static_cast<uint8_t>(sizes[i]));
    out.push_back(0);  // no palette
    out.push_back(0);
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, static_cast<uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const auto& img : images) out.insert(out.end(), img.begin(), img.end());
  std::ofstream f(path, std::ios::binary);
  f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(f);
}

bool WritePpm(const Image& img, const std::string& path) {
  std::ofstream f(path, std::ios::binary);
  f << "P6\n" << img.Width() << " " << img.Height() << "\n255\n";
  for (TColor c : img.Pixels()) {
    const char rgb[3] = {static_cast<char>(c & 0xFF), static_cast<char>((c >> 8) & 0xFF),
                         static_cast<char>((c >> 16) & 0xFF)};
    f.write(rgb, 3);
  }
  return static_cast<bool>(f);
}

constexpr int kZoom = 8;
constexpr int kGap = 16;
constexpr TColor kPage = 0xFFFFFF;

// Pastes the picture enlarged, nearest neighbour, over a light checkerboard
// of one picture pixel a square, so that transparency shows.
void PasteEnlarged(Image& page, const MaskedImage& p, int left, int top) {
  for (int y = 0; y < p.Height() * kZoom; ++y) {
    for (int x = 0; x < p.Width() * kZoom; ++x) {
      const int sx = x / kZoom;
      const int sy = y / kZoom;
      page.SetPixel(left + x, top + y, (sx + sy) % 2 ? 0xE4E4E4 : 0xF8F8F8);
      page.BlendPixel(left + x, top + y, p.Color.Pixel(sx, sy), p.AlphaAt(sx, sy));
    }
  }
}

Image Row(const std::vector<MaskedImage>& pictures) {
  int width = kGap;
  int height = 0;
  for (const auto& p : pictures) {
    width += p.Width() * kZoom + kGap;
    height = std::max(height, p.Height() * kZoom);
  }
  Image page(width, height + 2 * kGap, kPage);
  int x = kGap;
  for (const auto& p : pictures) {
    PasteEnlarged(page, p, x, kGap + height - p.Height() * kZoom);
    x += p.Width() * kZoom + kGap;
  }
  return page;
}

bool WritePreviews(const std::string& dir) {
  std::vector<MaskedImage> list;
  for (int i = 0; i < vr::PictureCount; ++i) list.push_back(vr::DrawImageListPicture(i));
  return WritePpm(Row(list), dir + "/image-list.ppm") &&
         WritePpm(Row({vr::DrawProgramIcon(32), vr::DrawProgramIcon(16)}),
                  dir + "/program-icon.ppm") &&
         WritePpm(vr::DrawAboutBanner(), dir + "/about-banner.ppm");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  bool ok = false;
  if (args.size() == 1 && args[0] != "--preview") {
    ok = WriteIcon(args[0]);
  } else if (args.size() == 2 && args[0] == "--preview") {
    ok = WritePreviews(args[1]);
  } else {
    std::fprintf(stderr, "usage: make_icon ICON.ico | make_icon --preview DIR\n");
    return 2;
  }
  if (!ok) std::fprintf(stderr, "make_icon: could not write %s\n", args.back().c_str());
  return ok ? 0 : 1;
}
