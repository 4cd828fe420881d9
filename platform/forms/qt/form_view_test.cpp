#include "platform/forms/qt/form_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/forms/form.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/qt/qt_ui.h"
#include "shared/frmAbout.h"

namespace forms::qt {
namespace {

using K = ControlKind;

class Sample : public Form {
public:
    Sample() : Form("frmSample") {
        AddControls({
            {"txtName", -1, K::TextBox, "", nullptr, -1, 120, 120, 2400, 285, 0},
            {"chkOn", -1, K::CheckBox, "&On", nullptr, -1, 120, 500, 1200, 240, 1},
            {"fraKind", -1, K::Frame, "Kind", nullptr, -1, 120, 800, 2400, 900, 2},
            {"optKind", 0, K::OptionButton, "One", "fraKind", -1, 90, 270, 1000, 240, 3},
            {"optKind", 1, K::OptionButton, "Two", "fraKind", -1, 90, 540, 1000, 240, 4},
            {"lstItems", -1, K::ListBox, "", nullptr, -1, 120, 1800, 2400, 900, 5},
            {"cmdOK", -1, K::CommandButton, "OK", nullptr, -1, 2700, 120, 1000, 345, 6},
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

}  // namespace
}  // namespace forms::qt
