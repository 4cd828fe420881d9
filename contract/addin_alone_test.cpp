// The add-in library contract compiled alone (see vbide_alone_test.cpp).
#include "contract/addin.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace {

// The exports' results are HRESULT values that the registration program and
// the real IDE read as signed 32-bit numbers.
TEST(ContractTest, ExportResultsAreHresultValues) {
    EXPECT_EQ(vbide::addin::kOk, 0);
    EXPECT_EQ(vbide::addin::kFalse, 1);
    EXPECT_EQ(vbide::addin::kFail, -2147467259);
    EXPECT_EQ(vbide::addin::kClassNotAvailable, -2147221231);
    EXPECT_EQ(vbide::addin::kRegisterFailed, -2147220991);
}

}  // namespace

// The exports return 32-bit HRESULTs, as the IDE's loader calls them.
static_assert(std::is_same_v<std::invoke_result_t<vbide::addin::DllCanUnloadNowFn>, std::int32_t>);
static_assert(std::is_same_v<decltype(vbide::addin::kFail), const std::int32_t>);
