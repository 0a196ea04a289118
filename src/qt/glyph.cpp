#include "qt/glyph.h"

#include <QPainter>
#include <QPixmap>
#include <cstdint>

namespace qtviews {

namespace {

uint32_t le32(const std::string& d, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(d[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(d[at + 3])) << 24;
}
uint16_t le16(const std::string& d, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(d[at]) |
                               static_cast<unsigned char>(d[at + 1]) << 8);
}

// The value of `bits` under `mask`, scaled to 0..255.
int channel(uint32_t bits, uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1u) == 0) ++shift;
  const uint32_t max = mask >> shift;
  return static_cast<int>(((bits & mask) >> shift) * 255u / max);
}

}  // namespace

QImage DecodeBitmap(const std::string& raw) {
  std::string d = raw;
  if (d.size() > 6 && d.compare(0, 2, "BM") != 0 && d.compare(4, 2, "BM") == 0) d.erase(0, 4);
  if (d.size() < 54 || d.compare(0, 2, "BM") != 0) return {};
  const uint32_t offset = le32(d, 10);
  const uint32_t headerSize = le32(d, 14);
  const auto width = static_cast<int32_t>(le32(d, 18));
  const auto height = static_cast<int32_t>(le32(d, 22));
  const uint16_t bpp = le16(d, 28);
  const uint32_t compression = le32(d, 30);
  const bool bottomUp = height > 0;
  const int h = bottomUp ? height : -height;
  if (width <= 0 || h <= 0 || width > 4096 || h > 4096 || headerSize < 40) return {};
  if ((bpp != 16 && bpp != 24 && bpp != 32) || (compression != 0 && compression != 3)) {
    QImage viaQt;
    viaQt.loadFromData(reinterpret_cast<const uchar*>(d.data()), static_cast<int>(d.size()), "BMP");
    return viaQt.convertToFormat(QImage::Format_ARGB32);
  }
  uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};  // 16 bits, 5-5-5
  if (bpp != 16) {
    masks[0] = 0xFF0000;
    masks[1] = 0x00FF00;
    masks[2] = 0x0000FF;
  }
  if (compression == 3) {
    // The three masks follow the 40-byte header (inside it for the longer headers alike).
    if (d.size() < 66) return {};
    for (int i = 0; i < 3; ++i) masks[i] = le32(d, 14 + 40 + static_cast<size_t>(i) * 4);
  }
  const size_t stride = ((static_cast<size_t>(width) * bpp + 31) / 32) * 4;
  if (offset > d.size() || d.size() - offset < stride * static_cast<size_t>(h)) return {};
  QImage image(width, h, QImage::Format_ARGB32);
  for (int y = 0; y < h; ++y) {
    const size_t row = offset + stride * static_cast<size_t>(bottomUp ? h - 1 - y : y);
    for (int x = 0; x < width; ++x) {
      uint32_t bits = 0;
      const size_t at = row + static_cast<size_t>(x) * (bpp / 8);
      if (bpp == 16) {
        bits = le16(d, at);
      } else if (bpp == 24) {
        bits = static_cast<uint32_t>(static_cast<unsigned char>(d[at])) |
               static_cast<uint32_t>(static_cast<unsigned char>(d[at + 1])) << 8 |
               static_cast<uint32_t>(static_cast<unsigned char>(d[at + 2])) << 16;
      } else {
        bits = le32(d, at);
      }
      image.setPixel(
          x, y, qRgb(channel(bits, masks[0]), channel(bits, masks[1]), channel(bits, masks[2])));
    }
  }
  return image;
}

QIcon GlyphIcon(const std::string& data, int numGlyphs) {
  QImage image = DecodeBitmap(data);
  if (image.isNull()) return {};
  const QRgb transparent = image.pixel(0, image.height() - 1);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) == transparent) image.setPixel(x, y, qRgba(0, 0, 0, 0));
  const int count = std::max(1, numGlyphs);
  const int w = image.width() / count;
  QIcon icon;
  icon.addPixmap(QPixmap::fromImage(image.copy(0, 0, w, image.height())), QIcon::Normal);
  if (count >= 2)
    icon.addPixmap(QPixmap::fromImage(image.copy(w, 0, w, image.height())), QIcon::Disabled);
  return icon;
}

QIcon DrawnSearchIcon() {
  QIcon icon;
  for (const bool enabled : {true, false}) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = enabled ? QColor(0, 0, 0) : QColor(128, 128, 128);
    p.setPen(QPen(ink, 1.5));
    p.setBrush(enabled ? QColor(255, 255, 255) : Qt::transparent);
    p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
    p.setPen(QPen(enabled ? QColor(0, 128, 128) : ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
    p.end();
    icon.addPixmap(pm, enabled ? QIcon::Normal : QIcon::Disabled);
  }
  return icon;
}

QIcon DrawnCalendarIcon() {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setPen(QColor(0, 0, 0));
  p.setBrush(QColor(255, 255, 255));
  p.drawRect(1, 2, 13, 12);
  p.fillRect(2, 3, 12, 3, QColor(128, 0, 0));
  for (int y = 8; y <= 12; y += 2)
    for (int x = 3; x <= 12; x += 3) p.drawPoint(x, y);
  p.end();
  return QIcon(pm);
}

}  // namespace qtviews
