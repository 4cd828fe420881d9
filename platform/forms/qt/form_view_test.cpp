#include "platform/forms/qt/form_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/forms/form.h"
#include "platform/forms/headless.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/qt/qt_ui.h"
#include "base/vb_error.h"
#include "shared/frmAbout.h"

namespace forms::qt {
namespace {

using K = ControlKind;

class Sample : public Form {
public:
    explicit Sample(const char* name = "frmSample") : Form(name) {
        AddControls({
            {.name = "txtName", .kind = K::TextBox, .left = 120, .top = 120, .width = 2400,
             .height = 285, .tabIndex = 0},
            {.name = "chkOn", .kind = K::CheckBox, .caption = "&On", .left = 120, .top = 500,
             .width = 1200, .height = 240, .tabIndex = 1},
            {.name = "fraKind", .kind = K::Frame, .caption = "Kind", .left = 120, .top = 800,
             .width = 2400, .height = 900, .tabIndex = 2},
            {.name = "optKind", .index = 0, .kind = K::OptionButton, .caption = "One",
             .container = "fraKind", .left = 90, .top = 270, .width = 1000, .height = 240,
             .tabIndex = 3},
            {.name = "optKind", .index = 1, .kind = K::OptionButton, .caption = "Two",
             .container = "fraKind", .left = 90, .top = 540, .width = 1000, .height = 240,
             .tabIndex = 4},
            {.name = "lstItems", .kind = K::ListBox, .left = 120, .top = 1800, .width = 2400,
             .height = 900, .tabIndex = 5},
            {.name = "cmdOK", .kind = K::CommandButton, .caption = "OK", .left = 2700, .top = 120,
             .width = 1000, .height = 345, .tabIndex = 6},
        });
        SetClientSize(4000, 3000);
        Get<CommandButton>("cmdOK").SetDefault(true);
        Get<CommandButton>("cmdOK").onClick = [this] { ++clicks; };
        Get<TextBox>("txtName").onKeyPress = [](int& key) {
            if (key >= '0' && key <= '9') key = 0;
        };
    }
    int clicks = 0;
};

class QtView : public ::testing::Test {
protected:
    void SetUp() override { EnsureQtUi(); }
    void TearDown() override { SetUi(nullptr); }
};

template <class W>
W* Widget(FormView& view, const char* name) {
    auto* w = view.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

TEST_F(QtView, ClicksAndTypingReachTheModel) {
    Sample form;
    FormView view(form);
    view.show();
    QTest::mouseClick(Widget<QPushButton>(view, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(form.clicks, 1);

    QLineEdit* edit = Widget<QLineEdit>(view, "txtName");
    edit->setFocus();
    QTest::keyClicks(edit, "ab12c");
    EXPECT_EQ(form.Get<TextBox>("txtName").Text(), "abc") << "KeyPress discarded the digits";
    EXPECT_EQ(edit->text(), "abc");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form.clicks, 2) << "Enter presses the default button";

    QTest::mouseClick(Widget<QRadioButton>(view, "optKind(1)"), Qt::LeftButton);
    EXPECT_TRUE(form.Get<OptionButton>("optKind", 1).Value());
}

// A form kept off the task bar (the About box) is a tool window, which window
// systems give no task-bar button; other forms are ordinary windows.
TEST_F(QtView, AFormOffTheTaskBarIsAToolWindow) {
    Sample plain;
    FormView ordinary(plain);
    EXPECT_NE(ordinary.windowType(), Qt::Tool);
    Sample about;
    about.SetShowInTaskbar(false);
    FormView tool(about);
    EXPECT_EQ(tool.windowType(), Qt::Tool);
}

TEST_F(QtView, ModelChangesShowInTheWidgets) {
    Sample form;
    FormView view(form);
    view.show();
    form.Get<TextBox>("txtName").SetText("Total");
    EXPECT_EQ(Widget<QLineEdit>(view, "txtName")->text(), "Total");
    auto& chk = form.Get<CheckBox>("chkOn");
    chk.SetValue(2);
    QCheckBox* box = Widget<QCheckBox>(view, "chkOn");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_EQ(chk.Value(), 1) << "a click on a grayed box ticks it";
    EXPECT_EQ(box->checkState(), Qt::Checked);
    auto& lst = form.Get<ListBox>("lstItems");
    lst.AddItem("alpha");
    lst.AddItem("beta");
    lst.SelectString(-1, "B");
    QListWidget* list = Widget<QListWidget>(view, "lstItems");
    EXPECT_EQ(list->count(), 2);
    EXPECT_EQ(list->currentRow(), 1);
    form.Ctl("cmdOK").SetEnabled(false);
    EXPECT_FALSE(Widget<QPushButton>(view, "cmdOK")->isEnabled());
}

// A press picks the entry under the pointer, and dragging picks each entry
// it reaches; the widget shows the model's selection throughout.
TEST_F(QtView, PressAndDragInAListPickEachEntry) {
    Sample form;
    auto& lst = form.Get<ListBox>("lstItems");
    for (const char* s : {"alpha", "beta", "gamma"}) lst.AddItem(s);
    std::string picks;
    lst.onClick = [&] { picks += std::to_string(lst.ListIndex()); };
    FormView view(form);
    view.show();
    QListWidget* list = Widget<QListWidget>(view, "lstItems");
    auto at = [&](int row) { return list->visualItemRect(list->item(row)).center(); };
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at(0));
    QTest::mouseMove(list->viewport(), at(2));
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at(2));
    EXPECT_EQ(picks, "02");
    EXPECT_EQ(lst.ListIndex(), 2);
    EXPECT_EQ(list->currentRow(), 2);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at(2));
    EXPECT_EQ(picks, "022") << "a click on the selected entry picks it again";
}

TEST_F(QtView, GeometryIsTwipsOverFifteenAtNinetySixDpi) {
    Sample form;
    FormView view(form);
    if (view.logicalDpiX() != 96) GTEST_SKIP() << "screen is not at 96 DPI";
    EXPECT_EQ(view.width(), 267) << "4000 twips, rounded to the nearest pixel";
    QWidget* txt = Widget<QLineEdit>(view, "txtName");
    EXPECT_EQ(txt->geometry(), QRect(8, 8, 160, 19));
    QWidget* radio = Widget<QRadioButton>(view, "optKind(0)");
    EXPECT_EQ(radio->pos(), QPoint(6, 18)) << "inside its frame";
}

TEST_F(QtView, ModalFormRunsANestedLoopUntilHidden) {
    Sample form;
    QTimer::singleShot(0, [&] { form.Get<CommandButton>("cmdOK").onClick = [&] { form.Hide(); };
                                form.Get<CommandButton>("cmdOK").UserClick(); });
    form.Show(vbModal);
    EXPECT_FALSE(form.Visible());
}

TEST_F(QtView, ScreenshotOfAnAboutBoxIsWritten) {
    forms::AppInfo app;
    app.Title = "Quillon";
    app.Major = 2;
    app.Minor = 3;
    app.Revision = 3;
    about::frmAbout box(app, about::Deliverable::Quillon);
    box.Load();
    auto path = std::filesystem::temp_directory_path() / "tarnwick_about_test.png";
    ASSERT_TRUE(Screenshot(box, path.string()));
    QImage image(QString::fromStdString(path.string()));
    EXPECT_GT(image.width(), 5730 / 15);
    std::filesystem::remove(path);
}

// A handler that fails while the view is showing a change (here the focus
// the user gave) is reported once; the view goes on following the model and
// the user's input.
TEST_F(QtView, AnErrorInAHandlerDuringASyncLeavesTheViewFollowing) {
    ScopedHeadlessUi ui;  // the report is recorded, not shown
    Sample form;
    form.SetAppTitle("Sample");
    auto& name = form.Get<TextBox>("txtName");
    name.onGotFocus = [] { throw vb::VbError(91); };
    FormView view(form);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    QLineEdit* edit = Widget<QLineEdit>(view, "txtName");
    QTest::mouseClick(edit, Qt::LeftButton);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].prompt.rfind("Run-time error '91':\n\n", 0), 0u) << ui.messages[0].prompt;
    EXPECT_EQ(ui.messages[0].title, "Sample");
    EXPECT_TRUE(ui.ended);

    name.onGotFocus = nullptr;
    name.SetText("after");
    EXPECT_EQ(edit->text(), "after");
    form.Get<CheckBox>("chkOn").SetValue(1);
    EXPECT_EQ(Widget<QCheckBox>(view, "chkOn")->checkState(), Qt::Checked);
    QTest::mouseClick(Widget<QPushButton>(view, "cmdOK"), Qt::LeftButton);
    EXPECT_EQ(form.clicks, 1);
    EXPECT_EQ(form.ActiveControl(), &form.Ctl("cmdOK"));
}

