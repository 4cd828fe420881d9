#pragma once
// For tests: the number of the VB error that a call raises.

#include <cstdint>
#include <functional>

#include "base/vb_error.h"

namespace vb {

// The number of the VbError that `call` raises; 0 when it raises none.
inline std::int32_t ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

}  // namespace vb
