#include "config/list_view.h"

#include "base/vb_error.h"
#include "platform/forms/controls.h"
#include "platform/forms/form.h"

namespace config {

DialogList::DialogList(forms::ListBox& box)
    : box_(box), guarded_(dynamic_cast<FillGuardedForm*>(&box.Parent())) {
    if (guarded_) ++guarded_->filling;
}

DialogList::~DialogList() {
    if (guarded_) --guarded_->filling;
}

void DialogList::Clear() { box_.Clear(); }

std::int32_t DialogList::AddItem(const std::string& text) {
    box_.AddItem(text);
    return box_.NewIndex();
}

std::int32_t DialogList::ListCount() { return box_.ListCount(); }

std::string DialogList::List(std::int32_t position) { return box_.List(static_cast<int>(position)); }

std::int32_t DialogList::ListIndex() { return box_.ListIndex(); }

void DialogList::SetListIndex(std::int32_t position) { box_.SetListIndex(static_cast<int>(position)); }

void DialogList::SetChecked(std::int32_t position, bool checked) {
    if (box_.Style() != forms::vbListBoxCheckbox) throw vb::VbError(438, box_.Name());
    box_.SetSelected(static_cast<int>(position), checked);
}

ToolbarList::ToolbarList(vbide::CommandBarControlPtr control) : control_(std::move(control)) {}

vbide::CommandBarControl& ToolbarList::Control() {
    // An unset reference is VB's "Object variable not set".
    if (!control_) throw vb::VbError(91, "Config");
    return *control_;
}

void ToolbarList::Clear() { Control().Clear(); }

std::int32_t ToolbarList::AddItem(const std::string& text) {
    Control().AddItem(text);
    return Control().ListCount();
}

std::int32_t ToolbarList::ListCount() { return Control().ListCount(); }

std::string ToolbarList::List(std::int32_t position) { return Control().List(position); }

std::int32_t ToolbarList::ListIndex() { return Control().ListIndex(); }

void ToolbarList::SetListIndex(std::int32_t position) { Control().SetListIndex(position); }

void ToolbarList::SetChecked(std::int32_t, bool) { throw vb::VbError(438, "Config"); }

}  // namespace config
