#include "config/store_text.h"

#include <cmath>
#include <cstdint>

#include "base/text.h"
#include "base/vb_error.h"

namespace config {

namespace {

[[noreturn]] void TypeMismatch() { throw vb::VbError(13, "Config"); }

}  // namespace

std::string NumberedKey(const char* prefix, long number) {
    return std::string(prefix) + std::to_string(number);
}

std::string NumberText(long number) { return std::to_string(number); }

int ParseStoredInteger(const std::string& text) {
    const std::string t = text::Trim(text);
    if (t.empty()) TypeMismatch();
    std::size_t i = 0;
    double value = 0;
    if (t.size() > 2 && t[0] == '&' && (text::UpperAscii(t[1]) == 'H' || text::UpperAscii(t[1]) == 'O')) {
        // Hexadecimal and octal literals are 16-bit patterns: &HFFFF is -1.
        const int base = text::UpperAscii(t[1]) == 'H' ? 16 : 8;
        std::uint32_t bits = 0;
        for (i = 2; i < t.size(); ++i) {
            char c = text::UpperAscii(t[i]);
            int digit = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10 : 99;
            if (digit >= base) TypeMismatch();
            bits = bits * base + digit;
            if (bits > 0xFFFFu) throw vb::VbError(6, "Config");
        }
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
    }
    bool negative = false;
    if (t[i] == '+' || t[i] == '-') {
        negative = t[i] == '-';
        ++i;
    }
    bool digits = false;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
        value = value * 10 + (t[i] - '0');
        digits = true;
    }
    if (i < t.size() && t[i] == '.') {
        double scale = 0.1;
        for (++i; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i) {
            value += (t[i] - '0') * scale;
            scale /= 10;
            digits = true;
        }
    }
    if (!digits || i != t.size()) TypeMismatch();
    if (negative) value = -value;
    // VB rounds a fraction of exactly one half to the even neighbour.
    double rounded = std::nearbyint(value);
    if (rounded < -32768 || rounded > 32767) throw vb::VbError(6, "Config");
    return static_cast<int>(rounded);
}

bool ReadsAsTrue(const std::string& value) {
    return text::EqualsNoCase(text::Trim(value), "TRUE");
}

std::string SearchText(const std::string& name) { return "#Const " + name + " "; }

std::string DeclarationLine(const std::string& name, const std::string& value) {
    return "#Const " + name + " = " + value;
}

std::string DefaultDeclarationLine() { return std::string("#Const ") + kDefaultConstant + " =True"; }

bool ContinuesOnNextLine(std::string_view line) {
    std::size_t last = line.size();
    while (last > 0 && (line[last - 1] == ' ' || line[last - 1] == '\t')) --last;
    return last >= 2 && line[last - 1] == '_' && (line[last - 2] == ' ' || line[last - 2] == '\t');
}

long DeclarationInsertLine(const std::string& firstLines) {
    long line = 1;
    std::size_t start = 0;
    while (line < kMaxPhysicalLines) {
        const std::size_t end = firstLines.find("\r\n", start);
        if (end == std::string::npos) break;  // the last line has nothing to continue onto
        if (!ContinuesOnNextLine(std::string_view(firstLines).substr(start, end - start))) break;
        start = end + 2;
        ++line;
    }
    return line + 1;
}

long SearchWindowEnd(const std::string& name) { return static_cast<long>(name.size()) + 10; }

bool IsDeclarationOf(const std::string& line, const std::string& name) {
    const std::string target = SearchText(name);
    const std::size_t window = static_cast<std::size_t>(SearchWindowEnd(name));
    for (std::size_t start = 0; start + target.size() <= window && start + target.size() <= line.size();
         ++start) {
        bool same = true;
        for (std::size_t k = 0; k < target.size() && same; ++k)
            same = text::UpperAscii(line[start + k]) == text::UpperAscii(target[k]);
        if (same) return true;
    }
    return false;
}

bool IsNameKey(int keyAscii) { return keyAscii == 8 || (keyAscii >= 'a' && keyAscii <= 'z'); }

}  // namespace config
