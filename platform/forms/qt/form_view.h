#pragma once
// The Qt view of one form: a top-level window with one widget per control at
// the control's twip geometry. The view follows the model through observers
// and turns the user's input into the model's user actions, so every rule
// (events, key filters, default buttons) lives in the model alone.

#include <QWidget>
#include <functional>
#include <map>

class QEventLoop;
class QMouseEvent;

namespace forms {
class Form;
class Control;
enum class Property;
enum class FormEvent;
}  // namespace forms

namespace forms::qt {

class FormView : public QWidget {
public:
    explicit FormView(Form& form);
    ~FormView() override;

    Form& Model() const { return form_; }
    // The widget of a control (its VB name and index are the widget's object
    // name: "txtName", "optType(2)").
    QWidget* WidgetOf(const Control& control) const;
    // Pixels for twips at the screen's logical DPI.
    int Px(int twips) const;

    void SetModalLoop(QEventLoop* loop) { modalLoop_ = loop; }
    QEventLoop* ModalLoop() const { return modalLoop_; }

    // True while the view shows a change of the model: the signals its own
    // widget updates raise are not the user's and are ignored.
    bool Syncing() const { return syncing_; }
    // Hands an action of the user to the model (see DeliverUserAction).
    void Deliver(const std::function<void()>& action);
    // Copies what the user did in a control's widget into the control (take
    // runs as a user action). Meanwhile the control's Text and Selection are
    // not shown back in the widget, which already shows them; afterwards the
    // widget shows whatever handlers made of them.
    void TakeFromWidget(Control& control, const std::function<void()>& take);
    // True while the user's key or edit in this control is being performed:
    // its changes of text are the user's, to be undone like them.
    bool UserIsEditing(const Control& control) const { return editing_ == &control; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build();
    void Sync(Control& control, Property what);
    void OnFormEvent(FormEvent what);
    bool RouteKey(Control& control, QKeyEvent* key);
    bool RouteListKey(Control& control, QKeyEvent* key);
    bool DragInList(QObject* watched, QMouseEvent* mouse);
    Control* ControlOf(QObject* object) const;

    Form& form_;
    int formObserver_ = 0;
    std::map<const Control*, QWidget*> widgets_;
    std::map<QObject*, Control*> controls_;
    std::map<Control*, int> observers_;
    QEventLoop* modalLoop_ = nullptr;
    bool syncing_ = false;
    const Control* source_ = nullptr;
    const Control* editing_ = nullptr;
    double scale_ = 1.0;
};

}  // namespace forms::qt
