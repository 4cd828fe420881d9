#pragma once
// The Add-In Manager dialog: the add-ins of the list file with their load
// behaviour; OK applies the changes (connects, disconnects, start-up choice).

#include <QDialog>
#include <vector>

#include "apps/ide/addin_host.h"

class QCheckBox;
class QPlainTextEdit;
class QTreeWidget;

namespace ide {

class AddInManagerDialog : public QDialog {
public:
    AddInManagerDialog(AddInHost& host, QWidget* parent = nullptr);

    QTreeWidget* List() const { return list_; }
    QCheckBox* LoadedBox() const { return loaded_; }
    QCheckBox* StartupBox() const { return startup_; }
    // Applies the choices to the host (what OK does).
    void Apply();

private:
    void ShowCurrent();
    void BoxesChanged();
    void Describe(int row);

    AddInHost& host_;
    std::vector<AddInEntry> original_;
    std::vector<AddInEntry> entries_;
    QTreeWidget* list_;
    QPlainTextEdit* description_;
    QCheckBox* loaded_;
    QCheckBox* startup_;
    bool showing_ = false;
};

}  // namespace ide
