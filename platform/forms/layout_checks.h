#pragma once
// Test support: what every form's control table must satisfy, whatever its
// numbers. Layout tests check these rules (and the relations a design
// depends on) instead of restating each coordinate of the table.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/forms/form.h"

namespace forms::testing {

// Each control lies inside its container (the form's client area for one on
// the form), and the tab indices run 0, 1, 2, ... in declaration order.
inline void ExpectSoundLayout(const Form& form) {
    const auto controls = form.Controls();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Control& c = *controls[i];
        const std::string name = c.Name() + (c.Index() >= 0 ? "(" + std::to_string(c.Index()) + ")" : "");
        EXPECT_EQ(c.TabIndex(), static_cast<int>(i)) << name;
        const int width = c.Container() ? c.Container()->Width() : form.ScaleWidth();
        const int height = c.Container() ? c.Container()->Height() : form.ScaleHeight();
        // A line's extent may run backwards from its first point.
        const int left = std::min(c.Left(), c.Left() + c.Width());
        const int right = std::max(c.Left(), c.Left() + c.Width());
        const int top = std::min(c.Top(), c.Top() + c.Height());
        const int bottom = std::max(c.Top(), c.Top() + c.Height());
        EXPECT_GE(left, 0) << name;
        EXPECT_GE(top, 0) << name;
        EXPECT_LE(right, width) << name;
        EXPECT_LE(bottom, height) << name;
    }
}

}  // namespace forms::testing
