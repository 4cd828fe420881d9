// The contract's object model compiled alone: this file includes nothing
// before it, and the build lets it see only base/ and contract/.
#include "contract/vbide.h"

#include <gtest/gtest.h>

namespace {

// Add-ins compare a caught error's number with the automation code that a
// destroyed object answers with; the value must be the HRESULT's, sign and all.
TEST(ContractTest, DisconnectedObjectErrorIsTheAutomationCode) {
    EXPECT_EQ(vbide::kErrDisconnected, -2147417848);
}

}  // namespace
