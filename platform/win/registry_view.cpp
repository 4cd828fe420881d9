#include "platform/win/registry_view.h"

#include <atomic>

namespace win {

namespace {
std::atomic<REGSAM> view{0};
}

void SetRegistryView(REGSAM v) {
    view = v & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
}

REGSAM RegistryView() {
    return view;
}

}  // namespace win
