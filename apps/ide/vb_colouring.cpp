#include "apps/ide/vb_colouring.h"

#include <string>
#include <unordered_set>

#include "base/text.h"

namespace ide {

namespace {

bool IsNameChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The word folded to ASCII lower case; "" when it holds other letters (no
// keyword does).
std::string Folded(QStringView word) {
    std::string out;
    out.reserve(static_cast<std::size_t>(word.size()));
    for (QChar c : word) {
        const char16_t u = c.unicode();
        if (u >= 0x80) return {};
        out += text::LowerAscii(static_cast<char>(u));
    }
    return out;
}

bool IsKeyword(const std::string& folded) {
    static const std::unordered_set<std::string> keywords = {
        "addressof", "alias", "and", "any", "append", "as", "base", "binary", "boolean", "byref",
        "byte", "byval", "call", "case", "cbool", "cbyte", "ccur", "cdate", "cdbl", "cdec", "cint",
        "clng", "close", "compare", "const", "csng", "cstr", "currency", "cvar", "cverr", "date",
        "decimal", "declare", "defbool", "defbyte", "defcur", "defdate", "defdbl", "defdec",
        "defint", "deflng", "defobj", "defsng", "defstr", "defvar", "dim", "do", "double", "each",
        "else", "elseif", "empty", "end", "enum", "eqv", "erase", "error", "event", "exit",
        "explicit", "false", "for", "friend", "function", "get", "global", "gosub", "goto", "if",
        "imp", "implements", "in", "input", "integer", "is", "let", "lib", "like", "line", "lock",
        "long", "loop", "lset", "me", "mod", "new", "next", "not", "nothing", "null", "object", "on",
        "open", "option", "optional", "or", "output", "paramarray", "preserve", "print", "private",
        "property", "public", "put", "raiseevent", "random", "read", "redim", "rem", "resume",
        "return", "rset", "seek", "select", "set", "shared", "single", "spc", "static", "step",
        "stop", "string", "sub", "tab", "then", "to", "true", "type", "typeof", "unlock", "until",
        "variant", "wend", "while", "with", "withevents", "write", "xor"};
    return keywords.count(folded) > 0;
}

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

// True when the line ends with a line continuation: " _" (or "_" alone).
bool EndsContinued(QStringView line) {
    qsizetype end = line.size();
    while (end > 0 && IsBlank(line[end - 1])) --end;
    if (end == 0 || line[end - 1] != u'_') return false;
    return end == 1 || IsBlank(line[end - 2]);
}

bool IsDirective(const std::string& folded) {
    return folded == "if" || folded == "elseif" || folded == "else" || folded == "end" || folded == "const";
}

}  // namespace

std::vector<ColourRun> ColourLine(QStringView line, LineState& state) {
    std::vector<ColourRun> runs;
    const qsizetype n = line.size();
    const bool continued = EndsContinued(line);
    if (state == kContinuedComment) {
        if (n > 0) runs.push_back({0, static_cast<int>(n), Colour::Comment});
        state = continued ? kContinuedComment : kPlainLine;
        return runs;
    }
    auto comment = [&](qsizetype from) {
        runs.push_back({static_cast<int>(from), static_cast<int>(n - from), Colour::Comment});
        state = continued ? kContinuedComment : kPlainLine;
        return runs;
    };
    bool statementStart = state != kContinuedStatement;
    bool lineStart = statementStart;
    QChar before;               // the last character that is not blank
    std::string previousWord;   // the last word, folded
    qsizetype i = 0;
    while (i < n) {
        const QChar c = line[i];
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        const bool firstOnLine = lineStart;
        lineStart = false;
        if (c == u'\'') return comment(i);
        if (c == u'"') {
            ++i;
            while (i < n) {
                if (line[i] == u'"') {
                    if (i + 1 < n && line[i + 1] == u'"') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            statementStart = false;
            before = u'"';
            continue;
        }
        if (c == u'#' && firstOnLine) {
            qsizetype j = i + 1;
            while (j < n && IsNameChar(line[j])) ++j;
            if (IsDirective(Folded(line.sliced(i + 1, j - i - 1)))) {
                runs.push_back({static_cast<int>(i), static_cast<int>(j - i), Colour::Keyword});
                previousWord.assign(1, '#');
                i = j;
                statementStart = false;
                before = u'f';
                continue;
            }
        }
        if (c == u'[') {  // a name in brackets is a name, whatever it reads
            while (i < n && line[i] != u']') ++i;
            if (i < n) ++i;
            statementStart = false;
            before = u']';
            continue;
        }
        if (c.isLetter()) {
            qsizetype j = i;
            while (j < n && IsNameChar(line[j])) ++j;
            const std::string word = Folded(line.sliced(i, j - i));
            if (word == "rem" && statementStart) return comment(i);
            // A member after "." is a name ("Debug.Print", "rs.Open"); "Text"
            // is a keyword only in Option Compare Text.
            const bool keyword = before != u'.' &&
                                 (IsKeyword(word) || (word == "text" && previousWord == "compare"));
            if (keyword) runs.push_back({static_cast<int>(i), static_cast<int>(j - i), Colour::Keyword});
            previousWord = word;
            // A type-declaration character belongs to the name ("Left$").
            if (j < n && (line[j] == u'$' || line[j] == u'%' || line[j] == u'&' || line[j] == u'!' ||
                          line[j] == u'#' || line[j] == u'@') &&
                (j + 1 >= n || !IsNameChar(line[j + 1])))
                ++j;
            i = j;
            statementStart = false;
            before = u'a';
            continue;
        }
        if (c.isDigit() || (c == u'&' && i + 1 < n && (line[i + 1] == u'H' || line[i + 1] == u'h' ||
                                                          line[i + 1] == u'O' || line[i + 1] == u'o'))) {
            // Numbers, with hex and octal forms and suffixes ("&HFF&", "1.5E+3").
            ++i;
            while (i < n && (IsNameChar(line[i]) || line[i] == u'.')) ++i;
            statementStart = false;
            before = u'0';
            continue;
        }
        // ":" separates statements, except in a named argument's ":=".
        statementStart = c == u':' && !(i + 1 < n && line[i + 1] == u'=');
        before = c;
        ++i;
    }
    state = continued ? kContinuedStatement : kPlainLine;
    return runs;
}

void VbHighlighter::highlightBlock(const QString& text) {
    const int previous = previousBlockState();
    LineState state = previous < 0 ? kPlainLine : static_cast<LineState>(previous);
    static const QTextCharFormat keyword = [] {
        QTextCharFormat f;
        f.setForeground(kKeywordColour);
        return f;
    }();
    static const QTextCharFormat comment = [] {
        QTextCharFormat f;
        f.setForeground(kCommentColour);
        return f;
    }();
    for (const ColourRun& run : ColourLine(text, state))
        setFormat(run.start, run.length, run.colour == Colour::Keyword ? keyword : comment);
    setCurrentBlockState(state);
}

}  // namespace ide
