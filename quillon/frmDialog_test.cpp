#include "quillon/frmDialog.h"

#include <gtest/gtest.h>

#include "platform/forms/headless.h"
#include "platform/forms/layout_checks.h"
#include "quillon/app_info.h"

namespace quillon {
namespace {

using forms::CheckBox;

class DialogTest : public ::testing::Test {
protected:
    forms::ScopedHeadlessUi ui;
    frmDialog dialog{QuillonAppInfo()};

    void SetUp() override {
        dialog.Load();
        dialog.PrepareForOpening();
    }
    int Box(const char* name) { return dialog.Check(name).Value(); }
    // Picks a list entry by its text, as the user would.
    void Pick(const std::string& text) {
        auto& type = dialog.cboDataType();
        for (int i = 0; i < type.ListCount(); ++i) {
            if (type.List(i) == text) return type.UserSelect(i);
        }
        FAIL() << text << " is not in the list";
    }
};

TEST_F(DialogTest, LayoutFitsItsContainersInTabOrder) {
    EXPECT_EQ(dialog.Caption(), "Add Procedure");
    EXPECT_EQ(dialog.ScaleWidth(), 4830);
    EXPECT_EQ(dialog.ScaleHeight(), 4140);
    EXPECT_EQ(dialog.Font().Name, "Verdana");
    EXPECT_EQ(dialog.Ctl("cmdAbout").Font().Name, "Tahoma");
    EXPECT_EQ(dialog.Ctl("txtName").Font().Name, "Verdana");

    const auto controls = dialog.Controls();
    ASSERT_EQ(controls.size(), 27u);
    forms::testing::ExpectSoundLayout(dialog);
    EXPECT_EQ(dialog.optType(2).Caption(), "&Property");
    EXPECT_EQ(dialog.optType(2).Container(), &dialog.Ctl("fraDialog", 0));
    EXPECT_EQ(dialog.optScope(1).Left(), 1305);
    EXPECT_EQ(dialog.Ctl("chkCodeMember").Container(), &dialog.Ctl("fraDialog", 2));
    EXPECT_EQ(dialog.Ctl("chkMTS").Caption(), "Microsoft Transaction Server");
    EXPECT_TRUE(dialog.Get<forms::CommandButton>("cmdOK").Default());
    EXPECT_TRUE(dialog.Get<forms::CommandButton>("cmdCancel").Cancel());
}

TEST(DialogDesign, StartsAsASubWithGrayedPropertyBoxes) {
    frmDialog dialog{QuillonAppInfo()};
    EXPECT_TRUE(dialog.optType(kindSub).Value());
    EXPECT_TRUE(dialog.optScope(scopePublic).Value());
    EXPECT_FALSE(dialog.cboDataType().Enabled());
    EXPECT_EQ(dialog.cboDataType().BackColor(), 0xC0C0C0u);
    EXPECT_EQ(dialog.txtName().BackColor(), 0xFFFFFFu);
    for (const char* box : {"chkRead", "chkWrite", "chkMember", "chkCodeMember"})
        EXPECT_EQ(dialog.Check(box).Value(), vbGrayed) << box;
    for (const char* box : {"chkStatic", "chkMouse", "chkError", "chkMTS"})
        EXPECT_EQ(dialog.Check(box).Value(), vbUnchecked) << box;
    EXPECT_EQ(dialog.intDataClass, 0);
}

// Each kind is clicked from a state where every field differs from what the
// kind sets, so both what it sets and what it keeps show.
TEST_F(DialogTest, KindTableSetsExactlyItsColumn) {
    struct Expect {
        int kind;
        bool typeEnabled;
        const char* typeText;
        bool argsEnabled;
        const char* argsText;
        int propertyBoxes;
        bool publicSelected;
        bool scopeEnabled;
        int staticValue;
        bool staticEnabled;
        int optionValue;  // chkMouse and chkError
        bool optionsEnabled;
    };
    const Expect expects[] = {
        {kindSub, false, "", true, "a As Long", vbGrayed, false, true, 1, true, 1, true},
        {kindFunction, true, "Long", true, "a As Long", vbGrayed, false, true, 1, true, 1, true},
        {kindProperty, true, "Long", false, "", vbChecked, true, false, 0, false, 1, true},
        {kindEvent, false, "", true, "a As Long", vbGrayed, true, false, 0, false, 0, false},
    };
    for (const Expect& e : expects) {
        // A state unlike any column: another kind selected, everything filled in.
        dialog.optType(e.kind == kindFunction ? kindSub : kindFunction).SetValue(true);
        dialog.txtArgs().SetText("a As Long");
        dialog.cboDataType().SetText("Long");
        dialog.optScope(scopePrivate).SetValue(true);
        for (const char* box : {"chkStatic", "chkMouse", "chkError", "chkMTS"}) dialog.Check(box).SetValue(1);
        for (const char* box : {"chkRead", "chkWrite", "chkMember", "chkCodeMember"})
            dialog.Check(box).SetValue(e.propertyBoxes == vbChecked ? vbUnchecked : vbChecked);

        dialog.optType(e.kind).UserClick();

        SCOPED_TRACE(e.kind);
        EXPECT_EQ(dialog.cboDataType().Enabled(), e.typeEnabled);
        EXPECT_EQ(dialog.cboDataType().BackColor(), e.typeEnabled ? 0xFFFFFFu : 0xC0C0C0u);
        EXPECT_EQ(dialog.cboDataType().Text(), e.typeText);
        EXPECT_EQ(dialog.txtArgs().Enabled(), e.argsEnabled);
        EXPECT_EQ(dialog.txtArgs().BackColor(), e.argsEnabled ? 0xFFFFFFu : 0xC0C0C0u);
        EXPECT_EQ(dialog.txtArgs().Text(), e.argsText);
        for (const char* box : {"chkRead", "chkWrite", "chkMember", "chkCodeMember"}) {
            EXPECT_EQ(Box(box), e.propertyBoxes) << box;
            EXPECT_TRUE(dialog.Check(box).Enabled()) << box;
        }
        EXPECT_EQ(dialog.optScope(scopePublic).Value(), e.publicSelected);
        EXPECT_EQ(dialog.optScope(scopePrivate).Value(), !e.publicSelected);
        for (int scope = 0; scope < 3; ++scope) EXPECT_EQ(dialog.optScope(scope).Enabled(), e.scopeEnabled);
        EXPECT_EQ(Box("chkStatic"), e.staticValue);
        EXPECT_EQ(dialog.Check("chkStatic").Enabled(), e.staticEnabled);
        for (const char* box : {"chkMouse", "chkError"}) {
            EXPECT_EQ(Box(box), e.optionValue) << box;
            EXPECT_EQ(dialog.Check(box).Enabled(), e.optionsEnabled) << box;
        }
        EXPECT_EQ(Box("chkMTS"), 1) << "the transaction-server box is never touched";
        EXPECT_TRUE(dialog.Check("chkMTS").Enabled());
    }
}

TEST_F(DialogTest, SwitchingKindsKeepsOrEmptiesTheType) {
    dialog.optType(kindProperty).UserClick();
    dialog.cboDataType().UserType("Currency");
    dialog.optType(kindFunction).UserClick();
    EXPECT_EQ(dialog.cboDataType().Text(), "Currency");
    dialog.optType(kindProperty).UserClick();
    dialog.optType(kindSub).UserClick();
    EXPECT_EQ(dialog.cboDataType().Text(), "");
    EXPECT_TRUE(dialog.optScope(scopePublic).Value());
    EXPECT_TRUE(dialog.optScope(scopeFriend).Enabled());
    EXPECT_EQ(Box("chkRead"), vbGrayed);
    EXPECT_EQ(Box("chkCodeMember"), vbGrayed);
}

TEST_F(DialogTest, DataClassComesFromTheLastPickedEntry) {
    dialog.optType(kindProperty).UserClick();
    Pick("Form");
    EXPECT_EQ(dialog.intDataClass, classObject);
    // Typing over a picked entry keeps the picked class.
    dialog.cboDataType().SetText("");
    dialog.cboDataType().UserType("Long");
    EXPECT_EQ(dialog.cboDataType().ListIndex(), -1);
    dialog.txtName().SetText("Size");
    ProcedureRequest r = dialog.Request();
    EXPECT_EQ(r.intDataClass, classObject);
    EXPECT_EQ(BuildHeader(r, true), "Public Property Set Size (objSize As Long)");

    Pick("OLE_COLOR");
    EXPECT_EQ(dialog.intDataClass, classValue);
    Pick("StdPicture");
    // The next opening keeps the class of the last pick.
    dialog.PrepareForOpening();
    EXPECT_EQ(dialog.intDataClass, classObject);
    EXPECT_EQ(dialog.cboDataType().ListCount(), 16);
    EXPECT_EQ(dialog.cboDataType().List(8), "Object");
    EXPECT_EQ(dialog.cboDataType().ItemData(8), classValue);
    EXPECT_EQ(dialog.cboDataType().ItemData(14), classObject);
}

TEST_F(DialogTest, OpeningResetsEverythingButThePropertyBoxesRulesAndTheClass) {
    dialog.optType(kindProperty).UserClick();
    dialog.txtName().SetText("Color");
    dialog.cboDataType().SetText("Long");
    for (const char* box : {"chkMouse", "chkError", "chkMTS"}) dialog.Check(box).SetValue(1);
    dialog.cboDataType().AddItem("CExtra");

    dialog.PrepareForOpening();

    const ProcedureRequest r = dialog.Request();
    EXPECT_EQ(r.intKind, kindSub);
    EXPECT_EQ(r.intScope, scopePublic);
    EXPECT_EQ(r.strName, "");
    EXPECT_EQ(r.strArgs, "");
    EXPECT_EQ(r.strDataType, "");
    EXPECT_EQ(r.intStatic + r.intMouse + r.intError + r.intContext, 0);
    EXPECT_EQ(r.intRead, vbGrayed);
    EXPECT_TRUE(dialog.optScope(scopePrivate).Enabled());
    EXPECT_FALSE(dialog.cboDataType().Enabled());
    EXPECT_EQ(dialog.cboDataType().ListCount(), 16);
}

TEST_F(DialogTest, EventClearsStaticMouseAndErrorButKeepsTransactionBox) {
    for (const char* box : {"chkStatic", "chkMouse", "chkError", "chkMTS"}) dialog.Check(box).UserClick();
    dialog.optType(kindEvent).UserClick();
    EXPECT_EQ(Box("chkStatic") + Box("chkMouse") + Box("chkError"), 0);
    EXPECT_FALSE(dialog.Check("chkError").Enabled());
    EXPECT_EQ(Box("chkMTS"), 1);
    // A click on a disabled box changes nothing.
    dialog.Check("chkMouse").UserClick();
    EXPECT_EQ(Box("chkMouse"), 0);
}

TEST_F(DialogTest, RequestReadsTheControlsAsTheyStand) {
    dialog.optType(kindFunction).UserClick();
    dialog.optScope(scopeFriend).UserClick();
    dialog.txtName().UserType("Total ");
    dialog.txtArgs().UserType("x As Long");
    dialog.cboDataType().UserType(" Long");
    dialog.Check("chkStatic").UserClick();
    dialog.Check("chkMTS").UserClick();
    dialog.Check("chkMember").SetValue(vbChecked);
    const ProcedureRequest r = dialog.Request();
    EXPECT_EQ(r.intKind, kindFunction);
    EXPECT_EQ(r.intScope, scopeFriend);
    EXPECT_EQ(r.strName, "Total ");
    EXPECT_EQ(r.strArgs, "x As Long");
    EXPECT_EQ(r.strDataType, " Long");
    EXPECT_EQ(r.intStatic, vbChecked);
    EXPECT_EQ(r.intContext, vbChecked);
    EXPECT_EQ(r.intMember, vbChecked);
    EXPECT_EQ(r.intCodeMember, vbGrayed);
    EXPECT_EQ(r.intMouse, vbUnchecked);
}

TEST_F(DialogTest, OkKeepsTheEntriesCancelAndCloseBoxEmptyTheName) {
    ui.QueueModal([](forms::Form& f) {
        auto& d = static_cast<frmDialog&>(f);
        d.txtName().UserType("Go");
        d.UserKeyPress(forms::vbKeyReturn);
    });
    dialog.Show(forms::vbModal);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(dialog.txtName().Text(), "Go");

    ui.QueueModal([](forms::Form& f) {
        static_cast<frmDialog&>(f).txtName().UserType("Go");
        f.UserKeyPress(forms::vbKeyEscape);
    });
    dialog.Show(forms::vbModal);
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(dialog.txtName().Text(), "");

    ui.QueueModal([](forms::Form& f) {
        static_cast<frmDialog&>(f).txtName().UserType("Go");
        f.UserClose();
    });
    dialog.Show(forms::vbModal);
    EXPECT_TRUE(dialog.IsLoaded());
    EXPECT_FALSE(dialog.Visible());
    EXPECT_EQ(dialog.txtName().Text(), "");
}

TEST_F(DialogTest, AboutOpensTheAboutBoxModally) {
    ui.QueueModal([](forms::Form& f) { f.Ctl("cmdAbout").UserClick(); f.Ctl("cmdOK").UserClick(); });
    ui.QueueModal([](forms::Form& about) {
        EXPECT_EQ(about.Caption(), "Quillon");
        EXPECT_EQ(about.Ctl("lblVersion").Caption(), "1.0.0");
        about.UserKeyPress(forms::vbKeyReturn);
    });
    dialog.Show(forms::vbModal);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmDialog (modal)", "frmAbout (modal)"}));
    EXPECT_EQ(ui.pendingModals(), 0);
}

}  // namespace
}  // namespace quillon
