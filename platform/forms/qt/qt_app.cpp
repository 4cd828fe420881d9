#include "platform/forms/qt/qt_app.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QStyleFactory>
#include <cstdlib>
#include <memory>

#include "platform/forms/form.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/qt/form_view.h"
#include "platform/forms/qt/icons.h"
#include "platform/forms/qt/qt_ui.h"

namespace forms::qt {

namespace {

void Style(QApplication& app) {
    // The dialogs were laid out for the Windows fonts; where those are missing,
    // fonts of the same widths keep every caption inside its control.
    QFont::insertSubstitutions("Tahoma", {"Liberation Sans", "Arial", "DejaVu Sans"});
    QFont::insertSubstitutions("MS Sans Serif", {"Liberation Sans", "Arial", "DejaVu Sans"});
    QFont::insertSubstitutions("Verdana", {"DejaVu Sans", "Liberation Sans"});
    // The classic desktop look the tools were designed for.
    if (QStyle* style = QStyleFactory::create("Windows")) app.setStyle(style);
    QFont font("MS Sans Serif");
    font.setPointSizeF(8.25);
    app.setFont(font);
}

QApplication* EnsureApplication() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return app;
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static int argc = 1;
    static char name[] = "tarnwick";
    static char* argv[] = {name, nullptr};
    static auto* app = new QApplication(argc, argv);
    Style(*app);
    return app;
}

QtUi& TheUi() {
    static QtUi ui;
    return ui;
}

// A window frame in the classic style around the client picture, so that a
// screenshot shows the dialog as the desktop shows it.
QImage Decorate(const QImage& client, const QString& title, const QPixmap& icon) {
    const int border = 4, bar = 18;
    QImage out(client.width() + 2 * border, client.height() + 2 * border + bar, QImage::Format_ARGB32);
    out.fill(QColor(0xd4, 0xd0, 0xc8));
    QPainter p(&out);
    p.setPen(QColor(0xff, 0xff, 0xff));
    p.drawLine(1, 1, out.width() - 2, 1);
    p.drawLine(1, 1, 1, out.height() - 2);
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawLine(0, out.height() - 1, out.width() - 1, out.height() - 1);
    p.drawLine(out.width() - 1, 0, out.width() - 1, out.height() - 1);
    p.setPen(QColor(0x80, 0x80, 0x80));
    p.drawLine(1, out.height() - 2, out.width() - 2, out.height() - 2);
    p.drawLine(out.width() - 2, 1, out.width() - 2, out.height() - 2);
    QRect barRect(border - 1, border - 1, out.width() - 2 * border + 2, bar);
    QLinearGradient g(barRect.topLeft(), barRect.topRight());
    g.setColorAt(0, QColor(0x0a, 0x24, 0x6a));
    g.setColorAt(1, QColor(0xa6, 0xca, 0xf0));
    p.fillRect(barRect, g);
    int x = barRect.left() + 2;
    if (!icon.isNull()) {
        p.drawPixmap(QRect(x, barRect.top() + 1, 16, 16), icon);
        x += 18;
    }
    QFont font("MS Sans Serif");
    font.setPointSizeF(8.25);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(x, barRect.top(), barRect.width() - x - 20, bar), Qt::AlignVCenter | Qt::AlignLeft, title);
    QRect close(barRect.right() - 17, barRect.top() + 2, 16, 14);
    p.fillRect(close, QColor(0xd4, 0xd0, 0xc8));
    p.setPen(QColor(0x40, 0x40, 0x40));
    p.drawRect(close.adjusted(0, 0, -1, -1));
    p.setPen(QPen(Qt::black, 1.5));
    p.drawLine(close.left() + 4, close.top() + 3, close.right() - 4, close.bottom() - 3);
    p.drawLine(close.right() - 4, close.top() + 3, close.left() + 4, close.bottom() - 3);
    p.drawImage(border, border + bar, client);
    return out;
}

}  // namespace

void EnsureQtUi() {
    EnsureApplication();
    SetUi(&TheUi());
}

void KeepRunningOnEnd() { TheUi().keepRunningOnEnd = true; }

int RunProgram(int argc, char** argv, const std::function<void()>& start) {
    QApplication app(argc, argv);
    Style(app);
    app.setQuitOnLastWindowClosed(false);
    QtUi ui;
    SetUi(&ui);
    bool started = false;
    ui.onLastFormGone = [&] {
        if (started) app.quit();
    };
    start();
    started = true;
    int status = 0;
    bool anyVisible = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) anyVisible = true;
    if (anyVisible) status = app.exec();
    SetUi(nullptr);
    return status;
}

bool Screenshot(Form& form, const std::string& pngPath) {
    EnsureApplication();
    FormView* shown = TheUi().ViewOf(form);
    std::unique_ptr<FormView> temporary;
    FormView* view = shown;
    if (!view) {
        temporary = std::make_unique<FormView>(form);
        view = temporary.get();
        view->setAttribute(Qt::WA_DontShowOnScreen);
        view->show();
    }
    QCoreApplication::processEvents();
    QImage client = view->grab().toImage();
    QImage picture = Decorate(client, FromAnsi(form.Caption()), IconPixmap(form.Icon(), 16));
    return picture.save(QString::fromStdString(pngPath), "PNG");
}

}  // namespace forms::qt
