#include "platform/forms/qt/ansi.h"

#include <gtest/gtest.h>

namespace forms::qt {
namespace {

TEST(AnsiText, RoundTripsEveryDefinedByte) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(ToAnsi(FromAnsi(all)), all);
    EXPECT_EQ(FromAnsi("\x80"), QString(QChar(0x20AC)));
    EXPECT_EQ(FromAnsi("caf\xE9"), QString::fromUtf8("café"));
}

TEST(AnsiText, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(ToAnsi(QString::fromUtf8("a\xE2\x86\x92" "b")), "a?b");  // an arrow
    EXPECT_EQ(AnsiKey(QChar(0x2192)), 0);
    EXPECT_EQ(AnsiKey(QChar('q')), 'q');
}

}  // namespace
}  // namespace forms::qt
