#include "platform/forms/control.h"

#include <algorithm>

#include "base/text.h"
#include "platform/forms/form.h"
#include "platform/forms/runtime.h"
#include "platform/forms/vb_constants.h"

namespace forms {

Control::Control(Form& form, ControlKind kind, std::string name, int index)
    : form_(form),
      kind_(kind),
      name_(std::move(name)),
      index_(index),
      backColor_(kind == ControlKind::TextBox || kind == ControlKind::ListBox ||
                         kind == ControlKind::ComboBox
                     ? vbWindowBackground
                     : vbButtonFace),
      foreColor_(kind == ControlKind::CommandButton ? vbButtonText : vbWindowText),
      font_(form.Font()) {}

void Control::Move(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    Notify(Property::Geometry);
}

void Control::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Notify(Property::Caption);
}

void Control::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Notify(Property::Enabled);
}

void Control::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    Notify(Property::Visible);
}

bool Control::EffectivelyVisible() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->visible_) return false;
    return true;
}

bool Control::EffectivelyEnabled() const {
    for (const Control* c = this; c; c = c->container_)
        if (!c->enabled_) return false;
    return true;
}

void Control::SetBackColor(unsigned color) {
    if (color == backColor_) return;
    backColor_ = color;
    Notify(Property::Colors);
}

void Control::SetForeColor(unsigned color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    Notify(Property::Colors);
}

void Control::SetFont(const forms::Font& font) {
    if (font == font_) return;
    font_ = font;
    Notify(Property::Font);
}

char Control::AccessKey() const { return text::AccessKeyOf(caption_); }

std::string Control::DisplayCaption() const { return text::StripAccessKeys(caption_); }

void Control::SetFocus() {
    if (!CanFocus()) return;
    form_.SetActiveControl(this);
}

bool Control::HasFocus() const { return form_.ActiveControl() == this; }

void Control::UserClick() {
    DeliverUserAction(form_, [this] { OnUserClick(); });
}

bool Control::UserKeyPress(int keyAscii) {
    bool survived = false;
    DeliverUserAction(form_, [&] { survived = OnUserKeyPress(keyAscii); });
    return survived;
}

void Control::OnUserClick() {
    if (!EffectivelyEnabled() || !EffectivelyVisible()) return;
    if (CanFocus()) SetFocus();
    RaiseClick();
}

bool Control::OnUserKeyPress(int keyAscii) { return RaiseKeyPress(keyAscii) != 0; }

int Control::RaiseKeyPress(int keyAscii) {
    if (onKeyPress) onKeyPress(keyAscii);
    return keyAscii;
}

int Control::AddObserver(Observer observer) {
    observers_.emplace_back(nextObserverId_, std::move(observer));
    return nextObserverId_++;
}

void Control::RemoveObserver(int id) {
    std::erase_if(observers_, [id](const auto& entry) { return entry.first == id; });
}

void Control::Notify(Property what) {
    // A copy, so an observer may remove itself while being told.
    auto observers = observers_;
    for (auto& [id, observer] : observers) observer(*this, what);
}

}  // namespace forms
