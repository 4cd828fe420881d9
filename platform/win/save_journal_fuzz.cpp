// Fuzzes the save journal's reader on arbitrary file contents: a journal is
// a file in the user's folder. What it accepts must write back to the same
// journal, and its names pass the checks recovery makes without crashing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/win/save_journal.h"

namespace {

bool Same(const win::Journal& a, const win::Journal& b) {
    if (a.committed != b.committed || a.copying != b.copying || a.steps.size() != b.steps.size()) return false;
    for (std::size_t i = 0; i < a.steps.size(); ++i) {
        const win::JournalStep& x = a.steps[i];
        const win::JournalStep& y = b.steps[i];
        if (x.inPlace != y.inPlace || x.oldHash != y.oldHash || x.newHash != y.newHash || x.newSize != y.newSize ||
            x.target != y.target || x.temp != y.temp)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    win::Journal journal;
    if (!win::ParseJournal(text, journal)) return 0;
    std::string again = win::JournalText(journal.steps);
    if (journal.committed) again += win::kJournalCommit;
    if (journal.copying) again += win::kJournalCopying;
    win::Journal reread;
    if (!win::ParseJournal(again, reread) || !Same(journal, reread)) __builtin_trap();
    // What was read is what the text holds: a journal read whole writes back
    // to the same bytes.
    if (again.size() > text.size()) __builtin_trap();
    for (const win::JournalStep& s : journal.steps) {
        win::IsRecordableName(s.target);
        win::IsTempNameFor(s.temp, s.target);
    }
    win::ContentHash(text);
    return 0;
}
