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
            {"txtName", -1, K::TextBox, "", nullptr, -1, 0, 0, 100, 20, 0},
            {"cmdOK", -1, K::CommandButton, "&OK", nullptr, -1, 0, 30, 100, 20, 1},
            {"cmdCancel", -1, K::CommandButton, "&Cancel", nullptr, -1, 0, 60, 100, 20, 2},
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

TEST(FormControls, MissingControlIsAVbError) {
    Dialog d;
    EXPECT_THROW(d.Ctl("txtNope"), vb::VbError);
    EXPECT_THROW(d.Ctl("txtName", 3), vb::VbError);
}

}  // namespace
}  // namespace forms
