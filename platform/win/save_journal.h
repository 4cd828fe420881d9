#pragma once
// The journal of a save: a small file beside the anchor (".NAME.save-journal")
// that lists the save's steps, then "commit" once every temporary file is
// durable. It lies in the user's folder, so it is read as untrusted input:
// the reader accepts only the exact format the writer makes, and what a
// journal asks for is checked against the files before anything is done
// (save.cpp).
//
// Format, version 2 (all lines end in LF; names are counted, so any byte may
// appear in them):
//   tarnwick save journal 2
//   R|C <old> <new> <size> <n> <target> <m> <temp>    one line per step
//   commit                                      the save is to be finished
//   copying                                     in-place copies have begun
// R replaces the target by renaming the temporary file over it; C copies
// the temporary file's bytes into the target (kept in place). <old> and
// <new> are 16 hexadecimal digits: ContentHash of the target's bytes before
// and after ("-" as <old> for a target that did not exist), <size> the
// count of the new bytes (decimal, as <n> and <m>). <target> is the
// path as the save named it, relative to the anchor's folder with "/"
// between elements; <temp> is the temporary file's name alone, in the folder
// of the file the target finally names.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win {

// A 64-bit hash of a file's bytes, to tell one content from another (not
// against an adversary who can choose both: the journal's other checks
// bound what such a one could do).
std::uint64_t ContentHash(std::string_view bytes);

struct JournalStep {
    bool inPlace = false;
    std::optional<std::uint64_t> oldHash;  // none: the target did not exist
    std::uint64_t newHash = 0;
    std::uint64_t newSize = 0;
    std::string target;
    std::string temp;
};

struct Journal {
    std::vector<JournalStep> steps;
    bool committed = false;
    bool copying = false;
};

// The largest journal read: far beyond any real save's.
inline constexpr std::size_t kMaxJournalBytes = 1 << 20;

// The journal's text up to (not including) the commit line.
std::string JournalText(const std::vector<JournalStep>& steps);
inline constexpr std::string_view kJournalCommit = "commit\n";
inline constexpr std::string_view kJournalCopying = "copying\n";

// Reads a journal. A text cut short while it was being written (the last
// line incomplete) reads as what it held up to there; anything else that is
// not exactly the format answers false.
bool ParseJournal(std::string_view text, Journal& journal);

// A relative name as a save records it: not empty, not absolute, no empty
// or "." elements, ".." only leading.
bool IsRecordableName(std::string_view relative);

// The temporary file's name for a target named `name` ("." + name + "." +
// pid "-" counter ".tmp") and whether `temp` has exactly that form.
std::string TempNameFor(std::string_view name, unsigned long pid, unsigned long counter);
bool IsTempNameFor(std::string_view temp, std::string_view name);

}  // namespace win
