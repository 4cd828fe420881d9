#include "platform/forms/qt/form_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/forms/form.h"
#include "platform/forms/runtime.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/qt/binders.h"
#include "platform/forms/qt/icons.h"

namespace forms::qt {

namespace {

QString ObjectName(const Control& c) {
    QString name = QString::fromStdString(c.Name());
    if (c.Index() >= 0) name += QString("(%1)").arg(c.Index());
    return name;
}

}  // namespace

FormView::FormView(Form& form) : QWidget(nullptr), form_(form) {
    scale_ = logicalDpiX() / 96.0;
    setObjectName(QString::fromStdString(form.Name()));
    Build();
    formObserver_ = form_.AddObserver([this](Form&, FormEvent what) { OnFormEvent(what); });
}

FormView::~FormView() {
    form_.RemoveObserver(formObserver_);
    for (auto& [control, id] : observers_) control->RemoveObserver(id);
}

int FormView::Px(int twips) const {
    return static_cast<int>(std::lround(twips / double(kTwipsPerPixel) * scale_));
}

QWidget* FormView::WidgetOf(const Control& control) const {
    auto it = widgets_.find(&control);
    return it == widgets_.end() ? nullptr : it->second;
}

Control* FormView::ControlOf(QObject* object) const {
    for (QObject* o = object; o; o = o->parent()) {
        auto it = controls_.find(o);
        if (it != controls_.end()) return it->second;
        if (o == this) break;
    }
    return nullptr;
}

void FormView::Build() {
    Qt::WindowFlags flags = Qt::Window;
    if (form_.BorderStyle() == vbFixedDialog || form_.BorderStyle() == vbFixedSingle) {
        flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
        if (form_.MinButton()) flags |= Qt::WindowMinimizeButtonHint;
        if (form_.MaxButton()) flags |= Qt::WindowMaximizeButtonHint;
    }
    // Window systems leave tool windows off the task bar.
    if (!form_.ShowInTaskbar()) flags = (flags & ~Qt::WindowType_Mask) | Qt::Tool;
    setWindowFlags(flags);
    setWindowTitle(FromAnsi(form_.Caption()));
    setFont(ToQFont(form_.Font()));
    if (!form_.Icon().empty()) setWindowIcon(QIcon(IconPixmap(form_.Icon(), 32)));
    if (form_.BorderStyle() == vbSizable) {
        resize(Px(form_.ScaleWidth()), Px(form_.ScaleHeight()));
    } else {
        setFixedSize(Px(form_.ScaleWidth()), Px(form_.ScaleHeight()));
    }

    for (Control* c : form_.Controls()) {
        QWidget* parent = this;
        if (c->Container()) parent = WidgetOf(*c->Container());
        QWidget* w = BinderFor(c->Kind()).make(*this, *c, parent ? parent : this);
        w->setObjectName(ObjectName(*c));
        widgets_[c] = w;
        controls_[w] = c;
        w->installEventFilter(this);
        for (QObject* child : w->findChildren<QObject*>()) child->installEventFilter(this);
        observers_[c] = c->AddObserver([this](Control& control, Property what) { Sync(control, what); });
    }
    for (Control* c : form_.Controls())
        for (Property p : kAllProperties) Sync(*c, p);

    // Tab order follows the model's TabIndex.
    QWidget* previous = nullptr;
    for (Control* c : form_.TabOrder()) {
        QWidget* w = WidgetOf(*c);
        if (!w) continue;
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit()) w = combo;
        if (previous) setTabOrder(previous, w);
        previous = w;
    }
}

void FormView::Deliver(const std::function<void()>& action) { DeliverUserAction(form_, action); }

void FormView::TakeFromWidget(Control& control, const std::function<void()>& take) {
    QScopedValueRollback<const Control*> editing(editing_, &control);
    {
        QScopedValueRollback<const Control*> source(source_, &control);
        Deliver(take);
    }
    Sync(control, Property::Text);
}

void FormView::Sync(Control& c, Property what) {
    QWidget* w = WidgetOf(c);
    if (!w) return;
    if (&c == source_ && (what == Property::Text || what == Property::Selection)) return;
    QScopedValueRollback guard(syncing_, true);
    if (!BinderFor(c.Kind()).sync(*this, c, w, what)) SyncCommon(*this, c, w, what);
}

void FormView::OnFormEvent(FormEvent what) {
    switch (what) {
        case FormEvent::Caption: setWindowTitle(FromAnsi(form_.Caption())); break;
        case FormEvent::Geometry:
            if (form_.BorderStyle() == vbSizable) resize(Px(form_.ScaleWidth()), Px(form_.ScaleHeight()));
            else setFixedSize(Px(form_.ScaleWidth()), Px(form_.ScaleHeight()));
            break;
        case FormEvent::Focus:
            if (Control* c = form_.ActiveControl(); c && isVisible()) {
                QWidget* w = WidgetOf(*c);
                if (w && !w->hasFocus()) {
                    QScopedValueRollback guard(syncing_, true);
                    w->setFocus(Qt::OtherFocusReason);
                }
            }
            break;
        case FormEvent::Activated:
            // Show on a form that is already on screen brings it to the front.
            if (isVisible()) {
                raise();
                activateWindow();
            }
            break;
        default: break;
    }
}

void FormView::closeEvent(QCloseEvent* event) {
    // The model decides: QueryUnload and Unload may cancel.
    event->ignore();
    form_.UserClose();
}

