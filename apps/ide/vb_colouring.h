#pragma once
// Syntax colouring of VB code as the classic code window shows it by default:
// keywords dark blue, comments green, everything else (names, numbers,
// strings, operators) black. Keywords are found without regard to case;
// strings run to the closing quote ("" stands for one quote); a ' outside a
// string and a Rem statement start a comment; a comment or statement that
// ends with " _" goes on in the next line; #If, #ElseIf, #Else, #End If and
// #Const at the start of a line are keywords.
//
// ColourLine works on one line and a state carried from the line before, so
// that an edit recolours only the lines it changed (and the next ones only
// while their state changes).

#include <QColor>
#include <QStringView>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <vector>

namespace ide {

inline const QColor kKeywordColour{0x00, 0x00, 0x80};
inline const QColor kCommentColour{0x00, 0x80, 0x00};

enum class Colour { Keyword, Comment };

struct ColourRun {
    int start;
    int length;
    Colour colour;
};

// What a line leaves for the next one.
enum LineState : int {
    kPlainLine = 0,          // the next line starts a statement
    kContinuedStatement = 1, // ends with " _": the statement goes on
    kContinuedComment = 2,   // a comment ending with " _": the next line is comment too
};

// The coloured runs of `line` (in order, not overlapping; the rest is black)
// and, in `state`, what it leaves for the next line. `state` comes in as the
// previous line's.
std::vector<ColourRun> ColourLine(QStringView line, LineState& state);

// Applies ColourLine to a code editor's document.
class VbHighlighter : public QSyntaxHighlighter {
public:
    using QSyntaxHighlighter::QSyntaxHighlighter;

protected:
    void highlightBlock(const QString& text) override;
};

}  // namespace ide
