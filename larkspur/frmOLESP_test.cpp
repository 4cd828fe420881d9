#include "larkspur/frmOLESP.h"

#include <gtest/gtest.h>

#include <regex>

#include "larkspur/larkspur_app.h"
#include "larkspur/provider_script.h"
#include "larkspur/test_support.h"
#include "platform/forms/layout_checks.h"
#include "platform/win/process.h"

namespace larkspur {
namespace {

using forms::CommandButton;
using forms::ListBox;
using forms::TextBox;
using testing::ReadFile;

const char* const kProgIDs =
    "REGEDIT4\r\n\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\.txt]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ADODB.Recordset]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\ADODB.Connection]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\AppID]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Excel.Sheet.8]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Word.Document.8]\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\_Odd.Name]\r\n";

class MainForm : public testing::StoreTest {
protected:
    void SetUp() override {
        StoreTest::SetUp();
        savedPath_ = App().Path;
        App().Path = Folder().string();
        LARKSPUR_NEEDS_PRIVATE_CLASSES();
    }
    void TearDown() override {
        App().Path = savedPath_;
        StoreTest::TearDown();
    }
    // A machine with the runtime and a few names under SOFTWARE\Classes.
    void Seed() {
        Import(testing::kRuntimeScript);
        Import(kProgIDs);
    }
    std::vector<std::string> ListItems(const frmOLESP& form) const {
        const auto& list = form.Get<ListBox>("lstDataProgIDs");
        std::vector<std::string> items;
        for (int i = 0; i < list.ListCount(); ++i) items.push_back(list.List(i));
        return items;
    }
    TextBox& Text(frmOLESP& form, const char* name) { return form.Get<TextBox>(name); }

