#pragma once
// The base of every control of the forms runtime: the properties all VB
// controls share, the events they raise, and the observer hook through which a
// view (the Qt renderer) follows the model.

#include <functional>
#include <string>
#include <vector>

namespace forms {

class Form;

enum class ControlKind {
    Label,
    TextBox,
    CommandButton,
    CheckBox,
    OptionButton,
    Frame,
    ListBox,
    ComboBox,
    Image,
    PictureBox,
    Line,
};

// What changed, for observers.
enum class Property {
    Caption,
    Text,
    Value,
    Enabled,
    Visible,
    Geometry,
    Colors,
    Font,
    List,        // entries added, removed or cleared
    ListIndex,   // the selected position
    Checks,      // check marks of a check-box list
    Selection,   // SelStart/SelLength of a text box
    Extent,      // horizontal extent of a list box
    Focus,
    Picture,
};

struct Font {
    std::string Name = "MS Sans Serif";
    double Size = 8.25;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool operator==(const Font&) const = default;
};

class Control {
public:
    using Observer = std::function<void(Control&, Property)>;

    Control(Form& form, ControlKind kind, std::string name, int index);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    Form& Parent() const { return form_; }
    ControlKind Kind() const { return kind_; }
    const std::string& Name() const { return name_; }
    // Index within a control array; -1 for a control that is not in one.
    int Index() const { return index_; }
    // The frame or picture box that holds this control; nullptr for the form.
    Control* Container() const { return container_; }
    void SetContainer(Control* container) { container_ = container; }

    // Geometry in twips, relative to the container.
    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Move(int left, int top, int width, int height);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // True when this control and every container above it are visible and enabled.
    bool EffectivelyVisible() const;
    bool EffectivelyEnabled() const;
    unsigned BackColor() const { return backColor_; }
    void SetBackColor(unsigned color);
    unsigned ForeColor() const { return foreColor_; }
    void SetForeColor(unsigned color);
    const forms::Font& Font() const { return font_; }
    void SetFont(const forms::Font& font);
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int tabIndex) { tabIndex_ = tabIndex; }
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool tabStop) { tabStop_ = tabStop; }
    // Whether the control can take the focus at all (labels, frames, lines and
    // images cannot).
    virtual bool CanFocus() const { return true; }

    // The access key of the caption: the character after a single "&", upper-cased;
    // 0 when there is none ("&&" is a literal ampersand).
    char AccessKey() const;
    // The caption without its access-key markers.
    std::string DisplayCaption() const;

    void SetFocus();
    bool HasFocus() const;

    // Events, wired by the form to its handlers (the form binds the index of a
    // control array).
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    std::function<void()> onChange;
    std::function<void(int& keyAscii)> onKeyPress;
    std::function<void()> onGotFocus;
    std::function<void()> onLostFocus;

    // User actions, as the window delivers them (through DeliverUserAction).
    // A disabled or hidden control ignores them, as a real window would.
    void UserClick();
    // A key typed while this control has the focus; the form routes Enter and
    // Escape to its default and cancel buttons first.
    // Answers whether the key survived KeyPress.
    bool UserKeyPress(int keyAscii);

    // Observers are told about every property change, from code or from the user.
    int AddObserver(Observer observer);
    void RemoveObserver(int id);

protected:
    // What each kind of control does with a click or a key.
    virtual void OnUserClick();
    virtual bool OnUserKeyPress(int keyAscii);
    void Notify(Property what);
    void RaiseClick() {
        if (onClick) onClick();
    }
    void RaiseChange() {
        if (onChange) onChange();
    }
    // Runs KeyPress; answers the key code after the handler (0 = discarded).
    int RaiseKeyPress(int keyAscii);

private:
    Form& form_;
    ControlKind kind_;
    std::string name_;
    int index_;
    Control* container_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    unsigned backColor_;
    unsigned foreColor_;
    forms::Font font_;
    int tabIndex_ = 0;
    bool tabStop_ = true;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

}  // namespace forms