TEST_F(QtView, ShowOnAFormOnScreenBringsItToTheFront) {
    Sample first("frmFirst");
    Sample second("frmSecond");
    first.Show();
    second.Show();
    ASSERT_TRUE(QTest::qWaitFor([] {
        return QApplication::activeWindow() && QApplication::activeWindow()->objectName() == "frmSecond";
    }));
    first.Show();
    EXPECT_TRUE(QTest::qWaitFor([] {
        return QApplication::activeWindow() && QApplication::activeWindow()->objectName() == "frmFirst";
    }));
}

// The About box's separator is etched: a grey pixel row with a white one
// under it, both across the window.
TEST_F(QtView, AboutBoxSeparatorShowsGreyOverWhite) {
    about::frmAbout box({}, about::Deliverable::Quillon);
    FormView view(box);
    view.setAttribute(Qt::WA_DontShowOnScreen);
    view.show();
    const QImage image = view.grab().toImage();
    const int y = view.Px(1970);
    for (int x : {view.Px(200), view.Px(3000), view.Px(5600)}) {
        EXPECT_EQ(image.pixelColor(x, y), QColor(0x80, 0x80, 0x80)) << x;
        EXPECT_EQ(image.pixelColor(x, y + 1), QColor(Qt::white)) << x;
        EXPECT_NE(image.pixelColor(x, y - 1), QColor(Qt::white)) << x;
    }
}

}  // namespace
}  // namespace forms::qt

namespace forms::qt {
namespace {

// A host of add-ins keeps running when an add-in's handler fails: the error's
// message is shown, and the End that follows it returns instead of ending the
// process. Run in a child, whose exit status tells which way it went.
TEST(QtUiEnd, AHostOfAddInsKeepsRunningAfterAnUntrappedError) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            EnsureQtUi();
            QtUi ui;
            ui.keepRunningOnEnd = true;
            std::string shown;
            QTimer::singleShot(0, [&] {
                if (QWidget* box = QApplication::activeModalWidget()) {
                    shown = box->findChild<QLabel*>("qt_msgbox_label")->text().toStdString();
                    QTest::keyClick(box, Qt::Key_Return);
                }
            });
            SetUi(&ui);
            Sample form;
            const bool survived =
                DeliverUserAction(form, [] { throw vb::VbError(5, "Sample", "Invalid procedure call"); });
            SetUi(nullptr);
            std::fprintf(stderr, "%s|%s", survived ? "survived" : "failed", shown.c_str());
            std::exit(3);
        },
        testing::ExitedWithCode(3), "failed\\|Run-time error '5':");
}

}  // namespace
}  // namespace forms::qt
