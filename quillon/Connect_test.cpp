#include "quillon/Connect.h"

#include <gtest/gtest.h>

#include "platform/forms/headless.h"
#include "platform/vbide/builder.h"
#include "platform/vbide/vbe_under_test.h"
#include "quillon/frmDialog.h"

namespace quillon {
namespace {

const char* const kModule = "Option Explicit\r\nPrivate mCount As Long\r\n\r\nSub Main()\r\nEnd Sub\r\n";

vbide::CommandBarControlsPtr Tools(const vbide::VBEPtr& vbe) {
    return vbe->CommandBars()->Item("Menu Bar")->Controls()->Item("Tools")->CommandBar()->Controls();
}

// An environment with the add-in connected and a user who answers the dialog.
class AddInTest : public ::testing::Test {
protected:
    forms::ScopedHeadlessUi ui;
    std::shared_ptr<vbide::Environment> env;
    Connect addin;
    vbide::CustomArgs custom;

    void Start(std::shared_ptr<vbide::Environment> environment) {
        env = std::move(environment);
        addin.OnConnection(vbide::testing::VbeUnderTest(env), vbide::vbext_cm_AfterStartup, nullptr, custom);
    }
    void TearDown() override {
        if (env) addin.OnDisconnection(vbide::vbext_dm_HostShutdown, custom);
    }
    // Chooses "Tarnwick Add Procedure..." while `fill` plays the user.
    void Use(std::function<void(frmDialog&)> fill) {
        ui.QueueModal([fill](forms::Form& form) { fill(static_cast<frmDialog&>(form)); });
        env->Click(Tools(env)->Item(1));
    }
    vbide::CodeModulePtr Module() { return env->ActiveCodePane()->CodeModule(); }
    std::string Text() {
        auto m = Module();
        return m->Lines(1, m->CountOfLines());
    }
};

void Pick(frmDialog& d, const std::string& entry) {
    auto& types = d.cboDataType();
    for (int i = 0; i < types.ListCount(); ++i)
        if (types.List(i) == entry) return types.UserSelect(i);
    ADD_FAILURE() << entry << " not listed";
}

TEST_F(AddInTest, ConnectionReplacesTheFirstToolsCommandAndDisconnectionRestoresIt) {
    auto plain = vbide::Environment::Create();
    const std::int32_t count = Tools(plain)->Count();
    Start(vbide::EnvironmentBuilder::SingleModule(kModule));
    auto tools = Tools(env);
    EXPECT_EQ(tools->Count(), count + 1);
    EXPECT_EQ(tools->Item(1)->Caption(), "Tarnwick Add Procedure...");
    EXPECT_TRUE(tools->Item(1)->Visible());
    EXPECT_EQ(tools->Item(2)->Caption(), "Add &Procedure...");
    EXPECT_FALSE(tools->Item(2)->Visible());
    ASSERT_NE(addin.Dialog(), nullptr);
    EXPECT_TRUE(addin.Dialog()->IsLoaded());
    EXPECT_FALSE(addin.Dialog()->Visible());

    addin.OnDisconnection(vbide::vbext_dm_UserClosed, custom);
    EXPECT_EQ(tools->Count(), count);
    EXPECT_EQ(tools->Item(1)->Caption(), "Add &Procedure...");
    EXPECT_TRUE(tools->Item(1)->Visible());
    EXPECT_EQ(addin.Dialog(), nullptr);
    env.reset();
}

TEST_F(AddInTest, FunctionIsAppendedAndScrolledTo) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule));
    Use([](frmDialog& d) {
        EXPECT_EQ(d.Caption(), "Insert Procedure into Module1");
        d.optType(kindFunction).UserClick();
        d.txtName().UserType("Total");
        d.txtArgs().UserType("x As Long");
        Pick(d, "Long");
        d.Check("chkError").UserClick();
        d.Ctl("cmdOK").UserClick();
    });
    EXPECT_EQ(Text(),
              std::string(kModule) +
                  "Public Function Total (x As Long)As Long\r\n\r\nOn Error GoTo TotalErr\r\n\r\n\r\n"
                  "    'Place Code Body Here!\r\n\r\nTotalExit:\r\n    Exit Function \r\n\r\nTotalErr:\r\n"
                  "    Debug.Print Err.Description\r\n"
                  "    App.StartLogging App.Path & \"\\error.log\", vbLogtoFile\r\n"
                  "    App.LogEvent Err.Description, vbLogEventTypeError\r\n    Resume TotalExit\r\n\r\n"
                  "End Function ");
    EXPECT_EQ(Module()->CodePane()->TopLine(), Module()->ProcStartLine("Total", vbide::vbext_pk_Proc));
    EXPECT_EQ(Module()->CodePane()->TopLine(), 6);
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(AddInTest, PropertyInsertsReaderWriterAndMemberDeclaration) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule, vbide::vbext_ct_ClassModule));
    Use([](frmDialog& d) {
        d.optType(kindProperty).UserClick();
        d.txtName().UserType("Color");
        Pick(d, "Long");
        d.Ctl("cmdOK").UserClick();
    });
    EXPECT_EQ(Text(),
              "Option Explicit\r\nPrivate mCount As Long\r\nPrivate m_Color As Long\r\n\r\n"
              "Sub Main()\r\nEnd Sub\r\n"
              "Public Property Get Color ()As Long\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "    Color = m_Color\r\n\r\n\r\nEnd Property\r\n"
              "Public Property Let Color (lonColor As Long)\r\n\r\n\r\n    'Place Code Body Here!\r\n"
              "     m_Color = lonColor\r\n\r\n\r\nEnd Property");
    EXPECT_EQ(Module()->CodePane()->TopLine(), Module()->ProcStartLine("Color", vbide::vbext_pk_Get));
}

