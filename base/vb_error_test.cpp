#include "base/vb_error.h"

#include <gtest/gtest.h>

namespace vb {
namespace {

TEST(VbErrors, CarryNumberSourceAndVbsOwnTextWhenNoneIsGiven) {
    VbError own(53, "Shell");
    EXPECT_EQ(own.Number(), 53);
    EXPECT_EQ(own.Source(), "Shell");
    EXPECT_EQ(own.Description(), "File not found");
    VbError custom(vbObjectError + 1, "CRegistry", "Unable to open Key");
    EXPECT_EQ(custom.Description(), "Unable to open Key");
    EXPECT_STREQ(custom.what(), "Unable to open Key");
}

TEST(VbErrors, ObjectErrorBaseIsVbsNegative32BitValue) {
    EXPECT_EQ(vbObjectError, -2147221504);
    EXPECT_EQ(StandardDescription(424242), "Application-defined or object-defined error");
}

}  // namespace
}  // namespace vb