    win::RecordingProcessStarter starter;
    win::ScopedProcessStarter useStarter{starter};

private:
    std::string savedPath_;
};

TEST_F(MainForm, WindowAndControlsAsDesigned) {
    frmOLESP form;
    EXPECT_EQ(form.Caption(), "Larkspur");
    EXPECT_EQ(form.BorderStyle(), forms::vbFixedDialog);
    EXPECT_FALSE(form.MinButton());
    EXPECT_FALSE(form.MaxButton());
    EXPECT_EQ(form.StartUpPosition(), forms::vbStartUpScreen);
    EXPECT_EQ(form.ScaleWidth(), 6315);
    EXPECT_EQ(form.ScaleHeight(), 4125);
    struct Row {
        const char* name;
        forms::ControlKind kind;
        const char* caption;
    };
    const Row rows[] = {
        {"lblDataSource", forms::ControlKind::Label, "DataSource ProgID"},
        {"txtDataProgID", forms::ControlKind::TextBox, ""},
        {"lblName", forms::ControlKind::Label, "Provider ProgID"},
        {"txtName", forms::ControlKind::TextBox, ""},
        {"lblGUID", forms::ControlKind::Label, "Provider GUID"},
        {"txtGUID", forms::ControlKind::TextBox, ""},
        {"cmdGen", forms::ControlKind::CommandButton, "..."},
        {"lblDescription", forms::ControlKind::Label, "Provider Description"},
        {"txtDescription", forms::ControlKind::TextBox, ""},
        {"cmdGO", forms::ControlKind::CommandButton, "GO!"},
        {"lstDataProgIDs", forms::ControlKind::ListBox, ""},
        {"cmdAbout", forms::ControlKind::CommandButton, "About"},
    };
    ASSERT_EQ(form.Controls().size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const Row& r = rows[i];
        const forms::Control& c = *form.Controls()[i];
        EXPECT_EQ(c.Name(), r.name);
        EXPECT_EQ(c.Kind(), r.kind) << r.name;
        EXPECT_EQ(c.Caption(), r.caption) << r.name;
        const forms::Font expected{"Tahoma", std::string(r.name) == "cmdGO" ? 12 : 9.75};
        EXPECT_EQ(c.Font(), expected) << r.name;
    }
    forms::testing::ExpectSoundLayout(form);
    // The list hangs under the ProgID field at its width; each label stands
    // above its field; the two buttons at the foot share a line.
    const auto& field = form.Ctl("txtDataProgID");
    const auto& list = form.Ctl("lstDataProgIDs");
    EXPECT_EQ(list.Left(), field.Left());
    EXPECT_EQ(list.Width(), field.Width());
    EXPECT_GE(list.Top(), field.Top() + field.Height());
    for (const auto& [label, box] : {std::pair{"lblName", "txtName"}, {"lblGUID", "txtGUID"},
                                     {"lblDescription", "txtDescription"}, {"lblDataSource", "txtDataProgID"}})
        EXPECT_LE(form.Ctl(label).Top() + form.Ctl(label).Height(), form.Ctl(box).Top()) << label;
    EXPECT_EQ(form.Ctl("cmdGO").Top(), form.Ctl("cmdAbout").Top());
    EXPECT_LE(form.Ctl("cmdAbout").Left() + form.Ctl("cmdAbout").Width(), form.Ctl("cmdGO").Left());
    EXPECT_EQ(Text(form, "txtDescription").Text(), "New OLEDB Simple Provider");
    EXPECT_FALSE(form.Get<ListBox>("lstDataProgIDs").Sorted());
    for (const char* b : {"cmdGen", "cmdGO", "cmdAbout"}) {
        EXPECT_FALSE(form.Get<CommandButton>(b).Default()) << b;
        EXPECT_FALSE(form.Get<CommandButton>(b).Cancel()) << b;
    }
}

TEST_F(MainForm, StartUpWarnsReadsTheRuntimeAndListsProgIDs) {
    Seed();
    frmOLESP form;
    form.Show();
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt, "WARNING!  Backup your Registry before running this utility!");
    EXPECT_EQ(ui.messages[0].buttons, forms::vbExclamation);
    EXPECT_EQ(ui.messages[0].title, "Larkspur");
    EXPECT_EQ(ui.shown, (std::vector<std::string>{"frmOLESP"}));
    EXPECT_EQ(ui.pointers, (std::vector<int>{forms::vbHourglass, forms::vbDefault}));
    EXPECT_EQ(form.ServerPath(), "C:\\Program Files\\OLE DB\\msdaosp.dll");
    // Enumeration order; no leading dot, no name without a dot.
    EXPECT_EQ(ListItems(form), (std::vector<std::string>{"ADODB.Connection", "ADODB.Recordset",
                                                          "Excel.Sheet.8", "Word.Document.8",
                                                          "_Odd.Name"}));
    EXPECT_EQ(form.Get<ListBox>("lstDataProgIDs").ListIndex(), -1);
    // 2355 twips at 15 twips a pixel, three times.
    EXPECT_EQ(form.Get<ListBox>("lstDataProgIDs").HorizontalExtent(), 471);
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(ui.ended);
}

TEST_F(MainForm, LongEnumerationLetsMessagesThroughEvery200Names) {
    Import(testing::kRuntimeScript);
    std::string script = "REGEDIT4\r\n\r\n";
    for (int i = 0; i < 450; ++i)
        script += "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\Lib.C" + std::to_string(1000 + i) + "]\r\n";
    Import(script);
    frmOLESP form;
    form.Show();
    // 451 names (CLSID included): once before the warning, then at 0, 200 and 400.
    EXPECT_EQ(ui.doEvents, 4);
    EXPECT_EQ(form.Get<ListBox>("lstDataProgIDs").ListCount(), 450);
}

TEST_F(MainForm, MissingRuntimeEndsTheProgramAfterCreatingItsKey) {
    Import(kProgIDs);
    frmOLESP form;
    form.Show();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].prompt, "MSDAOSP.DLL is required!  Please install the OLEDBSDK.");
    EXPECT_EQ(ui.messages[1].buttons, forms::vbExclamation);
    EXPECT_EQ(ui.messages[1].title, "Larkspur");
    EXPECT_TRUE(ui.ended);
    EXPECT_EQ(form.Get<ListBox>("lstDataProgIDs").ListCount(), 0);
    // Reading the class key with AutoCreate on created it, empty.
    win::HKEY h = nullptr;
    EXPECT_EQ(win::RegOpenKeyEx(win::HKEY_CLASSES_ROOT, kRuntimeServerKey, 0, win::KEY_READ, &h),
              win::ERROR_SUCCESS);
    win::RegCloseKey(h);
}

TEST_F(MainForm, TooManyNamesReportUnableToOpenKeyAndLeaveTheFormUsable) {
    Import(testing::kRuntimeScript);
    Import(testing::ManySubkeys("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes", 32768));
    frmOLESP form;
    form.Show();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].prompt, "Unable to open Key");
    EXPECT_EQ(ui.messages[1].title, "Larkspur");
    EXPECT_EQ(ui.pointers.back(), forms::vbDefault);
    EXPECT_EQ(form.Get<ListBox>("lstDataProgIDs").ListCount(), 0);
    EXPECT_TRUE(form.Visible());
    EXPECT_FALSE(ui.ended);
    EXPECT_EQ(form.ServerPath(), "C:\\Program Files\\OLE DB\\msdaosp.dll");
}

