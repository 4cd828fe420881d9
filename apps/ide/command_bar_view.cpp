#include "apps/ide/command_bar_view.h"

#include <QAction>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QWidgetAction>
#include <map>

#include "apps/ide/toolbar_icons.h"
#include "platform/vbide/command_bars.h"
#include "base/text.h"
#include "platform/forms/qt/ansi.h"

namespace ide {

using forms::qt::FromAnsi;

namespace {

// The keys of the built-in menu commands, by id: a renamed command keeps its key.
QKeySequence ShortcutOf(std::int32_t id) {
    using namespace vbide;
    static const std::map<std::int32_t, const char*> keys = {
        {kCmdNewProject, "Ctrl+N"}, {kCmdOpenProject, "Ctrl+O"}, {kCmdSave, "Ctrl+S"},
        {kCmdPrint, "Ctrl+P"},      {kCmdUndo, "Ctrl+Z"},        {kCmdCut, "Ctrl+X"},
        {kCmdCopy, "Ctrl+C"},       {kCmdPaste, "Ctrl+V"},       {kCmdSelectAll, "Ctrl+A"},
        {kCmdFind, "Ctrl+F"},       {kCmdFindNext, "F3"},        {kCmdReplace, "Ctrl+H"},
        {kCmdViewCode, "F7"},       {kCmdObjectBrowser, "F2"},   {kCmdImmediateWindow, "Ctrl+G"},
        {kCmdProjectExplorer, "Ctrl+R"}, {kCmdPropertiesWindow, "F4"}, {kCmdStart, "F5"},
    };
    auto it = keys.find(id);
    return it == keys.end() ? QKeySequence() : QKeySequence(it->second);
}

bool IsList(vbide::MsoControlType type) {
    return type == vbide::msoControlDropdown || type == vbide::msoControlComboBox;
}

}  // namespace

CommandBarView::CommandBarView(QMainWindow& window, vbide::CommandBarsPtr bars)
    : window_(window), bars_(std::move(bars)) {}

CommandBarView::~CommandBarView() = default;

void CommandBarView::Build() {
    for (auto& [bar, view] : views_) Clear(view);
    views_.clear();
    controls_.clear();

    auto menuBar = bars_->Item("Menu Bar");
    BarView& menus = views_[menuBar.get()];
    menus.bar = menuBar;
    menus.widget = window_.menuBar();
    Fill(menus);

    if (!toolbar_) {
        toolbar_ = new QToolBar("Standard", &window_);
        toolbar_->setObjectName("Standard");
        toolbar_->setIconSize(QSize(16, 16));
        toolbar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
        window_.addToolBar(Qt::TopToolBarArea, toolbar_);
    }
    auto standard = bars_->Item("Standard");
    BarView& tools = views_[standard.get()];
    tools.bar = standard;
    tools.widget = toolbar_;
    tools.toolbar = true;
    Fill(tools);
    toolbar_->setVisible(standard->Visible());
}

void CommandBarView::ControlsChanged(const vbide::CommandBarPtr& bar) {
    auto it = views_.find(bar.get());
    if (it == views_.end()) return;
    Fill(it->second);
}

void CommandBarView::ControlChanged(const vbide::CommandBarControlPtr& control) {
    auto it = controls_.find(control.get());
    if (it != controls_.end()) Apply(it->second);
}

QAction* CommandBarView::ActionFor(const vbide::CommandBarControlPtr& control) const {
    auto it = controls_.find(control.get());
    return it == controls_.end() ? nullptr : it->second.action.data();
}

QComboBox* CommandBarView::ComboFor(const vbide::CommandBarControlPtr& control) const {
    auto it = controls_.find(control.get());
    return it == controls_.end() ? nullptr : it->second.combo.data();
}

QMenu* CommandBarView::MenuFor(const std::string& caption) const {
    for (auto* action : window_.menuBar()->actions())
        if (action->menu() && text::StripAccessKeys(action->text().toStdString()) == caption)
            return action->menu();
    return nullptr;
}

void CommandBarView::Clear(BarView& view) {
    for (auto* child : view.children) Forget(child);
    view.children.clear();
    for (auto& action : view.actions) {
        if (!action) continue;
        if (view.widget) view.widget->removeAction(action);
        for (auto it = controls_.begin(); it != controls_.end();)
            it = it->second.action == action ? controls_.erase(it) : std::next(it);
        // Later, not now: the action may be the one whose click is running.
        // A menu owns its own action: deleting the menu deletes both.
        if (QMenu* menu = action->menu(); menu && menu->menuAction() == action) menu->deleteLater();
        else action->deleteLater();
    }
    view.actions.clear();
}

void CommandBarView::Forget(vbide::CommandBar* bar) {
    auto it = views_.find(bar);
    if (it == views_.end()) return;
    Clear(it->second);
    views_.erase(it);
}

void CommandBarView::Fill(BarView& view) {
    Clear(view);
    if (!view.widget) return;
    auto controls = view.bar->Controls();
    const std::int32_t count = controls->Count();
    for (std::int32_t i = 1; i <= count; ++i) {
        auto control = controls->Item(i);
        QAction* action = MakeAction(view, control);
        view.actions.push_back(action);
        view.widget->addAction(action);
    }
    if (auto* menu = qobject_cast<QMenu*>(view.widget.data()); menu && onMenuFilled)
        onMenuFilled(menu, view.bar);
}

QAction* CommandBarView::MakeAction(BarView& view, const vbide::CommandBarControlPtr& control) {
    ControlView item;
    item.control = control;
    const auto type = control->Type();
    std::weak_ptr<vbide::CommandBarControl> weak = control;
    if (type == vbide::msoControlPopup) {
        auto* menu = new QMenu(FromAnsi(control->Caption()), view.widget);
        item.action = menu->menuAction();
        auto own = control->CommandBar();
        BarView& sub = views_[own.get()];
        sub.bar = own;
        sub.widget = menu;
        view.children.push_back(own.get());
        controls_[control.get()] = item;
        Fill(views_[own.get()]);
    } else if (IsList(type)) {
        auto* combo = new QComboBox;
        combo->setObjectName(FromAnsi(control->Caption()));
        combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        combo->setMinimumContentsLength(8);
        auto* action = new QWidgetAction(view.widget);
        action->setDefaultWidget(combo);
        item.action = action;
        item.combo = combo;
        QObject::connect(combo, QOverload<int>::of(&QComboBox::activated), combo, [this, weak](int index) {
            if (auto c = weak.lock(); c && onPick) onPick(c, index + 1);
        });
        controls_[control.get()] = item;
    } else {
        auto* action = new QAction(view.widget);
        if (view.toolbar && control->BuiltIn())
            action->setIcon(ToolbarIcon(control->Id()));
        if (!view.toolbar && control->BuiltIn()) {
            // Editing keys stay the editor's own; the menu only shows them.
            action->setShortcut(ShortcutOf(control->Id()));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        item.action = action;
        QObject::connect(action, &QAction::triggered, action, [this, weak] {
            if (auto c = weak.lock(); c && onChoose) onChoose(c);
        });
        controls_[control.get()] = item;
    }
    Apply(controls_[control.get()]);
    return item.action;
}

void CommandBarView::Apply(ControlView& item) {
    if (!item.action) return;
    auto& c = item.control;
    try {
        const QString caption = FromAnsi(c->Caption());
        item.action->setText(caption);
        item.action->setVisible(c->Visible());
        item.action->setEnabled(c->Enabled());
        std::string tip = c->ToolTipText();
        item.action->setToolTip(FromAnsi(tip.empty() ? text::StripAccessKeys(c->Caption()) : tip));
        if (item.combo) {
            QSignalBlocker block(item.combo);
            item.combo->clear();
            const std::int32_t n = c->ListCount();
            for (std::int32_t i = 1; i <= n; ++i) item.combo->addItem(FromAnsi(c->List(i)));
            item.combo->setCurrentIndex(static_cast<int>(c->ListIndex()) - 1);
            item.combo->setToolTip(item.action->toolTip());
            item.combo->setEnabled(c->Enabled());
        }
    } catch (const vb::VbError&) {
        // A control deleted in the meantime: its bar is rebuilt next.
        item.action->setVisible(false);
    }
}

}  // namespace ide
