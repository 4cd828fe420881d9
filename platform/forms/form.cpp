#include "platform/forms/form.h"

#include <algorithm>

#include "base/text.h"
#include "base/vb_error.h"
#include "platform/forms/runtime.h"

namespace forms {

namespace {

std::unique_ptr<Control> MakeControl(Form& form, ControlKind kind, const std::string& name,
                                     int index) {
    switch (kind) {
        case ControlKind::Label: return std::make_unique<Label>(form, name, index);
        case ControlKind::TextBox: return std::make_unique<TextBox>(form, name, index);
        case ControlKind::CommandButton: return std::make_unique<CommandButton>(form, name, index);
        case ControlKind::CheckBox: return std::make_unique<CheckBox>(form, name, index);
        case ControlKind::OptionButton: return std::make_unique<OptionButton>(form, name, index);
        case ControlKind::Frame: return std::make_unique<Frame>(form, name, index);
        case ControlKind::ListBox: return std::make_unique<ListBox>(form, name, index);
        case ControlKind::ComboBox: return std::make_unique<ComboBox>(form, name, index);
        case ControlKind::Image: return std::make_unique<Image>(form, name, index);
        case ControlKind::PictureBox: return std::make_unique<PictureBox>(form, name, index);
        case ControlKind::Line: return std::make_unique<Line>(form, name, index);
    }
    return nullptr;
}

}  // namespace

Form::Form(std::string name) : name_(std::move(name)), caption_(name_) {}

Form::~Form() {
    if (visible_) Ui().FormHidden(*this);
    if (loaded_) Ui().FormUnloaded(*this);
}

void Form::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Notify(FormEvent::Caption);
}

void Form::SetClientSize(int width, int height) {
    scaleWidth_ = width;
    scaleHeight_ = height;
    Notify(FormEvent::Geometry);
}

void Form::AddControls(const std::vector<ControlRow>& rows) {
    for (const ControlRow& row : rows) AddControl(row);
}

Control& Form::AddControl(const ControlRow& row) {
    if (Find(row.name, row.index))
        throw vb::VbError(360, name_, std::string("Object already loaded: ") + row.name);
    auto control = MakeControl(*this, row.kind, row.name, row.index);
    if (row.container && *row.container)
        control->SetContainer(&Ctl(row.container, row.containerIndex));
    if (row.caption) control->SetCaption(row.caption);
    control->Move(row.left, row.top, row.width, row.height);
    control->SetTabIndex(row.tabIndex);
    controls_.push_back(std::move(control));
    return *controls_.back();
}

Control* Form::Find(std::string_view name, int index) const {
    for (const auto& c : controls_)
        if (c->Name() == name && c->Index() == index) return c.get();
    return nullptr;
}

Control& Form::Ctl(std::string_view name, int index) const {
    if (Control* c = Find(name, index)) return *c;
    throw vb::VbError(index >= 0 ? 340 : 730, name_,
                      std::string("Control '") + std::string(name) + "' not found");
}

std::vector<Control*> Form::Controls() const {
    std::vector<Control*> out;
    out.reserve(controls_.size());
    for (const auto& c : controls_) out.push_back(c.get());
    return out;
}

