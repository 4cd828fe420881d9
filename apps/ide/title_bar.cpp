#include "apps/ide/title_bar.h"

#include <QLinearGradient>
#include <QPainter>

namespace ide {

QImage WithTitleBar(const QImage& client, const QString& text, const QFont& font) {
    const int border = 4, bar = 20;
    QImage out(client.width() + 2 * border, client.height() + 2 * border + bar, QImage::Format_ARGB32);
    out.fill(QColor(0xd4, 0xd0, 0xc8));
    QPainter p(&out);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(0, 0, out.width() - 1, out.height() - 1);
    QRect title(border - 1, border - 1, out.width() - 2 * border + 2, bar);
    QLinearGradient g(title.topLeft(), title.topRight());
    g.setColorAt(0, QColor(0x0a, 0x24, 0x6a));
    g.setColorAt(1, QColor(0xa6, 0xca, 0xf0));
    p.fillRect(title, g);
    QFont bold = font;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(Qt::white);
    p.drawText(title.adjusted(6, 0, -60, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    for (int i = 0; i < 3; ++i) {
        QRect box(title.right() - 18 * (3 - i) - 2, title.top() + 3, 16, 14);
        p.fillRect(box, QColor(0xd4, 0xd0, 0xc8));
        p.setPen(QColor(0x40, 0x40, 0x40));
        p.drawRect(box.adjusted(0, 0, -1, -1));
        p.setPen(QPen(Qt::black, 1.5));
        if (i == 0) p.drawLine(box.left() + 4, box.bottom() - 4, box.right() - 5, box.bottom() - 4);
        if (i == 1) p.drawRect(box.adjusted(4, 3, -5, -4));
        if (i == 2) {
            p.drawLine(box.left() + 4, box.top() + 3, box.right() - 5, box.bottom() - 4);
            p.drawLine(box.right() - 5, box.top() + 3, box.left() + 4, box.bottom() - 4);
        }
    }
    p.drawImage(border, border + bar, client);
    p.end();
    return out;
}
}  // namespace ide
