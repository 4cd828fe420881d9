#include "platform/win/save_journal.h"

#include <bit>
#include <cstring>

namespace win {

namespace {

constexpr std::string_view kHead = "tarnwick save journal 2\n";
// Longest name a step may carry (a path on any system the suite runs on).
constexpr std::size_t kMaxName = 4096;

constexpr std::uint64_t kMul1 = 0x9e3779b97f4a7c15ull;
constexpr std::uint64_t kMul2 = 0xc2b2ae3d27d4eb4full;

std::uint64_t Rotate(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }

// The final mix of a 64-bit value so that every input bit reaches every
// output bit.
std::uint64_t Avalanche(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
}

// Eight bytes as a little-endian number, whatever the machine's order: one
// load where the machine is little-endian (the compiler does not turn a loop
// over the bytes into that).
std::uint64_t Word(const char* p) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, sizeof w);
    if constexpr (std::endian::native == std::endian::big) {
        std::uint64_t swapped = 0;
        for (int i = 0; i < 8; ++i) swapped = (swapped << 8) | ((w >> (8 * i)) & 0xff);
        w = swapped;
    }
    return w;
}

void Hex(std::string& out, std::uint64_t value) {
    static const char digits[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4) out += digits[(value >> shift) & 15];
}

bool ReadHex(std::string_view text, std::size_t& at, std::uint64_t& value) {
    if (text.size() - at < 16) return false;
    value = 0;
    for (std::size_t i = 0; i < 16; ++i) {
        const char c = text[at + i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) return false;
        value = (value << 4) | static_cast<std::uint64_t>(digit);
    }
    at += 16;
    return true;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

// A decimal number of at most `most` digits, in one spelling (no leading 0).
bool ReadNumber(std::string_view text, std::size_t& at, std::size_t most, std::uint64_t& n) {
    n = 0;
    std::size_t digits = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9' && digits < most) {
        if (digits == 1 && n == 0) return false;
        n = n * 10 + static_cast<std::uint64_t>(text[at++] - '0');
        ++digits;
    }
    return digits > 0;
}

// "<n> <bytes>": a counted name, 1 to kMaxName bytes.
bool ReadName(std::string_view text, std::size_t& at, std::string& out) {
    std::uint64_t n = 0;
    if (!ReadNumber(text, at, 5, n) || n == 0 || n > kMaxName || !Expect(text, at, ' ') || text.size() - at < n)
        return false;
    out.assign(text.substr(at, n));
    at += n;
    return true;
}

void Name(std::string& out, std::string_view name) {
    out += std::to_string(name.size());
    out += ' ';
    out += name;
}

bool AllDigits(std::string_view text) {
    if (text.empty() || text.size() > 10) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace

std::uint64_t ContentHash(std::string_view bytes) {
    std::uint64_t h = 0x6a09e667f3bcc908ull ^ (bytes.size() * kMul1);
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        h ^= Rotate(Word(bytes.data() + i) * kMul2, 31) * kMul1;
        h = Rotate(h, 27) * 5 + 0x52dce729;
    }
    char tail[8] = {};
    std::memcpy(tail, bytes.data() + i, bytes.size() - i);
    h ^= Rotate(Word(tail) * kMul2, 31) * kMul1;
    return Avalanche(h);
}

std::string JournalText(const std::vector<JournalStep>& steps) {
    std::string out(kHead);
    for (const JournalStep& s : steps) {
        out += s.inPlace ? "C " : "R ";
        if (s.oldHash) Hex(out, *s.oldHash);
        else out += '-';
        out += ' ';
        Hex(out, s.newHash);
        out += ' ';
        out += std::to_string(s.newSize);
        out += ' ';
        Name(out, s.target);
        out += ' ';
        Name(out, s.temp);
        out += '\n';
    }
    return out;
}

bool ParseJournal(std::string_view text, Journal& journal) {
    journal = Journal{};
    if (text.size() > kMaxJournalBytes) return false;
    // Cut short before its first step: a journal of nothing.
    if (text.size() < kHead.size() && kHead.starts_with(text)) return true;
    if (!text.starts_with(kHead)) return false;
    std::size_t at = kHead.size();
    // A tail that the writer was cut off in the middle of: a prefix of a
    // line it would have written.
    const auto cutShort = [&](std::string_view line) {
        return text.size() - at < line.size() && line.starts_with(text.substr(at));
    };
    while (at < text.size()) {
        if (text.substr(at).starts_with(kJournalCommit)) {
            journal.committed = true;
            at += kJournalCommit.size();
            break;
        }
        if (cutShort(kJournalCommit)) return true;
        const std::size_t lineStart = at;
        JournalStep s;
        bool ok = text.size() - at >= 2 && (text[at] == 'R' || text[at] == 'C') && text[at + 1] == ' ';
        if (ok) {
            s.inPlace = text[at] == 'C';
            at += 2;
            std::uint64_t old = 0;
            if (at < text.size() && text[at] == '-') {
                ++at;
            } else {
                ok = ReadHex(text, at, old);
                s.oldHash = old;
            }
            ok = ok && Expect(text, at, ' ') && ReadHex(text, at, s.newHash) && Expect(text, at, ' ') &&
                 ReadNumber(text, at, 19, s.newSize) && Expect(text, at, ' ') && ReadName(text, at, s.target) && Expect(text, at, ' ') && ReadName(text, at, s.temp) &&
                 Expect(text, at, '\n');
        }
        if (!ok) {
            // Cut short in this line: the steps before it are all there is.
            // Only the last line can be: a complete JournalText line never
            // fails to read, so a failure before the end is damage.
            if (text.find('\n', lineStart) != std::string_view::npos) return false;
            return true;
        }
        journal.steps.push_back(std::move(s));
    }
    if (!journal.committed) return true;
    if (at == text.size() || cutShort(kJournalCopying)) return true;
    if (text.substr(at) != kJournalCopying) return false;
    journal.copying = true;
    return true;
}

bool IsRecordableName(std::string_view relative) {
    if (relative.empty() || relative.front() == '/' || relative.back() == '/') return false;
    bool leading = true;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string_view::npos) end = relative.size();
        const std::string_view part = relative.substr(start, end - start);
        if (part.empty() || part == "." || part.find('\0') != std::string_view::npos) return false;
        if (part == "..") {
            if (!leading) return false;
        } else {
            leading = false;
        }
        start = end + 1;
    }
    return !leading;  // names a file, not only a way up
}

std::string TempNameFor(std::string_view name, unsigned long pid, unsigned long counter) {
    std::string temp = ".";
    temp += name;
    temp += '.';
    temp += std::to_string(pid);
    temp += '-';
    temp += std::to_string(counter);
    temp += ".tmp";
    return temp;
}

bool IsTempNameFor(std::string_view temp, std::string_view name) {
    if (name.empty() || temp.size() < name.size() + 8 || temp[0] != '.' || temp.substr(1, name.size()) != name)
        return false;
    std::string_view rest = temp.substr(1 + name.size());
    if (!rest.starts_with(".") || !rest.ends_with(".tmp")) return false;
    rest = rest.substr(1, rest.size() - 5);
    const std::size_t dash = rest.find('-');
    return dash != std::string_view::npos && AllDigits(rest.substr(0, dash)) && AllDigits(rest.substr(dash + 1));
}

}  // namespace win
