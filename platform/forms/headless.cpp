#include "platform/forms/headless.h"

#include <algorithm>
#include <stdexcept>

#include "platform/forms/form.h"

namespace forms {

int DefaultAnswer(int buttons) {
    int defaultButton = (buttons & vbDefaultButton3) ? 2 : (buttons & vbDefaultButton2) ? 1 : 0;
    static const int kAnswers[6][3] = {
        {vbOK, vbOK, vbOK},          {vbOK, vbCancel, vbCancel},   {vbAbort, vbRetry, vbIgnore},
        {vbYes, vbNo, vbCancel},     {vbYes, vbNo, vbNo},          {vbRetry, vbCancel, vbCancel},
    };
    int set = buttons & 7;
    if (set > 5) set = 0;
    return kAnswers[set][defaultButton];
}

int HeadlessUi::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    int answer = DefaultAnswer(buttons);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
    }
    messages.push_back({prompt, buttons, title, answer});
    return answer;
}

void HeadlessUi::ShowForm(Form& form, bool modal) {
    shown.push_back(modal ? form.Name() + " (modal)" : form.Name());
    if (std::find(visible_.begin(), visible_.end(), &form) == visible_.end()) visible_.push_back(&form);
    if (!modal) return;
    Interaction interaction;
    if (!modals_.empty()) {
        interaction = std::move(modals_.front());
        modals_.pop_front();
    }
    if (!interaction)
        throw std::logic_error("headless: modal form '" + form.Name() +
                               "' shown with no interaction to answer it");
    interaction(form);
    // A real modal loop only returns once the form is gone; a scripted user who
    // leaves it open has nobody left to close it, so close it as the window's
    // close box would.
    if (form.Visible()) form.UserClose();
    if (form.Visible()) form.Hide();
}

void HeadlessUi::FormHidden(Form& form) { std::erase(visible_, &form); }

void HeadlessUi::FormUnloaded(Form& form) { std::erase(visible_, &form); }

Form* HeadlessUi::VisibleForm(const std::string& name) const {
    for (Form* form : visible_)
        if (form->Name() == name) return form;
    return nullptr;
}

ScopedHeadlessUi::ScopedHeadlessUi() { SetUi(this); }

ScopedHeadlessUi::~ScopedHeadlessUi() { SetUi(nullptr); }

}  // namespace forms