TEST_F(MainForm, UnusableRegistryLeavesAnEmptyServerPathAndGoStillWrites) {
    LARKSPUR_NEEDS_OUR_STORE();
#ifndef _WIN32
    LARKSPUR_NEEDS_REGEDIT();
    const auto broken = Folder() / "broken.db";
    std::ofstream(broken) << "this is not a registry store";
    EXPECT_THROW(win::UseRegistryStore(broken.string()), win::RegistryStoreError);
    frmOLESP form;
    form.Show();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].prompt, "Unable to open Key");
    EXPECT_FALSE(ui.ended);
    EXPECT_EQ(form.ServerPath(), "");
    EXPECT_EQ(ui.pointers.back(), forms::vbDefault);
    Text(form, "txtName").UserType("Prov");
    form.Get<CommandButton>("cmdGen").UserClick();
    form.Get<CommandButton>("cmdGO").UserClick();
    EXPECT_NE(ReadFile(Folder() / "Provider.reg").find("InprocServer32]\r\n@=\"MSDAOSP.DLL\"\r\n"),
              std::string::npos);
    EXPECT_EQ(starter.requests.size(), 1u);
#endif
}

TEST_F(MainForm, IncrementalSearchHighlightsWithoutTakingAndEnterTakes) {
    Seed();
    frmOLESP form;
    form.Show();
    auto& list = form.Get<ListBox>("lstDataProgIDs");
    auto& data = Text(form, "txtDataProgID");
    data.UserType("ad");
    EXPECT_EQ(list.ListIndex(), 0);
    data.UserType("odb.r");
    EXPECT_EQ(list.ListIndex(), 1);
    EXPECT_EQ(Text(form, "txtName").Text(), "");
    // No item begins with this: the highlight stays, and Enter takes it.
    data.UserType("x");
    EXPECT_EQ(list.ListIndex(), 1);
    form.UserKeyPress(forms::vbKeyReturn);
    EXPECT_EQ(data.Text(), "ADODB.Recordset");
    EXPECT_EQ(Text(form, "txtName").Text(), "ADODB");
}

TEST_F(MainForm, EnterWithoutAHighlightDoesNothing) {
    Seed();
    frmOLESP form;
    form.Show();
    Text(form, "txtDataProgID").UserType("zz");
    form.UserKeyPress(forms::vbKeyReturn);
    EXPECT_EQ(Text(form, "txtDataProgID").Text(), "zz");
    EXPECT_EQ(Text(form, "txtName").Text(), "");
}

TEST_F(MainForm, ClickingAnItemFillsBothNames) {
    Seed();
    frmOLESP form;
    form.Show();
    form.Get<ListBox>("lstDataProgIDs").UserSelect(2);
    EXPECT_EQ(Text(form, "txtDataProgID").Text(), "Excel.Sheet.8");
    EXPECT_EQ(Text(form, "txtName").Text(), "Excel");
    // A taken name is not filtered.
    form.Get<ListBox>("lstDataProgIDs").UserSelect(4);
    EXPECT_EQ(Text(form, "txtName").Text(), "_Odd");
}

TEST_F(MainForm, ProviderNameTakesOnlyLettersAndBackspace) {
    Seed();
    frmOLESP form;
    form.Show();
    auto& name = Text(form, "txtName");
    name.UserType("Ab1._ c\x16Z");
    EXPECT_EQ(name.Text(), "AbcZ");
    name.UserType("\b");
    EXPECT_EQ(name.Text(), "Abc");
}

