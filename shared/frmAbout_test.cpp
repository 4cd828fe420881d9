#include "shared/frmAbout.h"

#include <gtest/gtest.h>

#include "platform/forms/headless.h"
#include "platform/forms/layout_checks.h"

namespace about {
namespace {

forms::AppInfo App(std::string description = "Adds procedures") {
    forms::AppInfo app;
    app.Title = "Quillon";
    app.FileDescription = std::move(description);
    app.Major = 2;
    app.Minor = 3;
    app.Revision = 3;
    return app;
}

TEST(AboutBox, LoadFillsTitleDescriptionAndVersion) {
    forms::ScopedHeadlessUi ui;
    frmAbout box(App(), Deliverable::Quillon);
    box.Show();
    EXPECT_EQ(box.Caption(), "Quillon");
    EXPECT_EQ(box.Ctl("lblTitle").Caption(), "Quillon");
    EXPECT_EQ(box.Ctl("lblVersion").Caption(), "2.3.3");
    EXPECT_EQ(box.Ctl("lblDescription").Caption(), "Adds procedures");
}

TEST(AboutBox, VersionHasTwoOrThreePartsWithoutPadding) {
    forms::AppInfo app = App();
    app.Major = 1;
    app.Minor = 0;
    app.Revision = 8;
    EXPECT_EQ(frmAbout::VersionText(app, true), "1.0.8");
    EXPECT_EQ(frmAbout::VersionText(app, false), "1.0");
    forms::ScopedHeadlessUi ui;
    frmAbout config(App(""), Deliverable::Config);
    config.Show();
    EXPECT_EQ(config.Ctl("lblVersion").Caption(), "2.3");
    EXPECT_EQ(config.Ctl("lblDescription").Caption(), "");
    EXPECT_EQ(config.Caption(), "About Thornbury");
}

TEST(AboutBox, LayoutDiffersPerDeliverable) {
    frmAbout wendover(App(), Deliverable::Wendover);
    EXPECT_EQ(wendover.ScaleHeight(), 4800);
    EXPECT_EQ(wendover.Ctl("cmdOK").Top(), 3465);
    EXPECT_EQ(wendover.Ctl("lblDescription").Height(), 1170);
    EXPECT_EQ(wendover.Get<forms::Line>("Line1", 1).Y1(), 2445);
    EXPECT_EQ(wendover.Ctl("lblShameless").Top(), 3960);
    frmAbout config(App(), Deliverable::Config);
    EXPECT_EQ(config.ScaleHeight(), 4170);
    EXPECT_EQ(config.Ctl("cmdOK").Left(), 4425);
    EXPECT_EQ(config.Ctl("cmdOK").Width(), 1125);
    EXPECT_EQ(config.Ctl("lblTitle").Font().Name, "Tahoma");
    EXPECT_FALSE(config.Ctl("lblTitle").Font().Bold);
    frmAbout larkspur(App(), Deliverable::Larkspur);
    EXPECT_TRUE(larkspur.Ctl("lblTitle").Font().Bold);
    EXPECT_EQ(larkspur.Ctl("lblTitle").Font().Size, 12);
}

TEST(AboutBox, EveryLayoutFitsItsWindow) {
    for (Deliverable d : {Deliverable::Larkspur, Deliverable::Quillon, Deliverable::Config,
                          Deliverable::Wendover}) {
        SCOPED_TRACE(static_cast<int>(d));
        frmAbout box(App(), d);
        forms::testing::ExpectSoundLayout(box);
    }
}

TEST(AboutBox, EnterEscapeAndCloseBoxUnloadIt) {
    forms::ScopedHeadlessUi ui;
    for (int key : {forms::vbKeyReturn, forms::vbKeyEscape, 0}) {
        frmAbout box(App(), Deliverable::Larkspur);
        box.Show();
        if (key) box.UserKeyPress(key);
        else box.UserClose();
        EXPECT_FALSE(box.IsLoaded()) << "key " << key;
    }
}

TEST(AboutBox, ModalShowingWaitsModelessDoesNot) {
    forms::ScopedHeadlessUi ui;
    ui.QueueModal([](forms::Form& f) { f.UserKeyPress(forms::vbKeyReturn); });
    ShowAbout(App(), Deliverable::Quillon, forms::vbModal);
    ShowAbout(App(), Deliverable::Wendover, forms::vbModeless);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmAbout (modal)", "frmAbout"}));
    EXPECT_EQ(ui.pendingModals(), 0);
    CloseAbout(Deliverable::Wendover);
}

// One modeless box per deliverable: About again brings the open one forward;
// the owner's disconnection closes it, and the next About opens a fresh one.
TEST(AboutBox, OneModelessBoxPerOwnerUntilItCloses) {
    forms::ScopedHeadlessUi ui;
    ShowAbout(App(), Deliverable::Wendover, forms::vbModeless);
    forms::Form* open = ui.VisibleForm("frmAbout");
    ASSERT_NE(open, nullptr);
    int activations = 0;
    open->AddObserver([&](forms::Form&, forms::FormEvent what) {
        if (what == forms::FormEvent::Activated) ++activations;
    });
    ShowAbout(App(), Deliverable::Wendover, forms::vbModeless);
    EXPECT_EQ(ui.VisibleForm("frmAbout"), open);
    EXPECT_EQ(activations, 1) << "the open box is activated again";
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmAbout"}));

    CloseAbout(Deliverable::Wendover);
    EXPECT_EQ(ui.VisibleForm("frmAbout"), nullptr);
    CloseAbout(Deliverable::Wendover);  // nothing open: nothing to do
    ShowAbout(App(), Deliverable::Wendover, forms::vbModeless);
    ASSERT_NE(ui.VisibleForm("frmAbout"), nullptr);
    ui.VisibleForm("frmAbout")->UserKeyPress(forms::vbKeyEscape);
    EXPECT_EQ(ui.VisibleForm("frmAbout"), nullptr) << "the user closed it";
    ShowAbout(App(), Deliverable::Wendover, forms::vbModeless);
    EXPECT_EQ(ui.shown.size(), 3u) << "a fresh box after each close";
    CloseAbout(Deliverable::Wendover);
}

}  // namespace
}  // namespace about
