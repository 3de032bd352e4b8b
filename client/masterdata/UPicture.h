#pragma once
//! Picture files as the product and employee windows take them: JPEG decoded by libjpeg,
//! PNG and BMP by Qt, and what is kept in a record's picture field.

#include <QByteArray>
#include <QImage>
#include <QString>

namespace korvane::picture {

//! Files above this size are not read at all: no operator's photo needs more.
inline constexpr qint64 MaxFileBytes = 20 * 1024 * 1024;
//! Pictures with more pixels than this are refused before their rows are decoded.
inline constexpr qint64 MaxPixels = 40'000'000;
//! A stored picture's longer side, in pixels: every product line travels in its packet.
inline constexpr int MaxStoredSide = 1024;

//! The picture in JPEG bytes; a null image for a corrupt, truncated or foreign file.
//! why, when given, says what libjpeg refused.
QImage decodeJpeg(const QByteArray &bytes, QString *why = nullptr);
//! The picture as baseline JPEG; empty when it cannot be encoded.
QByteArray encodeJpeg(const QImage &image, int quality = 85);

//! Whether the bytes start the way a JPEG file does.
bool looksLikeJpeg(const QByteArray &bytes);
//! A picture from file bytes: JPEG through libjpeg, PNG and BMP through Qt; null otherwise.
QImage decodePicture(const QByteArray &bytes);
//! A picture file as the operator chose it; null when too large, unreadable or no picture.
QImage readPictureFile(const QString &path);
//! What a record keeps: the picture as JPEG, its longer side at most MaxStoredSide.
QByteArray storedPicture(const QImage &image);

} // namespace korvane::picture
