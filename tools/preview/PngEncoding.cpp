#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/preview/ScreenRenderer.h"

// PNG files written here rather than by Cairo: Cairo's writer tries every row filter at libpng's
// default compression, which made four fifths of the studio's redraw. Screens are mostly runs of
// one colour, which deflate's fast levels pack nearly as well without any filter, at a fifth of
// the time.
namespace preview {
namespace {

// Fast, and smaller than level 1 for the same time on the sample screens.
constexpr int kCompressionLevel = 3;

void AppendBigEndian(std::string& bytes, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(value >> shift));
}

void AppendChunk(std::string& file, std::string_view type, std::string_view data) {
  AppendBigEndian(file, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = file.size();
  file.append(type).append(data);
  const auto* checked = reinterpret_cast<const Bytef*>(file.data() + typeAt);
  AppendBigEndian(file, static_cast<std::uint32_t>(crc32(crc32(0, nullptr, 0), checked,
                                                         static_cast<uInt>(file.size() - typeAt))));
}

// Appends rows [first, end) of the surface as PNG's filter-less scanlines of 8-bit RGBA, the
// colours no longer premultiplied, rounded as Cairo's own writer rounds them.
void AppendScanlines(cairo_surface_t* surface, int first, int end, std::vector<Bytef>& rows) {
  const int width = cairo_image_surface_get_width(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  rows.resize(static_cast<std::size_t>(end - first) * (1 + static_cast<std::size_t>(width) * 4));
  Bytef* out = rows.data();
  for (int y = first; y < end; ++y) {
    const auto* pixels = reinterpret_cast<const std::uint32_t*>(data + std::ptrdiff_t{y} * stride);
    *out++ = 0;  // Filter type: none.
    for (int x = 0; x < width; ++x, out += 4) {
      const std::uint32_t pixel = pixels[x];
      const std::uint32_t alpha = pixel >> 24;
      std::uint32_t red = (pixel >> 16) & 0xFF;
      std::uint32_t green = (pixel >> 8) & 0xFF;
      std::uint32_t blue = pixel & 0xFF;
      if (alpha != 0xFF && alpha != 0) {
        red = (red * 255 + alpha / 2) / alpha;
        green = (green * 255 + alpha / 2) / alpha;
        blue = (blue * 255 + alpha / 2) / alpha;
      } else if (alpha == 0) {
        red = green = blue = 0;
      }
      out[0] = static_cast<Bytef>(red);
      out[1] = static_cast<Bytef>(green);
      out[2] = static_cast<Bytef>(blue);
      out[3] = static_cast<Bytef>(alpha);
    }
  }
}

// The surface's rows, deflated a band at a time so that no copy of the whole picture is made.
std::string Deflated(cairo_surface_t* surface) {
  constexpr int kBandRows = 32;
  const int height = cairo_image_surface_get_height(surface);
  z_stream stream{};
  if (deflateInit(&stream, kCompressionLevel) != Z_OK) {
    throw std::runtime_error("cannot encode the picture: no memory to compress it");
  }
  std::string packed;
  std::vector<Bytef> rows;
  Bytef out[16384];
  int status = Z_OK;
  for (int first = 0; status == Z_OK; first += kBandRows) {
    const bool last = first + kBandRows >= height;
    AppendScanlines(surface, first, std::min(first + kBandRows, height), rows);
    stream.next_in = rows.data();
    stream.avail_in = static_cast<uInt>(rows.size());
    do {
      stream.next_out = out;
      stream.avail_out = sizeof out;
      status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
      packed.append(reinterpret_cast<const char*>(out), sizeof out - stream.avail_out);
    } while (stream.avail_out == 0 && status == Z_OK);
    if (last && status == Z_OK) status = Z_BUF_ERROR;  // Z_FINISH must end in Z_STREAM_END.
  }
  deflateEnd(&stream);
  if (status != Z_STREAM_END) throw std::runtime_error("cannot encode the picture");
  return packed;
}

}  // namespace

std::string EncodePng(const ScreenPicture& picture) {
  cairo_surface_t* surface = picture.Surface();
  if (surface == nullptr || cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS ||
      cairo_image_surface_get_format(surface) != CAIRO_FORMAT_ARGB32) {
    throw std::runtime_error("no picture to encode");
  }
  cairo_surface_flush(surface);
  const std::string packed = Deflated(surface);

  std::string header;
  AppendBigEndian(header, static_cast<std::uint32_t>(picture.Width()));
  AppendBigEndian(header, static_cast<std::uint32_t>(picture.Height()));
  // 8 bits per component, RGBA, deflate, adaptive filtering (each row says its own), no interlace.
  header.append({8, 6, 0, 0, 0});
  std::string file("\x89PNG\r\n\x1a\n", 8);
  AppendChunk(file, "IHDR", header);
  AppendChunk(file, "IDAT", packed);
  AppendChunk(file, "IEND", {});
  return file;
}

}  // namespace preview