TEST_F(AddInTest, ClassModulesOfEveryProjectAreQualifiedWithTheActiveProject) {
    Start(vbide::EnvironmentBuilder()
              .Project("Shop")
              .Class("CItem", "Option Explicit\r\n")
              .Module("basMain", "Option Explicit\r\n")
              .ActiveCodePane()
              .Project("Tools")
              .Class("CLog")
              .Module("basLog")
              .Build());
    env->ActivateProject(env->VBProjects()->Item("Shop"));
    Use([](frmDialog& d) {
        auto& types = d.cboDataType();
        ASSERT_EQ(types.ListCount(), 18);
        EXPECT_EQ(types.List(16), "CItem");
        EXPECT_EQ(types.List(17), "CLog");
        EXPECT_EQ(types.ItemData(17), classProject);
        d.optType(kindProperty).UserClick();
        d.txtName().UserType("Log");
        Pick(d, "CLog");
        d.Check("chkCodeMember").UserClick();
        d.Ctl("cmdOK").UserClick();
    });
    const std::string text = Text();
    EXPECT_NE(text.find("Private m_Log As Shop.CLog\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Public Property Get Log ()As Shop.CLog\r\n"), std::string::npos);
    EXPECT_NE(text.find("Public Property Set Log (objLog As Shop.CLog)\r\n"), std::string::npos);
    EXPECT_EQ(addin.Dialog()->intDataClass, classProject);
}

TEST_F(AddInTest, MemberBoxTickedOnAFunctionAlsoGetsADeclaration) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule));
    Use([](frmDialog& d) {
        d.optType(kindFunction).UserClick();
        d.txtName().UserType("Total");
        Pick(d, "Long");
        d.Check("chkMember").SetValue(vbChecked);
        d.Ctl("cmdOK").UserClick();
    });
    EXPECT_EQ(Module()->Lines(3, 1), "Private m_Total As Long");
    EXPECT_EQ(Module()->Lines(7, 1), "Public Function Total ()As Long");
}

// A sub has no type, so its member declaration would not compile: the
// environment refuses it and the sub inserted before stays.
TEST_F(AddInTest, MemberBoxTickedOnASubIsRefusedForWantOfAType) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule));
    Use([](frmDialog& d) {
        d.txtName().UserType("Reset");
        d.Check("chkMember").SetValue(vbChecked);
        d.Ctl("cmdOK").UserClick();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "Illegal or incorrect procedure construct.");
    EXPECT_EQ(Module()->Lines(3, 1), "");
    EXPECT_EQ(Module()->Lines(6, 1), "Public Sub Reset ()");
}

