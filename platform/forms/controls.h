#pragma once
// The VB controls of the forms runtime. Each keeps the state VB keeps and raises
// the events VB raises, both when code sets a property and when the user acts.

#include <string>
#include <vector>

#include "platform/forms/control.h"
#include "platform/forms/vb_constants.h"

namespace forms {

class Label : public Control {
public:
    Label(Form& form, std::string name, int index);
    bool CanFocus() const override { return false; }
    // 0 left, 1 right, 2 centre.
    int Alignment() const { return alignment_; }
    void SetAlignment(int alignment);
    // A click on a label raises its Click and leaves the focus where it is;
    // only the label's access key moves the focus on (Form::UserAccessKey).
    void OnUserClick() override;

private:
    int alignment_ = 0;
};

class TextBox : public Control {
public:
    TextBox(Form& form, std::string name, int index);
    const std::string& Text() const { return text_; }
    // Raises Change when the text differs from what the box holds.
    void SetText(const std::string& text);
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelStart(int start);
    void SetSelLength(int length);
    // A single-line box. A locked box takes the focus and KeyPress but
    // edits nothing; a MaxLength above 0 limits the text to that many
    // characters, typed or set.
    bool Locked() const { return locked_; }
    void SetLocked(bool locked) { locked_ = locked; }
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int maxLength) { maxLength_ = maxLength; }

    // A typed key: KeyPress first; a key that survives edits the text at the
    // caret (Backspace deletes, printable characters replace the selection).
    // Answers whether the key survived KeyPress.
    bool OnUserKeyPress(int keyAscii) override;
    // Types each character of text through UserKeyPress, with the focus here.
    void UserType(const std::string& text);
    // The user replaced the selection with text in one step (a paste that
    // KeyPress did not discard).
    void UserReplaceSelection(const std::string& text);

private:
    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
    bool locked_ = false;
    int maxLength_ = 0;
};

class CommandButton : public Control {
public:
    CommandButton(Form& form, std::string name, int index);
    // The default button is pressed by Enter, the cancel button by Escape.
    bool Default() const { return default_; }
    void SetDefault(bool isDefault);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool isCancel);
    // Setting Value to True presses the button in code.
    void SetValue(bool value);
    void OnUserClick() override;
    bool OnUserKeyPress(int keyAscii) override;

private:
    bool default_ = false;
    bool cancel_ = false;
};

class CheckBox : public Control {
public:
    CheckBox(Form& form, std::string name, int index);
    // 0 cleared, 1 ticked, 2 grayed.
    int Value() const { return value_; }
    // Raises Click when the value changes.
    void SetValue(int value);
    // A click ticks a cleared or grayed box and clears a ticked one.
    void OnUserClick() override;
    bool OnUserKeyPress(int keyAscii) override;

private:
    int value_ = 0;
};

class OptionButton : public Control {
public:
    OptionButton(Form& form, std::string name, int index);
    bool Value() const { return value_; }
    // True selects this button, clears the other option buttons of the same
    // container and raises Click; False only clears it.
    void SetValue(bool value);
    // A click on an unselected button selects it.
    void OnUserClick() override;

private:
    bool value_ = false;
};

class Frame : public Control {
public:
    Frame(Form& form, std::string name, int index);
    bool CanFocus() const override { return false; }
};

// The keys that move the selection of a list.
enum class ListMove { Up, Down, PageUp, PageDown, Home, End };

// Shared by ListBox and ComboBox: entries with item data and a selected position.
//
// What counts as the user picking an entry (and so raises Click) is decided
// here, not by a view: a mouse click on an entry (also on the selected one)
// or a drag onto another, a key that moves the selection (UserMove), Space,
// or a typed letter
// (ListBox::UserKeyPress). A list that merely receives the focus picks
// nothing, and a view must not report a change of its own current row as a
// pick.
class ListControl : public Control {
public:
    ListControl(Form& form, ControlKind kind, std::string name, int index);

    int ListCount() const { return static_cast<int>(items_.size()); }
    // The text at a position; VB answers "" for a position past the end.
    std::string List(int position) const;
    long ItemData(int position) const;
    void SetItemData(int position, long data);
    // Adds an entry at the end (or at position; sorted lists insert in order)
    // and sets NewIndex. Raises nothing.
    void AddItem(const std::string& text, int position = -1);
    void RemoveItem(int position);
    // Empties the list and its selection. Raises nothing.
    void Clear();
    int NewIndex() const { return newIndex_; }
    // A sorted list inserts each new entry in order, ignoring case.
    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted) { sorted_ = sorted; }
    int ListIndex() const { return listIndex_; }
    // Selects a position (-1 for none) and raises Click, as VB does when code
    // sets ListIndex. A position outside the list raises error 380.
    virtual void SetListIndex(int position);

    // The user picks an entry (mouse or keyboard): selects it and raises Click,
    // also when it was already the selected one.
    void UserSelect(int position);
    // The user moves the selection with a key; pageSize is the number of
    // entries the view shows at once. From no selection every key lands on
    // the first entry. Picks the entry it lands on unless that is the
    // selected one already (the selection did not move).
    void UserMove(ListMove move, int pageSize);

