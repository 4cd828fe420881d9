#pragma once
// The two kinds of list that the store operations fill and read: a dialog
// list box (positions from 0, -1 for no selection, optionally a check box on
// each entry) and the toolbar drop-down (positions from 1, 0 for no
// selection). The operations see both through ListView and ask which kind
// they hold, as the add-in asks whether its control is a dialog list box.

#include <string>

#include "contract/vbide.h"

namespace forms {
class ListBox;
}

namespace config {

class ListView {
public:
    virtual ~ListView() = default;
    // True for a dialog list box, false for the toolbar drop-down.
    virtual bool IsDialogList() const = 0;
    virtual void Clear() = 0;
    // Adds an entry at the end; answers its position.
    virtual std::int32_t AddItem(const std::string& text) = 0;
    virtual std::int32_t ListCount() = 0;
    virtual std::string List(std::int32_t position) = 0;
    virtual std::int32_t ListIndex() = 0;
    // Fails when the position lies outside the list.
    virtual void SetListIndex(std::int32_t position) = 0;
    // Sets an entry's check mark (check-box lists only; error 438 otherwise).
    virtual void SetChecked(std::int32_t position, bool checked) = 0;

    // The position of store entry i (counted from 1), and the value meaning
    // "no selection".
    std::int32_t PositionOf(std::int32_t entry) const { return IsDialogList() ? entry - 1 : entry; }
    std::int32_t NoSelection() const { return IsDialogList() ? -1 : 0; }
};

// A form whose list handlers must not run while code fills or restores its
// lists: filling is not a user action. DialogList counts itself in while it
// works on a list of such a form; the form's handlers return at once while
// `filling` is not zero.
class FillGuardedForm {
public:
    int filling = 0;
};

// A dialog list box. While it exists, the form that holds the box (when it is
// a FillGuardedForm) counts as being filled, so selecting an entry or setting
// a check mark runs none of the form's handlers.
class DialogList : public ListView {
public:
    explicit DialogList(forms::ListBox& box);
    ~DialogList() override;
    DialogList(const DialogList&) = delete;
    DialogList& operator=(const DialogList&) = delete;

    bool IsDialogList() const override { return true; }
    void Clear() override;
    std::int32_t AddItem(const std::string& text) override;
    std::int32_t ListCount() override;
    std::string List(std::int32_t position) override;
    std::int32_t ListIndex() override;
    void SetListIndex(std::int32_t position) override;
    void SetChecked(std::int32_t position, bool checked) override;

private:
    forms::ListBox& box_;
    FillGuardedForm* guarded_;
};

// The toolbar drop-down (a command-bar control of type drop-down). Setting
// its ListIndex from code raises no Click, so it needs no guard.
class ToolbarList : public ListView {
public:
    explicit ToolbarList(vbide::CommandBarControlPtr control);

    bool IsDialogList() const override { return false; }
    void Clear() override;
    std::int32_t AddItem(const std::string& text) override;
    std::int32_t ListCount() override;
    std::string List(std::int32_t position) override;
    std::int32_t ListIndex() override;
    void SetListIndex(std::int32_t position) override;
    void SetChecked(std::int32_t position, bool checked) override;

private:
    vbide::CommandBarControl& Control();
    vbide::CommandBarControlPtr control_;
};

}  // namespace config
