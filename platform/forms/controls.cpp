#include "platform/forms/controls.h"

#include <algorithm>

#include "base/text.h"
#include "base/vb_error.h"
#include "platform/forms/form.h"
#include "platform/forms/runtime.h"

namespace forms {

namespace {

// A key typed into an edit field with the selection [start, start + length):
// BackSpace deletes the selection or the character before the caret, a
// printable character replaces the selection (none beyond maxLength, when
// above 0). Answers false when the key edits nothing.
bool EditAtCaret(std::string& text, int& start, int& length, int key, int maxLength) {
    if (key == vbKeyBack) {
        if (length > 0) {
            text.erase(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        } else if (start > 0) {
            text.erase(static_cast<std::size_t>(start - 1), 1);
            --start;
        } else {
            return false;
        }
    } else if (key >= 32 && key <= 255 && key != 127) {
        if (maxLength > 0 && static_cast<int>(text.size()) - length >= maxLength) return false;
        text.replace(static_cast<std::size_t>(start), static_cast<std::size_t>(length), 1, static_cast<char>(key));
        ++start;
    } else {
        return false;  // control characters edit nothing
    }
    length = 0;
    return true;
}

}  // namespace

// ---- Label ---------------------------------------------------------------

Label::Label(Form& form, std::string name, int index)
    : Control(form, ControlKind::Label, std::move(name), index) {}

void Label::SetAlignment(int alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Notify(Property::Caption);
}

void Label::OnUserClick() {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    RaiseClick();
}

// ---- TextBox -------------------------------------------------------------

TextBox::TextBox(Form& form, std::string name, int index)
    : Control(form, ControlKind::TextBox, std::move(name), index) {}

void TextBox::SetText(const std::string& text) {
    if (text == text_) return;
    text_ = text;
    if (maxLength_ > 0 && static_cast<int>(text_.size()) > maxLength_) text_.resize(maxLength_);
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    selLength_ = 0;
    Notify(Property::Text);
    RaiseChange();
}

void TextBox::SetSelStart(int start) {
    selStart_ = std::clamp(start, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
    Notify(Property::Selection);
}

void TextBox::SetSelLength(int length) {
    selLength_ = std::clamp(length, 0, static_cast<int>(text_.size()) - selStart_);
    Notify(Property::Selection);
}

bool TextBox::OnUserKeyPress(int keyAscii) {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return false;
    int key = RaiseKeyPress(keyAscii);
    if (key == 0) return false;
    if (locked_) return true;
    std::string text = text_;
    int start = selStart_;
    int length = selLength_;
    if (!EditAtCaret(text, start, length, key, maxLength_)) return true;
    selStart_ = start;
    selLength_ = 0;
    if (text != text_) {
        text_ = text;
        Notify(Property::Text);
        RaiseChange();
    }
    Notify(Property::Selection);
    return true;
}

void TextBox::UserType(const std::string& text) {
    SetFocus();
    for (unsigned char c : text) Parent().UserKeyPress(c);
}

void TextBox::UserReplaceSelection(const std::string& text) {
    if (!EffectivelyEnabled() || locked_) return;
    DeliverUserAction(Parent(), [&] {
        std::string next = text_;
        next.replace(selStart_, selLength_, text);
        int caret = selStart_ + static_cast<int>(text.size());
        SetText(next);
        selStart_ = std::min(caret, static_cast<int>(text_.size()));
        selLength_ = 0;
        Notify(Property::Selection);
    });
}

// ---- CommandButton -------------------------------------------------------

CommandButton::CommandButton(Form& form, std::string name, int index)
    : Control(form, ControlKind::CommandButton, std::move(name), index) {}

void CommandButton::SetDefault(bool isDefault) {
    // A form has at most one default button.
    if (isDefault)
        for (Control* c : Parent().Controls())
            if (auto* b = dynamic_cast<CommandButton*>(c); b && b != this) b->default_ = false;
    default_ = isDefault;
}

void CommandButton::SetCancel(bool isCancel) {
    if (isCancel)
        for (Control* c : Parent().Controls())
            if (auto* b = dynamic_cast<CommandButton*>(c); b && b != this) b->cancel_ = false;
    cancel_ = isCancel;
}

void CommandButton::SetValue(bool value) {
    if (value) RaiseClick();
}

void CommandButton::OnUserClick() {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    SetFocus();
    RaiseClick();
}

bool CommandButton::OnUserKeyPress(int keyAscii) {
    int key = RaiseKeyPress(keyAscii);
    if (key == ' ') UserClick();
    return key != 0;
}

// ---- CheckBox ------------------------------------------------------------

CheckBox::CheckBox(Form& form, std::string name, int index)
    : Control(form, ControlKind::CheckBox, std::move(name), index) {}

void CheckBox::SetValue(int value) {
    if (value < 0 || value > 2) throw vb::VbError(380, Name());
    if (value == value_) return;
    value_ = value;
    Notify(Property::Value);
    RaiseClick();
}

void CheckBox::OnUserClick() {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    SetFocus();
    SetValue(value_ == vbChecked ? vbUnchecked : vbChecked);
}

bool CheckBox::OnUserKeyPress(int keyAscii) {
    int key = RaiseKeyPress(keyAscii);
    if (key == ' ') UserClick();
    return key != 0;
}

// ---- OptionButton --------------------------------------------------------

OptionButton::OptionButton(Form& form, std::string name, int index)
    : Control(form, ControlKind::OptionButton, std::move(name), index) {}

void OptionButton::SetValue(bool value) {
    if (!value) {
        if (value_) {
            value_ = false;
            Notify(Property::Value);
        }
        return;
    }
    for (Control* c : Parent().Controls()) {
        auto* other = dynamic_cast<OptionButton*>(c);
        if (other && other != this && other->Container() == Container() && other->value_) {
            other->value_ = false;
            other->Notify(Property::Value);
        }
    }
    value_ = true;
    Notify(Property::Value);
    RaiseClick();
}

void OptionButton::OnUserClick() {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    SetFocus();
    if (!value_) SetValue(true);
}

// ---- Frame ---------------------------------------------------------------

Frame::Frame(Form& form, std::string name, int index)
    : Control(form, ControlKind::Frame, std::move(name), index) {}

// ---- ListControl ---------------------------------------------------------

ListControl::ListControl(Form& form, ControlKind kind, std::string name, int index)
    : Control(form, kind, std::move(name), index) {}

void ListControl::CheckPosition(int position, const char* what) const {
    if (position < 0 || position >= ListCount())
        throw vb::VbError(381, Name() + "." + what);
}

std::string ListControl::List(int position) const {
    if (position < 0 || position >= ListCount()) return {};
    return items_[position].text;
}

long ListControl::ItemData(int position) const {
    CheckPosition(position, "ItemData");
    return items_[position].data;
}

void ListControl::SetItemData(int position, long data) {
    CheckPosition(position, "ItemData");
    items_[position].data = data;
}

void ListControl::AddItem(const std::string& text, int position) {
    if (position > ListCount()) throw vb::VbError(5, Name() + ".AddItem");
    if (position < 0) {
        position = ListCount();
        if (sorted_) {
            auto it = std::upper_bound(items_.begin(), items_.end(), text,
                                       [](const std::string& t, const Item& item) {
                                           return text::LessNoCase(t, item.text);
                                       });
            position = static_cast<int>(it - items_.begin());
        }
    }
    items_.insert(items_.begin() + position, Item{text});
    if (listIndex_ >= position) ++listIndex_;
    newIndex_ = position;
    Notify(Property::List);
}

void ListControl::RemoveItem(int position) {
    CheckPosition(position, "RemoveItem");
    items_.erase(items_.begin() + position);
    if (listIndex_ == position) listIndex_ = -1;
    else if (listIndex_ > position) --listIndex_;
    Notify(Property::List);
}

void ListControl::Clear() {
    items_.clear();
    listIndex_ = -1;
    newIndex_ = -1;
    Notify(Property::List);
}

void ListControl::SelectSilently(int position) {
    if (position == listIndex_) return;
    listIndex_ = position;
    Notify(Property::ListIndex);
}

void ListControl::SetListIndex(int position) {
    if (position < -1 || position >= ListCount()) throw vb::VbError(380, Name() + ".ListIndex");
    SelectSilently(position);
    RaiseClick();
}

void ListControl::UserSelect(int position) {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    if (position < 0 || position >= ListCount()) return;
    DeliverUserAction(Parent(), [&] {
        if (CanFocus()) SetFocus();
        SetListIndex(position);
    });
}

void ListControl::UserMove(ListMove move, int pageSize) {
    const int count = ListCount();
    if (count == 0) return;
    const int from = listIndex_;
    const int page = std::max(1, pageSize - 1);
    int to = 0;
    if (from >= 0) {
        switch (move) {
            case ListMove::Up: to = from - 1; break;
            case ListMove::Down: to = from + 1; break;
            case ListMove::PageUp: to = from - page; break;
            case ListMove::PageDown: to = from + page; break;
            case ListMove::Home: to = 0; break;
            case ListMove::End: to = count - 1; break;
        }
        to = std::clamp(to, 0, count - 1);
    } else if (move == ListMove::End) {
        to = count - 1;
    }
    if (to != from) UserSelect(to);
}

// ---- ListBox -------------------------------------------------------------

ListBox::ListBox(Form& form, std::string name, int index)
    : ListControl(form, ControlKind::ListBox, std::move(name), index) {}

bool ListBox::Selected(int position) const {
    CheckPosition(position, "Selected");
    return style_ == vbListBoxCheckbox ? Items()[position].checked : position == ListIndex();
}

void ListBox::SetSelected(int position, bool selected) {
    CheckPosition(position, "Selected");
    if (style_ == vbListBoxCheckbox) {
        if (Items()[position].checked == selected) return;
        Items()[position].checked = selected;
        Notify(Property::Checks);
        if (onItemCheck) onItemCheck(position);
        return;
    }
    if (selected) SetListIndex(position);
    else if (ListIndex() == position) SetListIndex(-1);
}

int ListBox::FindPrefix(int startIndex, const std::string& prefix) const {
    int count = ListCount();
    int first = (startIndex < 0 || startIndex >= count) ? 0 : startIndex + 1;
    for (int n = 0; n < count; ++n) {
        int i = (first + n) % count;
        if (text::StartsWithNoCase(Items()[i].text, prefix)) return i;
    }
    return -1;
}

int ListBox::SelectString(int startIndex, const std::string& prefix) {
    const int position = FindPrefix(startIndex, prefix);
    if (position >= 0) SelectSilently(position);
    return position;
}

void ListBox::SetHorizontalExtent(int pixels) {
    horizontalExtent_ = std::max(0, pixels);
    Notify(Property::Extent);
}

void ListBox::UserToggleCheck(int position) {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    if (style_ != vbListBoxCheckbox || position < 0 || position >= ListCount()) return;
    DeliverUserAction(Parent(), [&] {
        SetFocus();
        if (ListIndex() != position) SetListIndex(position);
        SetSelected(position, !Items()[position].checked);
    });
}

bool ListBox::OnUserKeyPress(int keyAscii) {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return false;
    const int key = RaiseKeyPress(keyAscii);
    if (key == 0 || ListCount() == 0) return key != 0;
    if (key == ' ') {
        const int position = std::max(ListIndex(), 0);
        if (style_ == vbListBoxCheckbox) UserToggleCheck(position);
        else UserSelect(position);
    } else if (key > ' ') {
        const int position = FindPrefix(ListIndex(), std::string(1, static_cast<char>(key)));
        if (position >= 0) UserSelect(position);
    }
    return true;
}

// ---- ComboBox ------------------------------------------------------------

ComboBox::ComboBox(Form& form, std::string name, int index)
    : ListControl(form, ControlKind::ComboBox, std::move(name), index) {}

void ComboBox::SetText(const std::string& text) {
    if (style_ == vbComboDropdownList) {
        // A drop-down list takes only the text of one of its entries.
        for (int i = 0; i < ListCount(); ++i)
            if (List(i) == text) {
                SetListIndex(i);
                return;
            }
        if (!text.empty()) throw vb::VbError(383, Name() + ".Text");
        SelectSilently(-1);
        return;
    }
    if (text == text_) return;
    text_ = text;
    selStart_ = static_cast<int>(text_.size());
    selLength_ = 0;
    if (ListIndex() >= 0 && List(ListIndex()) != text_) SelectSilently(-1);
    Notify(Property::Text);
    RaiseChange();
}

void ComboBox::SetSelStart(int start) {
    selStart_ = std::clamp(start, 0, static_cast<int>(text_.size()));
    selLength_ = 0;
    Notify(Property::Selection);
}

void ComboBox::SetSelLength(int length) {
    selLength_ = std::clamp(length, 0, static_cast<int>(text_.size()) - selStart_);
    Notify(Property::Selection);
}

void ComboBox::SetListIndex(int position) {
    if (position < -1 || position >= ListCount()) throw vb::VbError(380, Name() + ".ListIndex");
    SelectSilently(position);
    std::string text = position >= 0 ? List(position) : std::string();
    if (text != text_) {
        text_ = text;
        selStart_ = static_cast<int>(text_.size());
        selLength_ = 0;
        Notify(Property::Text);
        if (style_ != vbComboDropdownList) RaiseChange();
    }
    RaiseClick();
}

bool ComboBox::OnUserKeyPress(int keyAscii) {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return false;
    int key = RaiseKeyPress(keyAscii);
    if (key == 0 || style_ == vbComboDropdownList) return key != 0;
    std::string text = text_;
    int start = selStart_;
    int length = selLength_;
    if (!EditAtCaret(text, start, length, key, 0)) return true;
    SetText(text);
    selStart_ = std::min(start, static_cast<int>(text_.size()));
    selLength_ = 0;
    Notify(Property::Selection);
    return true;
}

void ComboBox::UserType(const std::string& text) {
    SetFocus();
    for (unsigned char c : text) Parent().UserKeyPress(c);
}

// ---- Image, PictureBox, Line --------------------------------------------

Image::Image(Form& form, std::string name, int index)
    : Control(form, ControlKind::Image, std::move(name), index) {}

void Image::SetPicture(const std::string& picture) {
    picture_ = picture;
    Notify(Property::Picture);
}

PictureBox::PictureBox(Form& form, std::string name, int index)
    : Control(form, ControlKind::PictureBox, std::move(name), index) {}

void PictureBox::SetPicture(const std::string& picture) {
    picture_ = picture;
    Notify(Property::Picture);
}

Line::Line(Form& form, std::string name, int index)
    : Control(form, ControlKind::Line, std::move(name), index) {}

void Line::SetPoints(int x1, int y1, int x2, int y2) { Move(x1, y1, x2 - x1, y2 - y1); }

void Line::SetBorderWidth(int width) {
    borderWidth_ = std::max(1, width);
    Notify(Property::Geometry);
}

}  // namespace forms