protected:
    struct Item {
        std::string text;
        long data = 0;
        bool checked = false;
    };
    std::vector<Item>& Items() { return items_; }
    const std::vector<Item>& Items() const { return items_; }
    // Changes the selection without raising Click.
    void SelectSilently(int position);
    void CheckPosition(int position, const char* what) const;

private:
    std::vector<Item> items_;
    int listIndex_ = -1;
    int newIndex_ = -1;
    bool sorted_ = false;
};

class ListBox : public ListControl {
public:
    ListBox(Form& form, std::string name, int index);
    // vbListBoxStandard, or vbListBoxCheckbox: a check box on each entry.
    int Style() const { return style_; }
    void SetStyle(int style) { style_ = style; }
    // For a check-box list: the entry's check mark; for a plain list: whether
    // the entry is the selected one.
    bool Selected(int position) const;
    // Check-box list: sets the check mark and raises ItemCheck when it changes.
    // Plain list: selects the entry (or clears the selection) and raises Click.
    void SetSelected(int position, bool selected);
    std::function<void(int item)> onItemCheck;

    // LB_SELECTSTRING: selects the first entry after startIndex (-1: from the
    // top, wrapping round) whose text begins with prefix, ignoring case.
    // Raises nothing; answers the position or -1 (selection unchanged).
    int SelectString(int startIndex, const std::string& prefix);
    // LB_SETHORIZONTALEXTENT, in pixels.
    int HorizontalExtent() const { return horizontalExtent_; }
    void SetHorizontalExtent(int pixels);

    // The user toggles an entry's check box: the entry becomes the selected
    // one (Click), then its check mark flips (ItemCheck).
    void UserToggleCheck(int position);
    // A key typed in the list, after KeyPress: Space picks the selected entry
    // (the first when none is) or, in a check-box list, toggles its check
    // mark; a printable character picks the next entry that begins with it.
    bool OnUserKeyPress(int keyAscii) override;

private:
    // The first entry after startIndex (wrapping round) that begins with
    // prefix, ignoring case; -1 when none does.
    int FindPrefix(int startIndex, const std::string& prefix) const;

    int style_ = vbListBoxStandard;
    int horizontalExtent_ = 0;
};

class ComboBox : public ListControl {
public:
    ComboBox(Form& form, std::string name, int index);
    // vbComboDropDown (editable) or vbComboDropdownList.
    int Style() const { return style_; }
    void SetStyle(int style) { style_ = style; }
    const std::string& Text() const { return text_; }
    // Sets the edit text and raises Change when it differs; the selection is
    // kept only when the text is the selected entry's text.
    void SetText(const std::string& text);
    // Selecting an entry also puts its text into the edit field.
    void SetListIndex(int position) override;
    // The caret and selection in the edit field, as a text box keeps them.
    // Text set by code puts the caret after it.
    int SelStart() const { return selStart_; }
    int SelLength() const { return selLength_; }
    void SetSelStart(int start);
    void SetSelLength(int length);
    // KeyPress first; a key that survives edits the text at the caret, as
    // in a text box.
    bool OnUserKeyPress(int keyAscii) override;
    // The user types into the edit field.
    void UserType(const std::string& text);

private:
    int style_ = vbComboDropDown;
    std::string text_;
    int selStart_ = 0;
    int selLength_ = 0;
};

class Image : public Control {
public:
    Image(Form& form, std::string name, int index);
    bool CanFocus() const override { return false; }
    // A named picture: "icon:<name>" for one of the suite's icons.
    const std::string& Picture() const { return picture_; }
    void SetPicture(const std::string& picture);

private:
    std::string picture_;
};

class PictureBox : public Control {
public:
    PictureBox(Form& form, std::string name, int index);
    bool CanFocus() const override { return false; }
    const std::string& Picture() const { return picture_; }
    void SetPicture(const std::string& picture);

private:
    std::string picture_;
};

// A line between two points in twips of its container (X1, Y1, X2, Y2).
class Line : public Control {
public:
    Line(Form& form, std::string name, int index);
    bool CanFocus() const override { return false; }
    int X1() const { return Left(); }
    int Y1() const { return Top(); }
    int X2() const { return Left() + Width(); }
    int Y2() const { return Top() + Height(); }
    void SetPoints(int x1, int y1, int x2, int y2);
    unsigned BorderColor() const { return ForeColor(); }
    void SetBorderColor(unsigned color) { SetForeColor(color); }
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

private:
    int borderWidth_ = 1;
};

}  // namespace forms
