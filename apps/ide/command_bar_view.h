#pragma once
// The menu bar and the "Standard" toolbar of the window, built from the
// environment's command bars and kept in step with them: a control that an
// add-in adds, deletes, hides, renames or disables shows so at once. Buttons
// and menu commands call onChoose; a drop-down is a combo box whose pick
// calls onPick.

#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "contract/vbide.h"

class QAction;
class QComboBox;
class QMainWindow;
class QMenu;
class QToolBar;
class QWidget;

namespace ide {

class CommandBarView {
public:
    CommandBarView(QMainWindow& window, vbide::CommandBarsPtr bars);
    ~CommandBarView();

    // Builds the menu bar and the toolbar (again).
    void Build();
    void ControlsChanged(const vbide::CommandBarPtr& bar);
    void ControlChanged(const vbide::CommandBarControlPtr& control);

    QToolBar* Toolbar() const { return toolbar_; }
    // The widgets showing a control (nullptr when it is not shown).
    QAction* ActionFor(const vbide::CommandBarControlPtr& control) const;
    QComboBox* ComboFor(const vbide::CommandBarControlPtr& control) const;
    // The menu of a top-level menu of the menu bar, by caption without "&".
    QMenu* MenuFor(const std::string& caption) const;

    std::function<void(const vbide::CommandBarControlPtr&)> onChoose;
    std::function<void(const vbide::CommandBarControlPtr&, std::int32_t)> onPick;
    // Called after a menu was filled from its bar, to add the window's own
    // entries (the recent projects of the File menu).
    std::function<void(QMenu*, const vbide::CommandBarPtr&)> onMenuFilled;

private:
    struct BarView {
        vbide::CommandBarPtr bar;
        QPointer<QWidget> widget;  // QMenuBar, QMenu or QToolBar
        bool toolbar = false;
        std::vector<QPointer<QAction>> actions;
        std::vector<vbide::CommandBar*> children;  // pop-ups' own bars
    };
    struct ControlView {
        vbide::CommandBarControlPtr control;
        QPointer<QAction> action;
        QPointer<QComboBox> combo;
    };

    void Fill(BarView& view);
    void Clear(BarView& view);
    void Forget(vbide::CommandBar* bar);
    QAction* MakeAction(BarView& view, const vbide::CommandBarControlPtr& control);
    void Apply(ControlView& item);

    QMainWindow& window_;
    vbide::CommandBarsPtr bars_;
    QToolBar* toolbar_ = nullptr;
    std::map<vbide::CommandBar*, BarView> views_;
    std::map<vbide::CommandBarControl*, ControlView> controls_;
};

}  // namespace ide