void FormView::keyPressEvent(QKeyEvent* event) {
    // Keys that reach the window itself (no control has the focus).
    const int k = event->key();
    if (k == Qt::Key_Return || k == Qt::Key_Enter) form_.UserKeyPress(vbKeyReturn);
    else if (k == Qt::Key_Escape) form_.UserKeyPress(vbKeyEscape);
    else if ((event->modifiers() & Qt::AltModifier) && k >= Qt::Key_A && k <= Qt::Key_Z)
        form_.UserAccessKey(static_cast<char>('A' + (k - Qt::Key_A)));
    else QWidget::keyPressEvent(event);
}

bool FormView::RouteKey(Control& control, QKeyEvent* key) {
    const int k = key->key();
    // The key belongs to the control that received it, whatever the model
    // last thought had the focus.
    if (control.CanFocus() && form_.ActiveControl() != &control) {
        QScopedValueRollback guard(syncing_, true);
        Deliver([&] { form_.SetActiveControl(&control); });
    }
    if ((key->modifiers() & Qt::AltModifier) && k >= Qt::Key_A && k <= Qt::Key_Z) {
        return form_.UserAccessKey(static_cast<char>('A' + (k - Qt::Key_A)));
    }
    if (k == Qt::Key_Tab || k == Qt::Key_Backtab) return false;
    if (k == Qt::Key_Return || k == Qt::Key_Enter) {
        form_.UserKeyPress(vbKeyReturn);
        return true;
    }
    if (k == Qt::Key_Escape) {
        form_.UserKeyPress(vbKeyEscape);
        return true;
    }
    if (control.Kind() == ControlKind::ListBox) return RouteListKey(control, key);
    const bool editable = control.Kind() == ControlKind::TextBox ||
                          (control.Kind() == ControlKind::ComboBox &&
                           static_cast<ComboBox&>(control).Style() != vbComboDropdownList);
    // The model performs the keys VB passes through KeyPress, at the caret it
    // follows; what it changes is the user's edit, undoable as one.
    QScopedValueRollback<const Control*> editing(editing_, editable ? &control : editing_);
    if (k == Qt::Key_Backspace && editable) {
        form_.UserKeyPress(vbKeyBack);
        return true;
    }
    // Delete raises no KeyPress: the line edit performs it and reports the
    // edit.
    if (k == Qt::Key_Delete && editable) return false;
    int ascii = 0;
    if ((key->modifiers() & Qt::ControlModifier) && k >= Qt::Key_A && k <= Qt::Key_Z) {
        // Ctrl+letter is the control character 1 to 26, whatever text the
        // platform attached to the event.
        ascii = 1 + (k - Qt::Key_A);
    } else {
        const QString text = key->text();
        if (text.size() != 1) return false;
        ascii = AnsiKey(text[0]);
        if (ascii == 0) return true;  // not representable in the ANSI code page
    }
    if (editable) {
        if (ascii < 32) {
            // Clipboard and other control keys: KeyPress may discard them;
            // otherwise Qt performs them and reports the edit.
            return !control.UserKeyPress(ascii);
        }
        form_.UserKeyPress(ascii);
        return true;
    }
    if (ascii == ' ' && (control.Kind() == ControlKind::CommandButton ||
                         control.Kind() == ControlKind::CheckBox)) {
        form_.UserKeyPress(ascii);
        return true;
    }
    control.UserKeyPress(ascii);
    return false;
}

bool FormView::RouteListKey(Control& control, QKeyEvent* key) {
    // The model moves the selection and decides what is a pick; the widget
    // only shows the result, so it never sees the key.
    auto& model = static_cast<ListBox&>(control);
    auto* list = static_cast<QListWidget*>(WidgetOf(control));
    std::optional<ListMove> move;
    switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Left: move = ListMove::Up; break;
        case Qt::Key_Down:
        case Qt::Key_Right: move = ListMove::Down; break;
        case Qt::Key_PageUp: move = ListMove::PageUp; break;
        case Qt::Key_PageDown: move = ListMove::PageDown; break;
        case Qt::Key_Home: move = ListMove::Home; break;
        case Qt::Key_End: move = ListMove::End; break;
        default: break;
    }
    if (move) {
        const int rowHeight = std::max(1, list->sizeHintForRow(0));
        Deliver([&] { model.UserMove(*move, list->viewport()->height() / rowHeight); });
        return true;
    }
    const QString text = key->text();
    if (text.size() == 1)
        if (const int ascii = AnsiKey(text[0]); ascii >= 32) model.UserKeyPress(ascii);
    return true;
}

bool FormView::DragInList(QObject* watched, QMouseEvent* mouse) {
    // Dragging with the button down picks each entry the pointer reaches, as
    // in a Windows list box; the widget's own drag selection is not used.
    Control* c = ControlOf(watched);
    if (!c || c->Kind() != ControlKind::ListBox || !(mouse->buttons() & Qt::LeftButton)) return false;
    auto* list = static_cast<QListWidget*>(WidgetOf(*c));
    if (watched != list->viewport()) return false;
    auto& model = static_cast<ListBox&>(*c);
    const int row = list->indexAt(mouse->position().toPoint()).row();
    if (row >= 0 && row != model.ListIndex()) model.UserSelect(row);
    return true;
}

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (syncing_) return false;
    if (event->type() == QEvent::FocusIn) {
        if (Control* c = ControlOf(watched); c && c->CanFocus() && form_.ActiveControl() != c) {
            QScopedValueRollback guard(syncing_, true);
            Deliver([&] { form_.SetActiveControl(c); });
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        Control* c = ControlOf(watched);
        if (!c) return false;
        return RouteKey(*c, static_cast<QKeyEvent*>(event));
    }
    if (event->type() == QEvent::MouseMove) return DragInList(watched, static_cast<QMouseEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

}  // namespace forms::qt
