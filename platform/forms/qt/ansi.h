#pragma once
// Windows-1252 text of the model to and from Qt's Unicode strings.

#include <QString>
#include <string>

namespace forms::qt {

QString FromAnsi(const std::string& text);
// Characters outside Windows-1252 become '?', as the ANSI functions do.
std::string ToAnsi(const QString& text);
// One typed character as the model's key code (0 when it has none).
int AnsiKey(QChar c);

}  // namespace forms::qt