std::vector<Control*> Form::TabOrder() const {
    std::vector<Control*> out;
    for (const auto& c : controls_)
        if (c->CanFocus()) out.push_back(c.get());
    std::stable_sort(out.begin(), out.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    return out;
}

void Form::Load() {
    if (loaded_) return;
    loaded_ = true;
    Form_Load();
    Notify(FormEvent::Loaded);
}

void Form::Show(int modal) {
    Load();
    if (!loaded_) return;  // Form_Load unloaded the form
    if (visible_ && modal_ == (modal == vbModal)) {
        Notify(FormEvent::Activated);
        return;
    }
    visible_ = true;
    modal_ = modal == vbModal;
    if (!activeControl_) {
        for (Control* c : TabOrder())
            if (c->EffectivelyVisible() && c->EffectivelyEnabled() && c->TabStop()) {
                activeControl_ = c;
                break;
            }
    }
    Notify(FormEvent::Shown);
    Form_Activate();
    Notify(FormEvent::Activated);
    Ui().ShowForm(*this, modal_);
}

void Form::Hide() {
    if (!loaded_) Load();
    if (!visible_) return;
    visible_ = false;
    Notify(FormEvent::Hidden);
    Ui().FormHidden(*this);
    modal_ = false;
}

bool Form::Unload(int mode) {
    if (!loaded_) return true;
    int cancel = 0;
    Form_QueryUnload(cancel, mode);
    if (cancel) return false;
    Form_Unload(cancel);
    if (cancel) return false;
    if (visible_) {
        visible_ = false;
        Notify(FormEvent::Hidden);
        Ui().FormHidden(*this);
    }
    modal_ = false;
    loaded_ = false;
    Notify(FormEvent::Unloaded);
    Ui().FormUnloaded(*this);
    return true;
}

void Form::SetActiveControl(Control* control) {
    if (control == activeControl_) return;
    Control* old = activeControl_;
    activeControl_ = control;
    if (old && old->onLostFocus) old->onLostFocus();
    Notify(FormEvent::Focus);
    if (control && control->onGotFocus) control->onGotFocus();
}

void Form::NotifyControlFocus() { Notify(FormEvent::Focus); }

CommandButton* Form::FindButton(bool wantDefault) const {
    for (const auto& c : controls_) {
        auto* b = dynamic_cast<CommandButton*>(c.get());
        if (b && (wantDefault ? b->Default() : b->Cancel()) && b->EffectivelyVisible() &&
            b->EffectivelyEnabled())
            return b;
    }
    return nullptr;
}

void Form::UserKeyPress(int keyAscii) {
    DeliverUserAction(*this, [&] { KeyPress(keyAscii); });
}

void Form::KeyPress(int keyAscii) {
    Control* focus = activeControl_;
    bool focusIsButton = focus && focus->Kind() == ControlKind::CommandButton;
    if (keyAscii == vbKeyReturn && !focusIsButton) {
        if (CommandButton* b = FindButton(true)) {
            b->UserClick();
            return;
        }
    }
    if (keyAscii == vbKeyReturn && focusIsButton) {
        focus->UserClick();
        return;
    }
    if (keyAscii == vbKeyEscape) {
        if (CommandButton* b = FindButton(false)) {
            b->UserClick();
            return;
        }
    }
    if (focus) focus->UserKeyPress(keyAscii);
}

bool Form::UserAccessKey(char letter) {
    bool found = false;
    DeliverUserAction(*this, [&] { found = AccessKey(letter); });
    return found;
}

bool Form::AccessKey(char letter) {
    char want = text::UpperAscii(letter);
    std::vector<Control*> order;
    for (const auto& c : controls_) order.push_back(c.get());
    std::stable_sort(order.begin(), order.end(),
                     [](Control* a, Control* b) { return a->TabIndex() < b->TabIndex(); });
    for (size_t i = 0; i < order.size(); ++i) {
        Control* c = order[i];
        if (c->AccessKey() != want || !c->EffectivelyVisible() || !c->EffectivelyEnabled())
            continue;
        switch (c->Kind()) {
            case ControlKind::CommandButton:
            case ControlKind::CheckBox:
            case ControlKind::OptionButton:
                c->UserClick();
                return true;
            default:
                // A label or frame passes the focus to the next control in tab
                // order that can take it.
                for (size_t j = i + 1; j < order.size(); ++j) {
                    Control* next = order[j];
                    if (next->CanFocus() && next->EffectivelyVisible() &&
                        next->EffectivelyEnabled()) {
                        next->SetFocus();
                        return true;
                    }
                }
                return false;
        }
    }
    return false;
}

void Form::UserTab(bool backwards) {
    DeliverUserAction(*this, [&] { Tab(backwards); });
}

void Form::Tab(bool backwards) {
    std::vector<Control*> order;
    for (Control* c : TabOrder())
        if (c->TabStop() && c->EffectivelyVisible() && c->EffectivelyEnabled()) order.push_back(c);
    if (order.empty()) return;
    auto it = std::find(order.begin(), order.end(), activeControl_);
    int n = static_cast<int>(order.size());
    int pos = it == order.end() ? (backwards ? 0 : -1) : static_cast<int>(it - order.begin());
    pos = backwards ? (pos - 1 + n) % n : (pos + 1) % n;
    order[pos]->SetFocus();
}

void Form::UserClose() {
    DeliverUserAction(*this, [this] { Unload(vbFormControlMenu); });
}

int Form::AddObserver(Observer observer) {
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void Form::RemoveObserver(int id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void Form::Notify(FormEvent what) {
    auto observers = observers_;
    for (auto& [id, observer] : observers) observer(*this, what);
}

}  // namespace forms
