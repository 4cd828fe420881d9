#pragma once
// A window's picture as the desktop shows it: the client area inside a
// border, under a classic title bar (gradient, bold caption, the minimise,
// maximise and close boxes). Offscreen there is no frame to grab.

#include <QFont>
#include <QImage>
#include <QString>

namespace ide {

QImage WithTitleBar(const QImage& client, const QString& text, const QFont& font);

}  // namespace ide
