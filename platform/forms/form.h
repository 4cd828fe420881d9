#pragma once
// A VB form: a window with its controls, declared as a table, and the life
// cycle VB gives it (Load, Show modal or modeless, Hide, Unload). Tools derive
// their forms from Form, declare the controls in the constructor and override
// the Form_ handlers they need; control events are bound to handler methods.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/forms/control.h"
#include "platform/forms/controls.h"
#include "platform/forms/vb_constants.h"

namespace forms {

// One row of a form's control table, written with designated initialisers:
// {.name = "cmdOK", .kind = ControlKind::CommandButton, .caption = "OK",
//  .left = 4185, .top = 2160, .width = 1260, .height = 345, .tabIndex = 0}.
struct ControlRow {
    const char* name = "";
    int index = -1;  // -1 when the control is not in a control array
    ControlKind kind = ControlKind::Label;
    const char* caption = nullptr;    // nullptr: the control's own default
    const char* container = nullptr;  // nullptr or "" for the form itself
    int containerIndex = -1;          // index of the container in its array, or -1
    int left = 0, top = 0, width = 0, height = 0;  // twips, in the container
    int tabIndex = 0;
};

enum class FormEvent { Loaded, Shown, Hidden, Unloaded, Caption, Geometry, Focus, Activated };

// QueryUnload modes.
inline constexpr int vbFormControlMenu = 0;
inline constexpr int vbFormCode = 1;

class Form {
public:
    using Observer = std::function<void(Form&, FormEvent)>;

    explicit Form(std::string name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const std::string& Name() const { return name_; }

    // Window properties. Sizes are the client area in twips.
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);
    int ScaleWidth() const { return scaleWidth_; }
    int ScaleHeight() const { return scaleHeight_; }
    void SetClientSize(int width, int height);
    int BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(int style) { borderStyle_ = style; }
    bool MinButton() const { return minButton_; }
    void SetMinButton(bool on) { minButton_ = on; }
    bool MaxButton() const { return maxButton_; }
    void SetMaxButton(bool on) { maxButton_ = on; }
    // Whether the window has a button of its own on the task bar (the views
    // show a form without one as a tool window).
    bool ShowInTaskbar() const { return showInTaskbar_; }
    void SetShowInTaskbar(bool on) { showInTaskbar_ = on; }
    // 0 manual, 1 centre on the owner, 2 centre on the screen.
    int StartUpPosition() const { return startUpPosition_; }
    void SetStartUpPosition(int position) { startUpPosition_ = position; }
    // The form's font; controls declared after it is set take it as theirs.
    const forms::Font& Font() const { return font_; }
    void SetFont(const forms::Font& font) { font_ = font; }
    unsigned BackColor() const { return backColor_; }
    void SetBackColor(unsigned color) { backColor_ = color; }
    // The title of the program or library the form belongs to (VB's
    // App.Title): it heads the report of an untrapped run-time error.
    const std::string& AppTitle() const { return appTitle_; }
    void SetAppTitle(std::string title) { appTitle_ = std::move(title); }
    // "icon:<name>" of one of the suite's icons, or empty.
    const std::string& Icon() const { return icon_; }
    void SetIcon(const std::string& icon) { icon_ = icon; }

    // Declares controls from a table; containers must come before their contents.
    void AddControls(const std::vector<ControlRow>& rows);
    Control& AddControl(const ControlRow& row);

    // A control by name and index (-1 for one not in an array); error 340
    // ("Control array element does not exist") or 730 when missing.
    Control& Ctl(std::string_view name, int index = -1) const;
    template <class T>
    T& Get(std::string_view name, int index = -1) const {
        return dynamic_cast<T&>(Ctl(name, index));
    }
    Control* Find(std::string_view name, int index = -1) const;
    // Every control in declaration order.
    std::vector<Control*> Controls() const;
    // Controls that can take the focus, in tab order.
    std::vector<Control*> TabOrder() const;

    // Life cycle.
    bool IsLoaded() const { return loaded_; }
    // Runs Form_Load once; Show loads a form that is not loaded.
    void Load();
    // Shows the form. Modal: returns when the form has been hidden or unloaded.
    void Show(int modal = vbModeless);
    bool Visible() const { return visible_; }
    bool IsModal() const { return modal_; }
    void Hide();
    // Asks QueryUnload and Unload (either may cancel); a form that unloads is
    // hidden and no longer loaded. Answers whether it unloaded.
    bool Unload(int mode = vbFormCode);

    // Focus.
    Control* ActiveControl() const { return activeControl_; }
    void SetActiveControl(Control* control);

    // User actions, as the window delivers them. Each is delivered through
    // DeliverUserAction: an error its handlers do not trap goes no further.
    // A key typed in the form: Enter presses the default button (or the
    // focused button), Escape the cancel button; other keys go to the focused
    // control.
    void UserKeyPress(int keyAscii);
    // Alt + letter: presses, selects or focuses the control with that access key.
    bool UserAccessKey(char letter);
    // Tab and Shift+Tab.
    void UserTab(bool backwards = false);
    // The window's close box.
    void UserClose();

    int AddObserver(Observer observer);
    void RemoveObserver(int id);
    void NotifyControlFocus();

protected:
    // Handlers a form may override.
    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    virtual void Form_QueryUnload(int& cancel, int unloadMode) {
        (void)cancel;
        (void)unloadMode;
    }
    virtual void Form_Unload(int& cancel) { (void)cancel; }

private:
    void Notify(FormEvent what);
    CommandButton* FindButton(bool wantDefault) const;
    // The user actions' work, inside their delivery.
    void KeyPress(int keyAscii);
    bool AccessKey(char letter);
    void Tab(bool backwards);

    std::string name_;
    std::string caption_;
    int scaleWidth_ = 4800;
    int scaleHeight_ = 3600;
    int borderStyle_ = vbSizable;
    bool minButton_ = true;
    bool maxButton_ = true;
    bool showInTaskbar_ = true;
    int startUpPosition_ = vbStartUpManual;
    forms::Font font_;
    unsigned backColor_ = vbButtonFace;
    std::string icon_;
    std::string appTitle_;
    std::vector<std::unique_ptr<Control>> controls_;
    bool loaded_ = false;
    bool visible_ = false;
    bool modal_ = false;
    Control* activeControl_ = nullptr;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverId_ = 1;
};

}  // namespace forms
