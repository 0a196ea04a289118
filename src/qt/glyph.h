#pragma once
// Button images from a definition's Glyph.Data: a Windows bitmap file ("BM" header, optionally
// after a 4-byte length as some writers store it), uncompressed, 16, 24 or 32 bits per pixel
// (16 bits: 5-5-5, or the masks of BI_BITFIELDS), rows bottom-up unless the height is negative.
// Other depths go to Qt's own reader. As on the toolkit's buttons, the colour of the
// bottom-left pixel is transparent, and a bitmap with NumGlyphs images side by side holds the
// enabled image first and the disabled one second.

#include <QIcon>
#include <QImage>
#include <string>

namespace qtviews {

// The bitmap as an image, or a null image when the data is not a bitmap that can be read.
QImage DecodeBitmap(const std::string& data);
// The bitmap's images as an icon: image 1 for the normal state, image 2 (when there is one)
// for the disabled state, with the transparent colour applied. A null icon for unreadable data.
QIcon GlyphIcon(const std::string& data, int numGlyphs);
// Images drawn when a definition gives none: a magnifying glass, a drop-down calendar mark.
QIcon DrawnSearchIcon();
QIcon DrawnCalendarIcon();

}  // namespace qtviews
