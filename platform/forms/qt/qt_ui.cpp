#include "platform/forms/qt/qt_ui.h"

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

#include "platform/forms/form.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/qt/form_view.h"

namespace forms::qt {

QtUi::~QtUi() {
    for (auto& [form, view] : views_) delete view;
    while (overrideCursors_-- > 0) QApplication::restoreOverrideCursor();
}

int QtUi::MsgBox(const std::string& prompt, int buttons, const std::string& title) {
    QMessageBox box(QApplication::activeWindow());
    box.setText(FromAnsi(prompt));
    box.setWindowTitle(title.empty() ? QApplication::applicationDisplayName() : FromAnsi(title));
    switch (buttons & 0x70) {
        case vbCritical: box.setIcon(QMessageBox::Critical); break;
        case vbQuestion: box.setIcon(QMessageBox::Question); break;
        case vbExclamation: box.setIcon(QMessageBox::Warning); break;
        case vbInformation: box.setIcon(QMessageBox::Information); break;
        default: box.setIcon(QMessageBox::NoIcon); break;
    }
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    static const std::vector<Choice> kSets[6] = {
        {{QMessageBox::Ok, vbOK}},
        {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}},
        {{QMessageBox::Abort, vbAbort}, {QMessageBox::Retry, vbRetry}, {QMessageBox::Ignore, vbIgnore}},
        {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}},
        {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}},
        {{QMessageBox::Retry, vbRetry}, {QMessageBox::Cancel, vbCancel}},
    };
    const auto& set = kSets[(buttons & 7) <= 5 ? (buttons & 7) : 0];
    for (const Choice& c : set) box.addButton(c.button);
    size_t defaultIndex = (buttons & vbDefaultButton3) ? 2 : (buttons & vbDefaultButton2) ? 1 : 0;
    if (defaultIndex < set.size()) box.setDefaultButton(set[defaultIndex].button);
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    for (const Choice& c : set)
        if (clicked == box.button(c.button)) return c.answer;
    // Closed without a button (Esc or the close box): the cancel answer where
    // there is one, else the only button's.
    for (const Choice& c : set)
        if (c.answer == vbCancel || c.answer == vbNo) return c.answer;
    return set.front().answer;
}

FormView* QtUi::ViewOf(const Form& form) const {
    auto it = views_.find(&form);
    return it == views_.end() ? nullptr : it->second;
}

FormView* QtUi::ViewFor(Form& form) {
    if (FormView* view = ViewOf(form)) return view;
    auto* view = new FormView(form);
    views_[&form] = view;
    if (form.StartUpPosition() != vbStartUpManual) {
        QRect screen = QApplication::primaryScreen() ? QApplication::primaryScreen()->availableGeometry()
                                                     : QRect(0, 0, 1024, 768);
        view->move(screen.center() - view->rect().center());
    }
    return view;
}

void QtUi::ShowForm(Form& form, bool modal) {
    FormView* view = ViewFor(form);
    view->setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    view->show();
    view->raise();
    view->activateWindow();
    if (!modal || !form.Visible()) return;
    QEventLoop loop;
    view->SetModalLoop(&loop);
    loop.exec();
    if (FormView* still = ViewOf(form)) still->SetModalLoop(nullptr);
}

void QtUi::FormHidden(Form& form) {
    FormView* view = ViewOf(form);
    if (!view) return;
    view->hide();
    if (QEventLoop* loop = view->ModalLoop()) loop->quit();
    if (VisibleForms() == 0 && onLastFormGone) onLastFormGone();
}

void QtUi::FormUnloaded(Form& form) {
    FormView* view = ViewOf(form);
    if (!view) return;
    if (QEventLoop* loop = view->ModalLoop()) loop->quit();
    views_.erase(&form);
    // The model may be on its way out; the view lets go of it at once.
    delete view;
    if (VisibleForms() == 0 && onLastFormGone) onLastFormGone();
}

int QtUi::VisibleForms() const {
    int n = 0;
    for (auto& [form, view] : views_)
        if (form->Visible()) ++n;
    return n;
}

void QtUi::DoEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); }

void QtUi::MousePointerChanged(int pointer) {
    if (pointer == vbHourglass) {
        if (overrideCursors_ == 0) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            ++overrideCursors_;
        }
    } else {
        while (overrideCursors_ > 0) {
            QApplication::restoreOverrideCursor();
            --overrideCursors_;
        }
    }
}

void QtUi::End() {
    if (keepRunningOnEnd) return;
    // VB's End stops the program where it stands, without unloading anything.
    std::fflush(nullptr);
    std::_Exit(0);
}

}  // namespace forms::qt
