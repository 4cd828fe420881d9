#include "platform/forms/qt/form_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include "platform/forms/form.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/qt/icons.h"

namespace forms::qt {

namespace {

// Check boxes and option buttons whose state only the model changes: a click
// goes to the model, which decides the new value and tells the view.
// As in VB, the whole area of the control takes the click, not only the box
// and its text.
class ModelCheckBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override {}
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

class ModelRadioButton : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    void nextCheckState() override {}
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

// A VB Line control: drawn inside the bounding box of its two points.
class LineWidget : public QWidget {
public:
    LineWidget(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QPoint from, to;
    QColor color;
    int width = 1;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(from, to);
    }
};

bool IsSystemColor(unsigned color) { return (color & 0x80000000u) != 0; }

QColor ToQColor(unsigned bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QString ObjectName(const Control& c) {
    QString name = QString::fromStdString(c.Name());
    if (c.Index() >= 0) name += QString("(%1)").arg(c.Index());
    return name;
}

QFont ToQFont(const Font& f) {
    QFont font(QString::fromStdString(f.Name));
    font.setPointSizeF(f.Size);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    return font;
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
        QWidget* w = MakeWidget(*c, parent ? parent : this);
        w->setObjectName(ObjectName(*c));
        widgets_[c] = w;
        controls_[w] = c;
        w->installEventFilter(this);
        for (QObject* child : w->findChildren<QObject*>()) child->installEventFilter(this);
        observers_[c] = c->AddObserver([this](Control& control, Property what) { Sync(control, what); });
    }
    for (Control* c : form_.Controls()) SyncAll(*c);

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

QWidget* FormView::MakeWidget(Control& c, QWidget* parent) {
    switch (c.Kind()) {
        case ControlKind::Label: {
            auto* label = new QLabel(parent);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::TextBox: {
            auto& model = static_cast<TextBox&>(c);
            if (model.MultiLine()) return new QPlainTextEdit(parent);
            auto* edit = new QLineEdit(parent);
            QObject::connect(edit, &QLineEdit::textEdited, this, [this, &model](const QString& text) {
                if (syncing_) return;
                // An edit Qt made itself (Delete, paste, cut): the whole new text.
                model.SetText(ToAnsi(text));
            });
            return edit;
        }
        case ControlKind::CommandButton: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            QObject::connect(button, &QPushButton::clicked, this, [&c] { c.UserClick(); });
            return button;
        }
        case ControlKind::CheckBox: {
            auto* box = new ModelCheckBox(parent);
            box->setTristate(true);
            QObject::connect(box, &QCheckBox::clicked, this, [&c] { c.UserClick(); });
            return box;
        }
        case ControlKind::OptionButton: {
            auto* radio = new ModelRadioButton(parent);
            radio->setAutoExclusive(false);
            QObject::connect(radio, &QRadioButton::clicked, this, [&c] { c.UserClick(); });
            return radio;
        }
        case ControlKind::Frame: return new QGroupBox(parent);
        case ControlKind::ListBox: {
            auto& model = static_cast<ListBox&>(c);
            auto* list = new QListWidget(parent);
            // As in VB, a list box scrolls sideways only once code gives it a
            // horizontal extent.
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            // A long entry is clipped at the edge, not shortened with an ellipsis.
            list->setTextElideMode(Qt::ElideNone);
            // Every entry is one line high, as in a VB list box; measuring
            // them all on each layout would make long lists slow to fill.
            list->setUniformItemSizes(true);
            QObject::connect(list, &QListWidget::currentRowChanged, this, [this, &model](int row) {
                if (!syncing_ && row >= 0) model.UserSelect(row);
            });
            QObject::connect(list, &QListWidget::itemChanged, this, [this, &model, list](QListWidgetItem* item) {
                if (syncing_ || model.Style() != 1) return;
                int row = list->row(item);
                bool widgetChecked = item->checkState() == Qt::Checked;
                if (row >= 0 && widgetChecked != model.Selected(row)) model.UserToggleCheck(row);
            });
            return list;
        }
        case ControlKind::ComboBox: {
            auto& model = static_cast<ComboBox&>(c);
            auto* combo = new QComboBox(parent);
            combo->setEditable(model.Style() != 2);
            combo->setInsertPolicy(QComboBox::NoInsert);
            QObject::connect(combo, qOverload<int>(&QComboBox::activated), this, [this, &model](int i) {
                if (!syncing_) model.UserSelect(i);
            });
            return combo;
        }
        case ControlKind::Image:
        case ControlKind::PictureBox: {
            auto* picture = new QLabel(parent);
            picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return picture;
        }
        case ControlKind::Line: return new LineWidget(parent);
    }
    return new QWidget(parent);
}

void FormView::SyncAll(Control& c) {
    for (Property p : {Property::Geometry, Property::Font, Property::Caption, Property::Text,
                       Property::List, Property::Value, Property::ListIndex, Property::Colors,
                       Property::Enabled, Property::Visible, Property::Picture, Property::Extent})
        Sync(c, p);
}

void FormView::Sync(Control& c, Property what) {
    QWidget* w = WidgetOf(c);
    if (!w) return;
    const bool was = syncing_;
    syncing_ = true;
    switch (what) {
        case Property::Geometry:
            if (c.Kind() == ControlKind::Line) {
                auto& line = static_cast<Line&>(c);
                auto* lw = static_cast<LineWidget*>(w);
                int pad = line.BorderWidth();
                QRect box = QRect(QPoint(Px(std::min(line.X1(), line.X2())), Px(std::min(line.Y1(), line.Y2()))),
                                  QPoint(Px(std::max(line.X1(), line.X2())), Px(std::max(line.Y1(), line.Y2()))))
                                .adjusted(-pad, -pad, pad, pad);
                lw->setGeometry(box);
                lw->from = QPoint(Px(line.X1()), Px(line.Y1())) - box.topLeft();
                lw->to = QPoint(Px(line.X2()), Px(line.Y2())) - box.topLeft();
                lw->width = line.BorderWidth();
                lw->color = ToQColor(line.BorderColor());
                lw->update();
            } else {
                w->setGeometry(Px(c.Left()), Px(c.Top()), Px(c.Width()), Px(c.Height()));
            }
            break;
        case Property::Font: w->setFont(ToQFont(c.Font())); break;
        case Property::Caption: {
            QString caption = FromAnsi(c.Caption());
            if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(caption);
            else if (auto* g = qobject_cast<QGroupBox*>(w)) g->setTitle(caption);
            else if (auto* l = qobject_cast<QLabel*>(w); l && c.Kind() == ControlKind::Label) {
                auto& label = static_cast<Label&>(c);
                l->setWordWrap(label.WordWrap());
                l->setAlignment((label.Alignment() == 1   ? Qt::AlignRight
                                 : label.Alignment() == 2 ? Qt::AlignHCenter
                                                          : Qt::AlignLeft) |
                                Qt::AlignTop);
                if (c.AccessKey()) {
                    // The access key moves the focus to the next control in tab order.
                    l->setText(caption);
                    auto order = form_.TabOrder();
                    for (Control* next : order)
                        if (next->TabIndex() > c.TabIndex()) {
                            l->setBuddy(WidgetOf(*next));
                            break;
                        }
                } else {
                    l->setText(FromAnsi(c.DisplayCaption()));
                }
            }
            break;
        }
        case Property::Text:
        case Property::Selection:
            if (auto* e = qobject_cast<QLineEdit*>(w)) {
                auto& model = static_cast<TextBox&>(c);
                QString text = FromAnsi(model.Text());
                if (e->text() != text) e->setText(text);
                e->setCursorPosition(model.SelStart());
                if (model.SelLength() > 0) e->setSelection(model.SelStart(), model.SelLength());
            } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
                QString text = FromAnsi(static_cast<TextBox&>(c).Text());
                if (pe->toPlainText() != text) pe->setPlainText(text);
            } else if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->isEditable()) {
                QString text = FromAnsi(static_cast<ComboBox&>(c).Text());
                if (combo->lineEdit()->text() != text) combo->lineEdit()->setText(text);
            }
            break;
        case Property::Value:
            if (auto* cb = qobject_cast<QCheckBox*>(w)) {
                int v = static_cast<CheckBox&>(c).Value();
                cb->setCheckState(v == 1 ? Qt::Checked : v == 2 ? Qt::PartiallyChecked : Qt::Unchecked);
            } else if (auto* rb = qobject_cast<QRadioButton*>(w)) {
                rb->setChecked(static_cast<OptionButton&>(c).Value());
            }
            break;
        case Property::List:
        case Property::Checks:
            if (auto* list = qobject_cast<QListWidget*>(w)) {
                auto& model = static_cast<ListBox&>(c);
                const int added = model.NewIndex();
                if (what == Property::List && model.ListCount() == list->count() + 1 &&
                    added >= 0 && added < model.ListCount()) {
                    // One AddItem: insert just that entry, so that filling a
                    // list of many thousand names stays linear.
                    list->insertItem(added, FromAnsi(model.List(added)));
                    QListWidgetItem* item = list->item(added);
                    if (model.Style() == 1) {
                        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                        item->setCheckState(model.Selected(added) ? Qt::Checked : Qt::Unchecked);
                    }
                    if (model.HorizontalExtent() > 0)
                        item->setSizeHint(QSize(model.HorizontalExtent(), list->fontMetrics().height() + 2));
                    if (list->currentRow() != model.ListIndex()) list->setCurrentRow(model.ListIndex());
                    break;
                }
                if (what == Property::List || list->count() != model.ListCount()) {
                    list->clear();
                    for (int i = 0; i < model.ListCount(); ++i) list->addItem(FromAnsi(model.List(i)));
                }
                for (int i = 0; i < model.ListCount(); ++i) {
                    QListWidgetItem* item = list->item(i);
                    if (model.Style() == 1) {
                        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                        item->setCheckState(model.Selected(i) ? Qt::Checked : Qt::Unchecked);
                    }
                    if (model.HorizontalExtent() > 0)
                        item->setSizeHint(QSize(model.HorizontalExtent(), list->fontMetrics().height() + 2));
                }
                list->setCurrentRow(model.ListIndex());
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                auto& model = static_cast<ComboBox&>(c);
                combo->clear();
                for (int i = 0; i < model.ListCount(); ++i) combo->addItem(FromAnsi(model.List(i)));
                combo->setCurrentIndex(model.ListIndex());
                if (combo->isEditable()) combo->lineEdit()->setText(FromAnsi(model.Text()));
            }
            break;
        case Property::ListIndex:
            if (auto* list = qobject_cast<QListWidget*>(w)) {
                int index = static_cast<ListBox&>(c).ListIndex();
                list->setCurrentRow(index);
                if (index < 0) list->clearSelection();
                else list->scrollToItem(list->item(index));
            } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
                auto& model = static_cast<ComboBox&>(c);
                combo->setCurrentIndex(model.ListIndex());
                if (combo->isEditable()) combo->lineEdit()->setText(FromAnsi(model.Text()));
            }
            break;
        case Property::Extent:
            if (c.Kind() == ControlKind::ListBox) {
                static_cast<QListWidget*>(w)->setHorizontalScrollBarPolicy(
                    static_cast<ListBox&>(c).HorizontalExtent() > 0 ? Qt::ScrollBarAsNeeded
                                                                  : Qt::ScrollBarAlwaysOff);
                syncing_ = was;
                Sync(c, Property::Checks);
                // Items measured before the extent was set are measured again.
                static_cast<QListWidget*>(w)->doItemsLayout();
                return;
            }
            break;
        case Property::Colors:
            if (c.Kind() == ControlKind::TextBox || c.Kind() == ControlKind::ComboBox ||
                c.Kind() == ControlKind::ListBox) {
                QPalette pal = w->palette();
                if (!IsSystemColor(c.BackColor())) pal.setColor(QPalette::Base, ToQColor(c.BackColor()));
                if (!IsSystemColor(c.ForeColor())) pal.setColor(QPalette::Text, ToQColor(c.ForeColor()));
                w->setPalette(pal);
                if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
                    combo->lineEdit()->setPalette(pal);
            } else if (c.Kind() == ControlKind::Line) {
                Sync(c, Property::Geometry);
            } else if (!IsSystemColor(c.ForeColor())) {
                QPalette pal = w->palette();
                pal.setColor(QPalette::WindowText, ToQColor(c.ForeColor()));
                w->setPalette(pal);
            }
            break;
        case Property::Enabled: w->setEnabled(c.Enabled()); break;
        case Property::Visible: w->setVisible(c.Visible()); break;
        case Property::Picture: {
            std::string picture;
            if (c.Kind() == ControlKind::Image) picture = static_cast<Image&>(c).Picture();
            if (c.Kind() == ControlKind::PictureBox) picture = static_cast<PictureBox&>(c).Picture();
            if (auto* l = qobject_cast<QLabel*>(w); l && !picture.empty())
                l->setPixmap(IconPixmap(picture, 32));  // the 32-pixel icon, as VB shows it
            break;
        }
        case Property::Focus:
            break;
    }
    syncing_ = was;
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
                    const bool was = syncing_;
                    syncing_ = true;
                    w->setFocus(Qt::OtherFocusReason);
                    syncing_ = was;
                }
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
        syncing_ = true;
        form_.SetActiveControl(&control);
        syncing_ = false;
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
    const bool editable = control.Kind() == ControlKind::TextBox ||
                          (control.Kind() == ControlKind::ComboBox &&
                           static_cast<ComboBox&>(control).Style() != 2);
    if (k == Qt::Key_Backspace && editable) {
        form_.UserKeyPress(vbKeyBack);
        return true;
    }
    QString text = key->text();
    if (text.size() != 1) return false;
    int ascii = AnsiKey(text[0]);
    if (ascii == 0) return true;  // not representable in the ANSI code page
    if (editable) {
        if (control.Kind() == ControlKind::TextBox) {
            // The caret and selection the user set with the mouse or arrows.
            if (auto* e = qobject_cast<QLineEdit*>(WidgetOf(control))) {
                auto& model = static_cast<TextBox&>(control);
                const bool was = syncing_;
                syncing_ = true;
                int start = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
                model.SetSelStart(start);
                model.SetSelLength(e->hasSelectedText() ? static_cast<int>(e->selectedText().size()) : 0);
                syncing_ = was;
            }
        }
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

bool FormView::eventFilter(QObject* watched, QEvent* event) {
    if (syncing_) return false;
    if (event->type() == QEvent::FocusIn) {
        if (Control* c = ControlOf(watched); c && c->CanFocus() && form_.ActiveControl() != c) {
            syncing_ = true;
            form_.SetActiveControl(c);
            syncing_ = false;
        }
        return false;
    }
    if (event->type() == QEvent::KeyPress) {
        Control* c = ControlOf(watched);
        if (!c) return false;
        return RouteKey(*c, static_cast<QKeyEvent*>(event));
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace forms::qt
