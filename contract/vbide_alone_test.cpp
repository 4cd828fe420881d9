// The contract's object model compiled alone: this file includes nothing
// before it, and the build lets it see only base/ and contract/.
#include "contract/vbide.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

namespace {

// Add-ins compare a caught error's number with the automation code that a
// destroyed object answers with; the value must be the HRESULT's, sign and all.
TEST(ContractTest, DisconnectedObjectErrorIsTheAutomationCode) {
    EXPECT_EQ(vbide::kErrDisconnected, -2147417848);
}

}  // namespace

// VB's Long is 32 bits wide on every platform the environment runs on; the
// contract spells it std::int32_t, never the C++ long that is 64 bits on Linux.
static_assert(std::is_same_v<decltype(std::declval<vbide::CodeModule&>().CountOfLines()), std::int32_t>);
static_assert(std::is_same_v<std::underlying_type_t<vbide::vbext_WindowType>, std::int32_t>);
static_assert(std::is_same_v<std::underlying_type_t<vbide::MsoControlType>, std::int32_t>);
