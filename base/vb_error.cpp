#include "base/vb_error.h"

namespace vb {

namespace {
std::string Describe(std::int32_t number, const std::string& description) {
    return description.empty() ? StandardDescription(number) : description;
}
}  // namespace

VbError::VbError(std::int32_t number, std::string source, std::string description)
    : std::runtime_error(Describe(number, description)),
      number_(number),
      source_(std::move(source)),
      description_(Describe(number, description)) {}

std::string StandardDescription(std::int32_t number) {
    switch (number) {
        case 3:
            return "Return without GoSub";
        case 5:
            return "Invalid procedure call or argument";
        case 6:
            return "Overflow";
        case 7:
            return "Out of memory";
        case 9:
            return "Subscript out of range";
        case 11:
            return "Division by zero";
        case 13:
            return "Type mismatch";
        case 35:
            return "Sub or Function not defined";
        case 52:
            return "Bad file name or number";
        case 53:
            return "File not found";
        case 55:
            return "File already open";
        case 57:
            return "Device I/O error";
        case 61:
            return "Disk full";
        case 70:
            return "Permission denied";
        case 75:
            return "Path/File access error";
        case 76:
            return "Path not found";
        case 91:
            return "Object variable or With block variable not set";
        case 380:
            return "Invalid property value";
        case 381:
            return "Invalid property array index";
        case 424:
            return "Object required";
        case 438:
            return "Object doesn't support this property or method";
        case 440:
            return "Automation error";
        default:
            return "Application-defined or object-defined error";
    }
}

}  // namespace vb
