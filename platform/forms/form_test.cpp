#include "platform/forms/form.h"

#include <gtest/gtest.h>

#include "base/vb_error.h"
#include "platform/forms/headless.h"

namespace forms {
namespace {

using K = ControlKind;

class Dialog : public Form {
public:
    Dialog() : Form("frmDialog") {
        AddControls({
            {.name = "txtName", .kind = K::TextBox, .left = 0, .top = 0, .width = 100,
             .height = 20, .tabIndex = 0},
            {.name = "cmdOK", .kind = K::CommandButton, .caption = "&OK", .left = 0, .top = 30,
             .width = 100, .height = 20, .tabIndex = 1},
            {.name = "cmdCancel", .kind = K::CommandButton, .caption = "&Cancel", .left = 0,
             .top = 60, .width = 100, .height = 20, .tabIndex = 2},
        });
        Get<CommandButton>("cmdOK").SetDefault(true);
        Get<CommandButton>("cmdCancel").SetCancel(true);
        Get<CommandButton>("cmdOK").onClick = [this] { log += "ok "; Hide(); };
        Get<CommandButton>("cmdCancel").onClick = [this] {
            log += "cancel ";
            Get<TextBox>("txtName").SetText("");
            Hide();
        };
    }
    std::string log;
    int cancelUnload = 0;

protected:
    void Form_Load() override { log += "load "; }
    void Form_Activate() override { log += "activate "; }
    void Form_QueryUnload(int& cancel, int mode) override {
        log += "query(" + std::to_string(mode) + ") ";
        cancel = cancelUnload;
    }
    void Form_Unload(int&) override { log += "unload "; }
};

TEST(FormLifecycle, ModalShowRunsTheInteractionAndReturnsWhenHidden) {
    ScopedHeadlessUi ui;
    Dialog d;
    ui.QueueModal([](Form& f) {
        f.Get<TextBox>("txtName").UserType("Total");
        f.UserKeyPress(vbKeyReturn);  // Enter presses the default button
    });
    d.Show(vbModal);
    EXPECT_FALSE(d.Visible());
    EXPECT_TRUE(d.IsLoaded());
    EXPECT_EQ(d.Get<TextBox>("txtName").Text(), "Total");
    EXPECT_EQ(d.log, "load activate ok ");
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0], "frmDialog (modal)");
}

TEST(FormLifecycle, EscapePressesCancelAndLoadRunsOnce) {
    ScopedHeadlessUi ui;
    Dialog d;
    d.Load();
    ui.QueueModal([](Form& f) { f.UserKeyPress(vbKeyEscape); });
    d.Get<TextBox>("txtName").SetText("x");
    d.Show(vbModal);
    EXPECT_EQ(d.Get<TextBox>("txtName").Text(), "");
    EXPECT_EQ(d.log, "load activate cancel ");
}

TEST(FormLifecycle, ModalWithoutInteractionIsAnErrorOfTheScript) {
    ScopedHeadlessUi ui;
    Dialog d;
    EXPECT_THROW(d.Show(vbModal), std::logic_error);
}

TEST(FormLifecycle, UnloadAsksQueryUnloadWhichMayCancel) {
    ScopedHeadlessUi ui;
    Dialog d;
    d.Show();
    d.cancelUnload = 1;
    d.UserClose();
    EXPECT_TRUE(d.Visible());
    d.cancelUnload = 0;
    EXPECT_TRUE(d.Unload());
    EXPECT_FALSE(d.IsLoaded());
    EXPECT_EQ(d.log, "load activate query(0) query(1) unload ");
}

TEST(FormLifecycle, AccessKeysPressButtonsAndTabCycles) {
    ScopedHeadlessUi ui;
    Dialog d;
    d.Show();
    EXPECT_EQ(d.ActiveControl(), &d.Ctl("txtName"));
    d.UserTab();
    EXPECT_EQ(d.ActiveControl(), &d.Ctl("cmdOK"));
    d.UserTab(true);
    d.UserTab(true);
    EXPECT_EQ(d.ActiveControl(), &d.Ctl("cmdCancel"));
    EXPECT_TRUE(d.UserAccessKey('o'));
    EXPECT_EQ(d.log, "load activate ok ");
}

// A user action is the bottom of VB's call stack: an error that a handler
// raised by it does not trap is reported once, titled with the program's
// title, and ends the program; a handler up the stack may still trap it.
TEST(UntrappedErrors, EndAtTheUserActionWithVbsReport) {
    ScopedHeadlessUi ui;
    Dialog d;
    d.SetAppTitle("Fenmoor");
    d.Show();
    auto& name = d.Get<TextBox>("txtName");
    name.onChange = [] { throw vb::VbError(static_cast<long>(0x800A01A8u), "x", "Object required"); };
    name.UserType("a");
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "Run-time error '-2146827864':\n\nObject required");
    EXPECT_EQ(ui.messages[0].title, "Fenmoor");
    EXPECT_EQ(ui.messages[0].buttons, vbOKOnly | vbCritical);
    EXPECT_TRUE(ui.ended);

    // The OK button's handler sets the text in code and traps what Change raises.
    ui.ended = false;
    name.onChange = [] { throw vb::VbError(5); };
    d.Get<CommandButton>("cmdOK").onClick = [&] {
        try {
            name.SetText("b");
        } catch (const vb::VbError& e) {
            d.log += "trapped " + std::to_string(e.Number()) + " ";
        }
    };
    d.log.clear();
    d.UserKeyPress(vbKeyReturn);
    EXPECT_EQ(d.log, "trapped 5 ");
    EXPECT_EQ(ui.messages.size(), 1u);
    EXPECT_FALSE(ui.ended);

    // Code outside any user action sees the error itself.
    EXPECT_THROW(name.SetText("c"), vb::VbError);
    // A fault of the test's script is no run-time error: it surfaces.
    d.Get<CommandButton>("cmdOK").onClick = [] {
        Dialog unanswered;
        unanswered.Show(vbModal);
    };
    EXPECT_THROW(d.UserKeyPress(vbKeyReturn), std::logic_error);
    EXPECT_EQ(ui.messages.size(), 1u);
}

TEST(FormControls, MissingControlIsAVbError) {
    Dialog d;
    EXPECT_THROW(d.Ctl("txtNope"), vb::VbError);
    EXPECT_THROW(d.Ctl("txtName", 3), vb::VbError);
}

}  // namespace
}  // namespace forms