TEST_F(AddInTest, CancelOrBlankNameInsertsNothingAndDoesNotScroll) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule));
    Module()->CodePane()->SetTopLine(2);
    Use([](frmDialog& d) {
        d.txtName().UserType("Gone");
        d.UserKeyPress(forms::vbKeyEscape);
    });
    Use([](frmDialog& d) {
        d.txtName().UserType("   ");
        d.UserKeyPress(forms::vbKeyReturn);
    });
    EXPECT_EQ(Text() + "\r\n", kModule);
    EXPECT_EQ(Module()->CodePane()->TopLine(), 2);
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmDialog (modal)", "frmDialog (modal)"}));
}

TEST_F(AddInTest, NoCodePaneAsksForOneAfterRebuildingTheList) {
    Start(vbide::EnvironmentBuilder().Project("P").Class("CThing").Build());
    addin.Dialog()->txtName().SetText("Old");
    env->Click(Tools(env)->Item(1));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "Please select a Code Module!");
    EXPECT_EQ(ui.messages[0].buttons, forms::vbOKOnly | forms::vbExclamation);
    EXPECT_EQ(ui.messages[0].title, "Add Procedure");
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(addin.Dialog()->cboDataType().ListCount(), 17);
    EXPECT_EQ(addin.Dialog()->txtName().Text(), "");
}

TEST_F(AddInTest, RejectedWriterLeavesTheReaderAndSaysSo) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule));
    Use([](frmDialog& d) {
        d.optType(kindProperty).UserClick();
        d.txtName().UserType("Size");
        Pick(d, "Long");
        // Code may still choose what the disabled buttons offer: a Friend
        // writer, which a standard module does not allow.
        d.optScope(scopeFriend).SetValue(true);
        d.Check("chkWrite").SetValue(vbGrayed);
        d.Check("chkMember").SetValue(vbUnchecked);
        d.Ctl("cmdOK").UserClick();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "Illegal or incorrect procedure construct.");
    EXPECT_EQ(ui.messages[0].buttons, forms::vbOKOnly | forms::vbExclamation);
    EXPECT_EQ(ui.messages[0].title, "Tarnwick Add Procedure");
    const std::string text = Text();
    EXPECT_NE(text.find("Public Property Get Size ()As Long"), std::string::npos);
    EXPECT_EQ(text.find("Property Let"), std::string::npos);
    EXPECT_EQ(addin.Dialog()->txtName().Text(), "Size");
}

TEST_F(AddInTest, OtherErrorsShowTheirNumberAndDescription) {
    Start(vbide::EnvironmentBuilder()
              .Project("P")
              .Class("CThing")
              .Module("basMain", kModule)
              .ActiveCodePane()
              .NoActiveProject()
              .Build());
    Use([](frmDialog& d) {
        d.optType(kindFunction).UserClick();
        d.txtName().UserType("Make");
        Pick(d, "CThing");
        d.Ctl("cmdOK").UserClick();
    });
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "Error:91 Object variable or With block variable not set");
    EXPECT_EQ(ui.messages[0].buttons, forms::vbOKOnly);
    EXPECT_EQ(ui.messages[0].title, "Quillon");
    EXPECT_EQ(Text() + "\r\n", kModule);
}

TEST_F(AddInTest, EventJoinsTheDeclarationsWithoutScrolling) {
    Start(vbide::EnvironmentBuilder::SingleModule(kModule, vbide::vbext_ct_ClassModule));
    Module()->CodePane()->SetTopLine(1);
    Use([](frmDialog& d) {
        d.optType(kindEvent).UserClick();
        d.txtName().UserType("Changed");
        d.txtArgs().UserType("ByVal n As Long");
        d.Ctl("cmdOK").UserClick();
    });
    EXPECT_EQ(Text(), "Option Explicit\r\nPrivate mCount As Long\r\nPublic Event Changed (ByVal n As Long)\r\n\r\n"
                      "\r\nSub Main()\r\nEnd Sub");
    EXPECT_EQ(Module()->CodePane()->TopLine(), 1);
}

}  // namespace
}  // namespace quillon
