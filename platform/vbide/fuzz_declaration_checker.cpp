// Fuzzes the declaration checker and the line rules behind CodeModule: any
// text must be accepted or refused with error 35, never crash or hang.

#include <cstdint>
#include <string>

#include "platform/vbide/builder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto env = vbide::EnvironmentBuilder::SingleModule("Option Explicit\r\n", vbide::vbext_ct_ClassModule);
    static auto module = env->ActiveCodePane()->CodeModule();
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::int32_t before = module->CountOfLines();
    try {
        module->InsertLines(2, text);
    } catch (const vb::VbError& e) {
        if (e.Number() != 35) __builtin_trap();
    }
    module->CountOfDeclarationLines();
    std::int32_t sl = 1, sc = 1, el = -1, ec = -1;
    try {
        module->Find(text.substr(0, 8), sl, sc, el, ec, size % 2 == 0, false, size % 3 == 0);
    } catch (const vb::VbError&) {
    }
    // Keep the module small so runs stay fast.
    if (module->CountOfLines() > 200) module->DeleteLines(2, module->CountOfLines() - 1);
    (void)before;
    return 0;
}
