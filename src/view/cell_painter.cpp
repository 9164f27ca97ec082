#include "cell_painter.h"

#include "squares/cells.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tessfield {

QColor toQColor(Colour colour)
{
    return {static_cast<int>(colour & 0xFFU), static_cast<int>((colour >> 8U) & 0xFFU),
            static_cast<int>((colour >> 16U) & 0xFFU)};
}

QFont faceFor(const FontSpec &font, double dpi)
{
    QFont face;
    if (font.name == CountFont) {
        face = QFont(QStringLiteral("DejaVu Sans Mono"));
        face.setStyleHint(QFont::TypeWriter);
        face.setFixedPitch(true);
    } else if (font.name.empty()) {
        face = QGuiApplication::font();
    } else {
        face = QFont(QString::fromStdString(font.name));
    }
    // Sized in pixels from the DPI it is drawn at, so a glyph is as large as its point size
    // says on the screen the board is on.
    face.setPixelSize(std::max(1, static_cast<int>(std::lround(font.size * dpi / 72.0))));
    face.setBold(font.bold);
    face.setStyleStrategy(QFont::PreferAntialias);
    return face;
}

void paintBomb(QPainter &painter, QPointF origin, qreal em, const QColor &colour)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre = origin + QPointF(0.48 * em, 0.62 * em);
    const qreal radius = 0.32 * em;
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(centre, radius, radius);
    // The cap and fuse stand up and to the right of the body, as on a cartoon bomb.
    const QPointF capCentre = centre + QPointF(0.22 * em, -0.24 * em);
    painter.translate(capCentre);
    painter.rotate(45.0);
    painter.drawRect(QRectF(-0.09 * em, -0.08 * em, 0.18 * em, 0.16 * em));
    painter.resetTransform();
    painter.setTransform(QTransform());
    QPen fuse(colour, std::max<qreal>(1.0, 0.07 * em));
    fuse.setCapStyle(Qt::RoundCap);
    painter.setPen(fuse);
    painter.setBrush(Qt::NoBrush);
    QPainterPath path(capCentre + QPointF(0.05 * em, -0.05 * em));
    path.quadTo(capCentre + QPointF(0.12 * em, -0.25 * em), capCentre + QPointF(0.3 * em, -0.22 * em));
    painter.drawPath(path);
    painter.restore();
}

int edgeWidth(qreal dpr)
{
    return std::max(1, static_cast<int>(std::floor(dpr + 1e-9)));
}

CellPainter::Key CellPainter::keyFor(const SquareArray &squares, Int16 k, QSize deviceSize,
                                     qreal dpr, double logicalDpi)
{
    const Inscription inscription = squares.inscription(k);
    return {squares.background(k),
            inscription.colour,
            inscription.text.data(),
            inscription.font,
            deviceSize.width(),
            deviceSize.height(),
            static_cast<int>(std::lround(dpr * 100.0)),
            static_cast<int>(std::lround(logicalDpi))};
}

namespace {

// The pixmap kept for the key, made on its first use.
template <typename Cache, typename Make>
const QPixmap &kept(Cache &cache, const typename Cache::key_type &key, Make make)
{
    auto found = cache.constFind(key);
    if (found == cache.constEnd())
        found = cache.insert(key, make());
    return *found;
}

} // namespace

const QPixmap &CellPainter::pixmapFor(const SquareArray &squares, Int16 k, QSize deviceSize,
                                      qreal dpr, double logicalDpi)
{
    return kept(cache_, keyFor(squares, k, deviceSize, dpr, logicalDpi),
                [&] { return render(squares, k, deviceSize, dpr, logicalDpi); });
}

const QPixmap &CellPainter::stripFor(const SquareArray &squares, Int16 k, QSize deviceSize,
                                     qreal dpr, double logicalDpi)
{
    return kept(strips_, keyFor(squares, k, deviceSize, dpr, logicalDpi), [&] {
        // Copied pixel for pixel, in device pixels like the look itself.
        QImage look = pixmapFor(squares, k, deviceSize, dpr, logicalDpi).toImage();
        look.setDevicePixelRatio(1.0);
        QPixmap strip(deviceSize.width() * StripLength, deviceSize.height());
        QPainter painter(&strip);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        for (int i = 0; i < StripLength; ++i)
            painter.drawImage(i * deviceSize.width(), 0, look);
        painter.end();
        strip.setDevicePixelRatio(dpr);
        return strip;
    });
}

QPixmap CellPainter::render(const SquareArray &squares, Int16 k, QSize deviceSize, qreal dpr,
                            double logicalDpi) const
{
    // Everything below is in device pixels: the pixmap is painted at ratio 1 and only
    // labelled with its ratio at the end, so that no edge or glyph lands between pixels.
    QPixmap pixmap(deviceSize);
    const QColor background = toQColor(squares.background(k));
    pixmap.fill(background);

    QPainter painter(&pixmap);
    const int width = deviceSize.width();
    const int height = deviceSize.height();
    // A one-pixel edge keeps neighbouring squares of one colour apart: raised on a covered
    // square, a plain seam on an uncovered one.
    const int line = edgeWidth(dpr);
    if (width > 3 * line && height > 3 * line) {
        if (isCovered(squares, k)) {
            painter.fillRect(QRect(0, 0, width, line), background.lighter(160));
            painter.fillRect(QRect(0, 0, line, height), background.lighter(160));
        }
        painter.fillRect(QRect(width - line, 0, line, height), background.darker(150));
        painter.fillRect(QRect(0, height - line, width, line), background.darker(150));
    }

    const Inscription inscription = squares.inscription(k);
    if (inscription.font != nullptr) {
        const QColor ink = toQColor(inscription.colour);
        // The board's DPI in device pixels: glyphs keep their point size on the screen.
        const double deviceDpi = logicalDpi * dpr;
        if (inscription.font->name == MineFont && inscription.text == MineGlyph) {
            const qreal em = inscription.font->size * deviceDpi / 72.0;
            paintBomb(painter, QPointF(dpr, dpr), em, ink);
        } else {
            painter.setRenderHint(QPainter::TextAntialiasing);
            painter.setFont(faceFor(*inscription.font, deviceDpi));
            painter.setPen(ink);
            // Text is written from the square's top-left corner, not centred.
            const int indent = static_cast<int>(std::lround(dpr));
            painter.drawText(QRect(indent, 0, width - indent, height), Qt::AlignLeft | Qt::AlignTop,
                             QString::fromUtf8(inscription.text.data(),
                                               static_cast<qsizetype>(inscription.text.size())));
        }
    }
    painter.end();
    pixmap.setDevicePixelRatio(dpr);
    return pixmap;
}

} // namespace tessfield
