#pragma once
// The headless user interface: it records every message box, form showing,
// pointer change and DoEvents, answers message boxes from a script and runs a
// scripted interaction for each modal form. Tests and scripted runs use it.

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/forms/runtime.h"

namespace forms {

struct MsgBoxRecord {
    std::string prompt;
    int buttons;
    std::string title;
    int answer;
};

class HeadlessUi : public UiBackend {
public:
    using Interaction = std::function<void(Form&)>;

    // The next message box answers this; without one a box answers its
    // default button.
    void QueueAnswer(int answer) { answers_.push_back(answer); }
    // The next modal showing runs this interaction (which should hide the
    // form, as a user's OK or Cancel would); interactions run in order.
    void QueueModal(Interaction interaction) { modals_.push_back(std::move(interaction)); }

    std::vector<MsgBoxRecord> messages;
    std::vector<std::string> shown;  // "Name" or "Name (modal)", in order
    std::vector<int> pointers;       // every mouse-pointer change
    int doEvents = 0;
    bool ended = false;  // End was called
    int pendingModals() const { return static_cast<int>(modals_.size()); }

    int MsgBox(const std::string& prompt, int buttons, const std::string& title) override;
    void ShowForm(Form& form, bool modal) override;
    void FormHidden(Form& form) override;
    void FormUnloaded(Form& form) override;
    // A form shown and not yet hidden, by name (a modeless dialog a test
    // wants to drive); nullptr when none is.
    Form* VisibleForm(const std::string& name) const;
    void DoEvents() override { ++doEvents; }
    void MousePointerChanged(int pointer) override { pointers.push_back(pointer); }
    void End() override { ended = true; }

private:
    std::deque<int> answers_;
    std::deque<Interaction> modals_;
    std::vector<Form*> visible_;
};

// The answer a message box gives when its default button is pressed.
int DefaultAnswer(int buttons);

// Installs a HeadlessUi for the life of the object (tests).
class ScopedHeadlessUi : public HeadlessUi {
public:
    ScopedHeadlessUi();
    ~ScopedHeadlessUi() override;
};

}  // namespace forms
