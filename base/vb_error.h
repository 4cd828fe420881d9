#pragma once
// A Visual Basic run-time error: the number, source and description that VB's
// Err object carries. Every layer of the suite raises failures as VbError, and
// a routine that "traps" an error catches it at its boundary.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace vb {

// Error numbers are VB Longs: 32-bit and signed, so numbers written as
// HRESULTs (0x8004xxxx) are negative, as VB prints them.
// Class-defined errors are numbered from the object-error base.
inline constexpr std::int32_t vbObjectError = static_cast<std::int32_t>(0x80040000u);

class VbError : public std::runtime_error {
public:
    // An error with the given number; an empty description takes VB's own text
    // for that number (see StandardDescription).
    VbError(std::int32_t number, std::string source = {}, std::string description = {});

    std::int32_t Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }

private:
    std::int32_t number_;
    std::string source_;
    std::string description_;
};

// VB's text for its own run-time error numbers (5, 6, 9, 13, 35, 53, 70, 75, 91,
// ...); "Application-defined or object-defined error" for any other number.
std::string StandardDescription(std::int32_t number);

}  // namespace vb
