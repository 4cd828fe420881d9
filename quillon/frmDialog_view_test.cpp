// The procedure dialog rendered by the Qt view, offscreen.

#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdlib>
#include <filesystem>

#include "platform/forms/qt/form_view.h"
#include "platform/forms/qt/qt_app.h"
#include "platform/forms/qt/text_box_keys.h"
#include "quillon/app_info.h"
#include "quillon/frmDialog.h"
#include "quillon/test_project.h"

namespace quillon {
namespace {

TEST(DialogView, RendersEveryControlAtItsTwipGeometry) {
    forms::qt::EnsureQtUi();
    frmDialog dialog{QuillonAppInfo()};
    dialog.Load();
    dialog.PrepareForOpening();
    dialog.SetCaption("Insert Procedure into basMain");
    dialog.optType(kindProperty).UserClick();
    dialog.txtName().SetText("Color");
    dialog.cboDataType().SetText("Long");

    forms::qt::FormView view(dialog);
    for (forms::Control* control : dialog.Controls()) {
        QWidget* widget = view.WidgetOf(*control);
        ASSERT_NE(widget, nullptr) << control->Name();
        EXPECT_EQ(widget->geometry(), QRect(view.Px(control->Left()), view.Px(control->Top()),
                                            view.Px(control->Width()), view.Px(control->Height())))
            << control->Name() << "(" << control->Index() << ")";
        const forms::Control* container = control->Container();
        EXPECT_EQ(widget->parentWidget(), container ? view.WidgetOf(*container) : widget->parentWidget());
    }
    EXPECT_EQ(view.WidgetOf(dialog.optType(2))->objectName(), "optType(2)");
    EXPECT_FALSE(view.WidgetOf(dialog.txtArgs())->isEnabled());

    testing::TempProject folder;
    const auto png = folder.Folder() / "frmDialog.png";
    ASSERT_TRUE(forms::qt::Screenshot(dialog, png.string()));
    QImage image(QString::fromStdString(png.string()));
    EXPECT_GE(image.width(), view.Px(4830));
    EXPECT_GE(image.height(), view.Px(4140));
    if (const char* keep = std::getenv("QUILLON_SCREENSHOT"))
        std::filesystem::copy_file(png, keep, std::filesystem::copy_options::overwrite_existing);
}

TEST(DialogView, TheNameArgumentsAndTypeEditAtTheCaret) {
    forms::qt::EnsureQtUi();
    frmDialog dialog{QuillonAppInfo()};
    dialog.Load();
    dialog.PrepareForOpening();
    dialog.optType(kindFunction).UserClick();
    forms::qt::FormView view(dialog);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    ASSERT_TRUE(view.WidgetOf(dialog.txtArgs())->isEnabled());
    forms::qt::testing::RunTextBoxKeys(view, dialog.txtName(), forms::qt::testing::EditingKeys());
    forms::qt::testing::RunTextBoxKeys(view, dialog.txtArgs(), forms::qt::testing::EditingKeys());
    // The data type is typed into the edit field of a combo box, alike.
    forms::qt::testing::RunTextBoxKeys(view, dialog.cboDataType(), forms::qt::testing::EditingKeys());
}

}  // namespace
}  // namespace quillon