TEST_F(MainForm, GenerateGivesAFreshRegistryFormGuidEachTime) {
    Seed();
    frmOLESP form;
    form.Show();
    const std::regex shape("\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    Text(form, "txtGUID").UserType("old");
    form.Get<CommandButton>("cmdGen").UserClick();
    const std::string first = Text(form, "txtGUID").Text();
    EXPECT_TRUE(std::regex_match(first, shape)) << first;
    form.Get<CommandButton>("cmdGen").UserClick();
    const std::string second = Text(form, "txtGUID").Text();
    EXPECT_TRUE(std::regex_match(second, shape)) << second;
    EXPECT_NE(first, second);
}

TEST_F(MainForm, GoWritesTheScriptAndStartsTheRegistryEditorOnIt) {
    LARKSPUR_NEEDS_REGEDIT();
    Seed();
    frmOLESP form;
    form.Show();
    form.Get<ListBox>("lstDataProgIDs").UserSelect(2);
    Text(form, "txtGUID").UserType("{11111111-2222-4333-8444-555555555555}");
    ui.pointers.clear();
    for (int run = 0; run < 2; ++run) form.Get<CommandButton>("cmdGO").UserClick();

    ProviderScriptInput in{"Excel", "New OLEDB Simple Provider",
                           "{11111111-2222-4333-8444-555555555555}", "Excel.Sheet.8",
                           "C:\\Program Files\\OLE DB\\msdaosp.dll"};
    const std::string text = ReadFile(Folder() / "Provider.reg");
    EXPECT_EQ(text, BuildProviderScript(in));
    EXPECT_NE(text.find("@=\"C:\\\\Program Files\\\\OLE DB\\\\MSDAOSP.DLL\"\r\n"), std::string::npos);
    // The short path, in the platform's style as Fenmoor's script path is.
    const std::string expected = "REGEDIT " + Folder().string() + "/Provider.reg";
    ASSERT_EQ(starter.requests.size(), 2u);
    for (const auto& r : starter.requests) {
        EXPECT_EQ(r.commandLine, expected);
        EXPECT_EQ(r.windowStyle, win::vbMinimizedFocus);
        EXPECT_EQ(r.argv.size(), 2u);
    }
    EXPECT_EQ(ui.pointers, (std::vector<int>{forms::vbHourglass, forms::vbDefault,
                                             forms::vbHourglass, forms::vbDefault}));
    EXPECT_EQ(ui.messages.size(), 1u);  // only the start-up warning
    EXPECT_TRUE(form.Visible());
}

TEST_F(MainForm, FolderWithABlankIsQuotedOnTheCommandLine) {
    LARKSPUR_NEEDS_REGEDIT();
    Seed();
    std::filesystem::create_directories(Folder() / "My Tools");
    App().Path = (Folder() / "My Tools").string();
    frmOLESP form;
    form.Show();
    Text(form, "txtName").UserType("Prov");
    form.Get<CommandButton>("cmdGen").UserClick();
    form.Get<CommandButton>("cmdGO").UserClick();
    ASSERT_EQ(starter.requests.size(), 1u);
    const std::string path = Folder().string() + "/My Tools/Provider.reg";
    EXPECT_EQ(starter.requests[0].commandLine, "REGEDIT \"" + path + "\"");
    EXPECT_EQ(starter.requests[0].argv, (std::vector<std::string>{"REGEDIT", path}));
    EXPECT_TRUE(std::filesystem::exists(Folder() / "My Tools" / "Provider.reg"));
}

TEST_F(MainForm, GoRefusesEmptyNamesAndWritesNothing) {
    Seed();
    frmOLESP form;
    form.Show();
    ui.pointers.clear();
    form.Get<CommandButton>("cmdGO").UserClick();
    Text(form, "txtName").UserType("Prov");
    form.Get<CommandButton>("cmdGO").UserClick();
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[1].prompt, "Provider ProgID is empty: please enter a name.");
    EXPECT_EQ(ui.messages[2].prompt, "Provider GUID is empty: please press \"...\" for one.");
    EXPECT_EQ(ui.messages[2].buttons, forms::vbExclamation);
    EXPECT_EQ(ui.messages[2].title, "Larkspur");
    EXPECT_FALSE(std::filesystem::exists(Folder() / "Provider.reg"));
    EXPECT_TRUE(starter.requests.empty());
    EXPECT_TRUE(ui.pointers.empty());
}

TEST_F(MainForm, GoFailuresAreShownAndThePointerRestored) {
    Seed();
    frmOLESP form;
    form.Show();
    Text(form, "txtName").UserType("Prov");
    form.Get<CommandButton>("cmdGen").UserClick();

    App().Path = (Folder() / "absent").string();
    ui.pointers.clear();
    form.Get<CommandButton>("cmdGO").UserClick();
    ASSERT_EQ(ui.messages.size(), 2u);
    EXPECT_EQ(ui.messages[1].prompt, "Path/File access error");
    EXPECT_EQ(ui.messages[1].buttons, forms::vbExclamation);
    EXPECT_EQ(ui.messages[1].title, "Larkspur");
    EXPECT_TRUE(starter.requests.empty());
    EXPECT_EQ(ui.pointers, (std::vector<int>{forms::vbHourglass, forms::vbDefault}));

    // The editor cannot be started: the file stays written.
    App().Path = Folder().string();
    starter.failNext = true;
    form.Get<CommandButton>("cmdGO").UserClick();
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[2].prompt, "File not found");
    EXPECT_TRUE(std::filesystem::exists(Folder() / "Provider.reg"));
    EXPECT_EQ(ui.pointers.back(), forms::vbDefault);
}

TEST_F(MainForm, AboutShowsLarkspursBoxModally) {
    Seed();
    frmOLESP form;
    form.Show();
    std::string caption, version;
    ui.QueueModal([&](forms::Form& box) {
        caption = box.Caption();
        version = box.Ctl("lblVersion").Caption();
        box.UserKeyPress(forms::vbKeyReturn);
    });
    form.Get<CommandButton>("cmdAbout").UserClick();
    EXPECT_EQ(ui.shown.back(), "frmAbout (modal)");
    EXPECT_EQ(caption, "Larkspur");
    EXPECT_EQ(version, "1.0.8");
    EXPECT_EQ(ui.pendingModals(), 0);
}

}  // namespace
}  // namespace larkspur
