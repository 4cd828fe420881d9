#include "apps/ide/addin_manager.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "base/vb_error.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/runtime.h"

namespace ide {

using forms::qt::FromAnsi;

namespace {

QString Behavior(const AddInEntry& e) {
    QString text = e.loaded ? "Loaded" : "";
    if (e.loadOnStartup) text += text.isEmpty() ? "Startup" : "/Startup";
    return text;
}

}  // namespace

AddInManagerDialog::AddInManagerDialog(AddInHost& host, QWidget* parent)
    : QDialog(parent), host_(host), original_(host.List()), entries_(original_) {
    setWindowTitle("Add-In Manager");
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    list_ = new QTreeWidget;
    list_->setHeaderLabels({"Available Add-Ins", "Load Behavior"});
    list_->setRootIsDecorated(false);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->setMinimumSize(380, 160);
    for (const auto& e : entries_)
        new QTreeWidgetItem(list_, {FromAnsi(e.description.empty() ? e.progId : e.description), Behavior(e)});
    top->addWidget(list_, 1);
    auto* buttons = new QDialogButtonBox(Qt::Vertical);
    buttons->addButton(QDialogButtonBox::Ok);
    buttons->addButton(QDialogButtonBox::Cancel);
    buttons->addButton(QDialogButtonBox::Help)->setEnabled(false);
    top->addWidget(buttons);
    layout->addLayout(top, 1);

    auto* bottom = new QHBoxLayout;
    auto* descriptionBox = new QGroupBox("Description");
    auto* descriptionLayout = new QVBoxLayout(descriptionBox);
    description_ = new QPlainTextEdit;
    description_->setReadOnly(true);
    description_->setMaximumHeight(60);
    descriptionLayout->addWidget(description_);
    bottom->addWidget(descriptionBox, 1);
    auto* behaviorBox = new QGroupBox("Load Behavior");
    auto* behaviorLayout = new QVBoxLayout(behaviorBox);
    loaded_ = new QCheckBox("Loaded/Unloaded");
    startup_ = new QCheckBox("Load on Startup");
    behaviorLayout->addWidget(loaded_);
    behaviorLayout->addWidget(startup_);
    bottom->addWidget(behaviorBox);
    layout->addLayout(bottom);

    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { ShowCurrent(); });
    connect(loaded_, &QCheckBox::toggled, this, [this] { BoxesChanged(); });
    connect(startup_, &QCheckBox::toggled, this, [this] { BoxesChanged(); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Apply();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    if (!entries_.empty()) list_->setCurrentItem(list_->topLevelItem(0));
    ShowCurrent();
}

void AddInManagerDialog::ShowCurrent() {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    {
        QScopedValueRollback guard(showing_, true);
        const bool any = row >= 0;
        loaded_->setEnabled(any);
        startup_->setEnabled(any);
        loaded_->setChecked(any && entries_[static_cast<std::size_t>(row)].loaded);
        startup_->setChecked(any && entries_[static_cast<std::size_t>(row)].loadOnStartup);
    }
    Describe(row);
}

void AddInManagerDialog::Describe(int row) {
    if (row < 0) {
        description_->clear();
        return;
    }
    const auto& e = entries_[static_cast<std::size_t>(row)];
    description_->setPlainText(FromAnsi(e.description.empty() ? e.progId + " (not registered)"
                                                              : e.description + " (" + e.progId + ")"));
}

void AddInManagerDialog::BoxesChanged() {
    if (showing_) return;
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    if (row < 0) return;
    auto& e = entries_[static_cast<std::size_t>(row)];
    e.loaded = loaded_->isChecked();
    e.loadOnStartup = startup_->isChecked();
    list_->topLevelItem(row)->setText(1, Behavior(e));
}

void AddInManagerDialog::Apply() {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const auto& now = entries_[i];
        const auto& before = original_[i];
        try {
            if (now.loadOnStartup != before.loadOnStartup) host_.SetLoadOnStartup(now.progId, now.loadOnStartup);
            if (now.loaded != before.loaded) host_.SetLoaded(now.progId, now.loaded);
        } catch (const vb::VbError& e) {
            forms::MsgBox(e.what(), forms::vbOKOnly | forms::vbExclamation, "Add-In Manager");
        }
    }
    original_ = host_.List();
    entries_ = original_;
    for (std::size_t i = 0; i < entries_.size() && i < static_cast<std::size_t>(list_->topLevelItemCount()); ++i)
        list_->topLevelItem(static_cast<int>(i))->setText(1, Behavior(entries_[i]));
    ShowCurrent();
}

}  // namespace ide
