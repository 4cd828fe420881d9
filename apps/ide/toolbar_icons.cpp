#include "apps/ide/toolbar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

namespace ide {

namespace {

const QColor kInk(0x20, 0x20, 0x20);
const QColor kNavy(0x00, 0x00, 0x80);
const QColor kPaper(0xff, 0xff, 0xff);
const QColor kFolder(0xf0, 0xd0, 0x60);
const QColor kGrey(0xa0, 0xa0, 0xa0);

void Page(QPainter& p, int x, int y, int w, int h) {
    p.setPen(kInk);
    p.setBrush(kPaper);
    p.drawRect(x, y, w, h);
}

void Window(QPainter& p, int x, int y, int w, int h) {
    Page(p, x, y, w, h);
    p.fillRect(x + 1, y + 1, w - 1, 3, kNavy);
}

void Arrow(QPainter& p, bool redo) {
    QPainterPath path;
    if (redo) {
        path.moveTo(3, 12);
        path.cubicTo(3, 4, 11, 4, 12, 8);
    } else {
        path.moveTo(13, 12);
        path.cubicTo(13, 4, 5, 4, 4, 8);
    }
    p.setPen(QPen(kNavy, 2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setBrush(kNavy);
    p.setPen(Qt::NoPen);
    QPolygon head;
    if (redo) head << QPoint(9, 7) << QPoint(15, 7) << QPoint(13, 12);
    else head << QPoint(1, 7) << QPoint(7, 7) << QPoint(3, 12);
    p.drawPolygon(head);
}

using Painter = std::function<void(QPainter&)>;

const std::map<std::int32_t, Painter>& Painters() {
    static const std::map<std::int32_t, Painter> painters = {
        {vbide::kCmdAddStandardExe, [](QPainter& p) {
             Page(p, 2, 1, 10, 13);
             p.fillRect(8, 8, 7, 7, QColor(0x00, 0x80, 0x00));
             p.fillRect(11, 9, 1, 5, kPaper);
             p.fillRect(9, 11, 5, 1, kPaper);
         }},
        {vbide::kCmdAddForm, [](QPainter& p) { Window(p, 1, 2, 13, 11); }},
        {vbide::kCmdViewCode, [](QPainter& p) {
             Page(p, 2, 1, 11, 14);
             p.setPen(kNavy);
             for (int y = 4; y <= 12; y += 2) p.drawLine(4, y, y % 4 == 0 ? 11 : 8, y);
         }},
        {vbide::kCmdMenuEditor, [](QPainter& p) {
             Window(p, 1, 2, 13, 11);
             p.setPen(kInk);
             for (int y = 7; y <= 11; y += 2) p.drawLine(3, y, 9, y);
         }},
        {vbide::kCmdOpenProject, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(kFolder);
             p.drawRect(1, 4, 13, 9);
             p.drawRect(1, 3, 5, 1);
             p.setBrush(QColor(0xff, 0xe8, 0x90));
             QPolygon flap;
             flap << QPoint(3, 7) << QPoint(15, 7) << QPoint(13, 13) << QPoint(1, 13);
             p.drawPolygon(flap);
         }},
        {vbide::kCmdSaveProject, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(kNavy);
             p.drawRect(1, 1, 13, 13);
             p.fillRect(4, 2, 8, 5, kPaper);
             p.fillRect(4, 10, 8, 4, kGrey);
         }},
        {vbide::kCmdCut, [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.drawLine(5, 1, 10, 10);
             p.drawLine(10, 1, 5, 10);
             p.setBrush(Qt::NoBrush);
             p.setPen(QPen(kNavy, 1.5));
             p.drawEllipse(1, 10, 4, 4);
             p.drawEllipse(10, 10, 4, 4);
         }},
        {vbide::kCmdCopy, [](QPainter& p) {
             Page(p, 1, 1, 8, 10);
             Page(p, 6, 5, 8, 10);
         }},
        {vbide::kCmdPaste, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(0xb0, 0x80, 0x40));
             p.drawRect(1, 2, 10, 12);
             p.setBrush(kGrey);
             p.drawRect(4, 1, 4, 3);
             Page(p, 7, 6, 8, 9);
         }},
        {vbide::kCmdFind, [](QPainter& p) {
             p.setPen(QPen(kInk, 1));
             p.setBrush(QColor(0x60, 0x60, 0x60));
             p.drawEllipse(1, 6, 6, 7);
             p.drawEllipse(9, 6, 6, 7);
             p.drawRect(6, 7, 4, 3);
             p.setBrush(QColor(0x80, 0xc0, 0xff));
             p.drawEllipse(2, 8, 3, 3);
             p.drawEllipse(10, 8, 3, 3);
         }},
        {vbide::kCmdUndo, [](QPainter& p) { Arrow(p, false); }},
        {vbide::kCmdRedo, [](QPainter& p) { Arrow(p, true); }},
        {vbide::kCmdStart, [](QPainter& p) {
             p.setPen(QColor(0x00, 0x60, 0x00));
             p.setBrush(QColor(0x00, 0xa0, 0x00));
             QPolygon t;
             t << QPoint(4, 2) << QPoint(13, 8) << QPoint(4, 14);
             p.drawPolygon(t);
         }},
        {vbide::kCmdBreak, [](QPainter& p) {
             p.fillRect(4, 3, 3, 10, kNavy);
             p.fillRect(9, 3, 3, 10, kNavy);
         }},
        {vbide::kCmdEnd, [](QPainter& p) { p.fillRect(4, 4, 9, 9, kNavy); }},
        {vbide::kCmdProjectExplorer, [](QPainter& p) {
             p.setPen(kInk);
             p.drawLine(4, 4, 4, 13);
             p.drawLine(4, 8, 8, 8);
             p.drawLine(4, 13, 8, 13);
             p.fillRect(1, 1, 6, 4, kFolder);
             p.fillRect(8, 6, 6, 4, QColor(0x40, 0x80, 0xc0));
             p.fillRect(8, 11, 6, 4, QColor(0x40, 0x80, 0xc0));
         }},
        {vbide::kCmdPropertiesWindow, [](QPainter& p) {
             Window(p, 1, 1, 13, 13);
             p.setPen(kGrey);
             for (int y = 7; y <= 12; y += 2) p.drawLine(2, y, 13, y);
             p.drawLine(6, 5, 6, 13);
         }},
        {vbide::kCmdFormLayoutWindow, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(0x00, 0x80, 0x80));
             p.drawRect(1, 1, 13, 10);
             p.fillRect(4, 3, 6, 4, kPaper);
             p.fillRect(5, 12, 6, 3, kGrey);
         }},
        {vbide::kCmdObjectBrowser, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(0xe0, 0x60, 0x20));
             p.drawRect(1, 1, 6, 6);
             p.setBrush(QColor(0x20, 0x80, 0xe0));
             p.drawRect(8, 4, 6, 6);
             p.setBrush(QColor(0x20, 0xa0, 0x40));
             p.drawRect(3, 8, 6, 6);
         }},
        {vbide::kCmdToolbox, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(0xc0, 0x40, 0x40));
             p.drawRect(1, 5, 13, 9);
             p.setBrush(Qt::NoBrush);
             p.drawRect(5, 2, 5, 3);
             p.drawLine(1, 9, 14, 9);
         }},
        {vbide::kCmdDataViewWindow, [](QPainter& p) {
             p.setPen(kInk);
             p.setBrush(QColor(0xe0, 0xc0, 0x40));
             p.drawRect(2, 4, 11, 9);
             p.drawEllipse(2, 1, 11, 5);
             p.drawArc(2, 10, 11, 5, 180 * 16, 180 * 16);
         }},
        {vbide::kCmdComponentManager, [](QPainter& p) {
             p.setPen(kInk);
             for (int i = 0; i < 3; ++i) {
                 p.setBrush(QColor(0x80 + 0x30 * i, 0x80, 0xc0));
                 p.drawRect(1 + 2 * i, 1 + 4 * i, 8, 5);
             }
         }},
    };
    return painters;
}

}  // namespace

QIcon ToolbarIcon(std::int32_t commandId) {
    auto it = Painters().find(commandId);
    if (it == Painters().end()) return {};
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    it->second(painter);
    painter.end();
    return QIcon(pixmap);
}

}  // namespace ide
