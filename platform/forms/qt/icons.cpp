#include "platform/forms/qt/icons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace forms::qt {

namespace {

void Tile(QPainter& p, int s, QColor top, QColor bottom) {
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(QPen(bottom.darker(140), s / 32.0 + 0.5));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(s * 0.06, s * 0.06, s * 0.88, s * 0.88), s * 0.16, s * 0.16);
}

// A sheet of code with a quill across it.
void Quillon(QPainter& p, int s) {
    Tile(p, s, QColor(0x4a, 0x7c, 0xc9), QColor(0x1f, 0x3f, 0x80));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(s * 0.22, s * 0.18, s * 0.46, s * 0.62));
    p.setPen(QPen(QColor(0x1f, 0x3f, 0x80), s / 20.0));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(s * 0.28, s * (0.30 + 0.12 * i)), QPointF(s * (0.58 - 0.06 * (i % 2)), s * (0.30 + 0.12 * i)));
    QPainterPath quill;
    quill.moveTo(s * 0.42, s * 0.86);
    quill.cubicTo(s * 0.55, s * 0.55, s * 0.75, s * 0.25, s * 0.88, s * 0.12);
    quill.cubicTo(s * 0.80, s * 0.40, s * 0.62, s * 0.62, s * 0.42, s * 0.86);
    p.setPen(QPen(QColor(0x80, 0x50, 0x10), s / 40.0 + 0.5));
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    p.drawPath(quill);
}

// Two switches: one configuration on, one off.
void Config(QPainter& p, int s) {
    Tile(p, s, QColor(0x5c, 0xb8, 0x5c), QColor(0x2d, 0x6e, 0x2d));
    for (int i = 0; i < 2; ++i) {
        QRectF track(s * 0.2, s * (0.24 + 0.3 * i), s * 0.6, s * 0.2);
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? QColor(0xff, 0xff, 0xff, 220) : QColor(0, 0, 0, 90));
        p.drawRoundedRect(track, s * 0.1, s * 0.1);
        p.setBrush(i == 0 ? QColor(0x2d, 0x6e, 0x2d) : QColor(0xee, 0xee, 0xee));
        double x = i == 0 ? s * 0.6 : s * 0.22;
        p.drawEllipse(QRectF(x, track.top() + s * 0.02, s * 0.16, s * 0.16));
    }
    p.setPen(QPen(Qt::white, s / 16.0));
    p.drawText(QRectF(0, s * 0.78, s, s * 0.2), Qt::AlignCenter, "#");
}

// A window whose work area opens outwards.
void Wendover(QPainter& p, int s) {
    Tile(p, s, QColor(0xe0, 0x8a, 0x3c), QColor(0x9a, 0x4c, 0x10));
    p.setPen(QPen(Qt::white, s / 18.0));
    p.setBrush(QColor(255, 255, 255, 60));
    p.drawRect(QRectF(s * 0.3, s * 0.32, s * 0.4, s * 0.36));
    p.drawLine(QPointF(s * 0.3, s * 0.42), QPointF(s * 0.7, s * 0.42));
    for (int dx : {-1, 1})
        for (int dy : {-1, 1}) {
            QPointF c(s * (0.5 + 0.32 * dx), s * (0.5 + 0.32 * dy));
            p.drawLine(c, QPointF(c.x() - dx * s * 0.1, c.y()));
            p.drawLine(c, QPointF(c.x(), c.y() - dy * s * 0.1));
        }
}

// A data store with a key.
void Larkspur(QPainter& p, int s) {
    Tile(p, s, QColor(0x8e, 0x6b, 0xc8), QColor(0x4b, 0x2f, 0x86));
    p.setPen(QPen(QColor(0x30, 0x20, 0x60), s / 40.0 + 0.5));
    p.setBrush(QColor(0xe8, 0xe0, 0xf8));
    QRectF body(s * 0.2, s * 0.26, s * 0.4, s * 0.5);
    p.drawRect(body);
    p.drawEllipse(QRectF(body.left(), body.bottom() - s * 0.08, body.width(), s * 0.16));
    p.drawEllipse(QRectF(body.left(), body.top() - s * 0.08, body.width(), s * 0.16));
    p.setPen(QPen(QColor(0xf0, 0xc0, 0x40), s / 14.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(s * 0.56, s * 0.5, s * 0.18, s * 0.18));
    p.drawLine(QPointF(s * 0.7, s * 0.66), QPointF(s * 0.84, s * 0.82));
}

// A wizard's star over a component block.
void Fenmoor(QPainter& p, int s) {
    Tile(p, s, QColor(0x3c, 0xa8, 0xb4), QColor(0x17, 0x5c, 0x66));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xf8, 0xf0, 0xd0));
    p.drawRect(QRectF(s * 0.2, s * 0.52, s * 0.36, s * 0.28));
    QPainterPath star;
    const double cx = s * 0.64, cy = s * 0.36, r1 = s * 0.22, r2 = s * 0.09;
    for (int i = 0; i < 10; ++i) {
        double a = -3.14159265 / 2 + i * 3.14159265 / 5;
        double r = i % 2 ? r2 : r1;
        QPointF pt(cx + r * std::cos(a), cy + r * std::sin(a));
        if (i == 0) star.moveTo(pt);
        else star.lineTo(pt);
    }
    star.closeSubpath();
    p.setBrush(QColor(0xff, 0xd7, 0x40));
    p.drawPath(star);
}

// A speech balloon with a question mark, for input boxes.
void Input(QPainter& p, int s) {
    p.setPen(QPen(QColor(0x1f, 0x3f, 0x80), s / 24.0 + 0.5));
    p.setBrush(QColor(0xff, 0xff, 0xe0));
    p.drawEllipse(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.7));
    QFont f;
    f.setPixelSize(s / 2);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(s * 0.08, s * 0.08, s * 0.84, s * 0.7), Qt::AlignCenter, "?");
}

}  // namespace

QPixmap IconPixmap(const std::string& picture, int size) {
    static const struct {
        const char* name;
        void (*draw)(QPainter&, int);
    } kIcons[] = {{"icon:quillon", Quillon}, {"icon:config", Config},
                  {"icon:wendover", Wendover}, {"icon:larkspur", Larkspur},
                  {"icon:fenmoor", Fenmoor},   {"icon:input", Input}};
    for (const auto& icon : kIcons) {
        if (picture != icon.name) continue;
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        icon.draw(p, size);
        return pixmap;
    }
    return {};
}

}  // namespace forms::qt
