// Helpers of the add-in library pattern (shared/addin.h) that do not need
// the registry.

#include <string>

#include "shared/addin.h"

namespace vbide::addin {

namespace {

std::string Canonical(const std::string& id) {
    std::string out;
    for (char c : id) {
        if (c == '{' || c == '}' || c == ' ') continue;
        out += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
    }
    return out;
}

}  // namespace

bool SameClassId(const std::string& a, const std::string& b) noexcept {
    try {
        std::string ca = Canonical(a);
        return !ca.empty() && ca == Canonical(b);
    } catch (...) {
        return false;
    }
}

}  // namespace vbide::addin
