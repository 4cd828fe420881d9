#include "platform/forms/qt/ansi.h"

#include "platform/win/code_page.h"

namespace forms::qt {

// The model's text is Windows-1252, the code page's one table serves both ways.

QString FromAnsi(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (unsigned char b : text) out.append(QChar(static_cast<char16_t>(win::Windows1252ToUnicode(b))));
    return out;
}

int AnsiKey(QChar c) {
    const auto byte = win::UnicodeToWindows1252(c.unicode());
    return byte ? *byte : 0;
}

std::string ToAnsi(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        int key = AnsiKey(c);
        out += key || c.unicode() == 0 ? static_cast<char>(key) : '?';
    }
    return out;
}

}  // namespace forms::qt
