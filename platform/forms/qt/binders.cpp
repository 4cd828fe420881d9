#include "platform/forms/qt/binders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "platform/forms/controls.h"
#include "platform/forms/form.h"
#include "platform/forms/qt/ansi.h"
#include "platform/forms/qt/form_view.h"
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
    explicit LineWidget(QWidget* parent) : QWidget(parent) {
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

// Back and fore colours of the controls that show text on a white field.
void SyncFieldColors(Control& c, QWidget* w) {
    QPalette pal = w->palette();
    if (!IsSystemColor(c.BackColor())) pal.setColor(QPalette::Base, ToQColor(c.BackColor()));
    if (!IsSystemColor(c.ForeColor())) pal.setColor(QPalette::Text, ToQColor(c.ForeColor()));
    w->setPalette(pal);
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && combo->lineEdit())
        combo->lineEdit()->setPalette(pal);
}

// ---- Label ----------------------------------------------------------------

QWidget* MakeLabel(FormView&, Control&, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A label's caption wraps at its width, as the dialogs were laid out.
    label->setWordWrap(true);
    return label;
}

bool SyncLabel(FormView& view, Control& c, QWidget* w, Property what) {
    if (what != Property::Caption) return false;
    auto* l = static_cast<QLabel*>(w);
    auto& label = static_cast<Label&>(c);
    l->setAlignment((label.Alignment() == vbRightJustify ? Qt::AlignRight
                     : label.Alignment() == vbCenter     ? Qt::AlignHCenter
                                                         : Qt::AlignLeft) |
                    Qt::AlignTop);
    if (!c.AccessKey()) {
        l->setText(FromAnsi(c.DisplayCaption()));
        return true;
    }
    // The access key moves the focus to the next control in tab order.
    l->setText(FromAnsi(c.Caption()));
    for (Control* next : view.Model().TabOrder())
        if (next->TabIndex() > c.TabIndex()) {
            l->setBuddy(view.WidgetOf(*next));
            break;
        }
    return true;
}

// ---- TextBox --------------------------------------------------------------

// The caret and selection a line edit shows, as the model counts them: the
// selection's first character and length, or the caret and 0. (Text of the
// model has one character per byte, so positions are the same in both.)
struct Span {
    int start;
    int length;
    bool operator==(const Span&) const = default;
};

Span SpanOf(const QLineEdit* e) {
    if (e->hasSelectedText()) return {e->selectionStart(), e->selectionLength()};
    return {e->cursorPosition(), 0};
}

// Text boxes and the edit field of a combo box keep text and selection alike.
template <class Model>
void TakeSelection(Model& model, const QLineEdit* e) {
    const Span span = SpanOf(e);
    model.SetSelStart(span.start);
    model.SetSelLength(span.length);
}

bool TakesEdits(const TextBox& model) { return !model.Locked(); }
bool TakesEdits(const ComboBox&) { return true; }

// Turns the line edit's text into text with one undoable edit of the part
// that differs, so that the user's keys the model performed can be undone
// with Ctrl+Z like the ones Qt performed itself.
void ReplaceChangedPart(QLineEdit* e, const QString& text) {
    const QString old = e->text();
    qsizetype prefix = 0;
    while (prefix < old.size() && prefix < text.size() && old[prefix] == text[prefix]) ++prefix;
    qsizetype suffix = 0;
    while (suffix < old.size() - prefix && suffix < text.size() - prefix &&
           old[old.size() - 1 - suffix] == text[text.size() - 1 - suffix])
        ++suffix;
    const int removed = static_cast<int>(old.size() - prefix - suffix);
    const QString inserted = text.mid(prefix, text.size() - prefix - suffix);
    if (inserted.isEmpty() && !e->hasSelectedText()) {
        // A BackSpace: erased as Qt erases it, so that undo puts the caret back
        // after the character rather than selecting it.
        e->setCursorPosition(static_cast<int>(prefix) + removed);
        for (int i = 0; i < removed; ++i) e->backspace();
        return;
    }
    e->setSelection(static_cast<int>(prefix), removed);
    e->insert(inserted);
}

// Connects a line edit's user edits and caret moves to its model.
template <class Model>
void FollowLineEdit(FormView& view, Model& model, QLineEdit* edit) {
    // An edit Qt made itself (Delete, paste, cut, undo): the whole new text,
    // then the caret where Qt left it. A locked box keeps its text.
    QObject::connect(edit, &QLineEdit::textEdited, &view, [&view, &model, edit](const QString& text) {
        if (view.Syncing()) return;
        view.TakeFromWidget(model, [&] {
            if (TakesEdits(model)) model.SetText(ToAnsi(text));
            TakeSelection(model, edit);
        });
    });
    // The caret and selection the user moves (mouse, arrows, Shift+arrows,
    // Ctrl+A) are the model's SelStart and SelLength at once, so that the
    // model's edits of the next key happen where the user sees the caret.
    // Within an edit (undo) Qt reports the caret before the text: then the
    // report of the text takes both.
    auto follow = [&view, &model, edit] {
        if (view.Syncing() || edit->text() != FromAnsi(model.Text())) return;
        view.TakeFromWidget(model, [&] { TakeSelection(model, edit); });
    };
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, &view, follow);
    QObject::connect(edit, &QLineEdit::selectionChanged, &view, follow);
}

// Shows the model's text and selection in a line edit.
template <class Model>
void ShowEditText(FormView& view, const Model& model, QLineEdit* e) {
    const QString text = FromAnsi(model.Text());
    if (e->text() != text) {
        // Text set by code starts a new undo history, as in Windows.
        if (view.UserIsEditing(model)) ReplaceChangedPart(e, text);
        else e->setText(text);
    }
    // A selection the widget already shows stays as it is, so that one made
    // leftwards keeps its caret at the left.
    const Span span{model.SelStart(), model.SelLength()};
    if (SpanOf(e) != span) {
        if (span.length > 0) e->setSelection(span.start, span.length);
        else e->setCursorPosition(span.start);
    }
}

QWidget* MakeTextBox(FormView& view, Control& c, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    FollowLineEdit(view, static_cast<TextBox&>(c), edit);
    return edit;
}

bool SyncTextBox(FormView& view, Control& c, QWidget* w, Property what) {
    switch (what) {
        case Property::Text:
        case Property::Selection:
            ShowEditText(view, static_cast<TextBox&>(c), static_cast<QLineEdit*>(w));
            return true;
        case Property::Colors: SyncFieldColors(c, w); return true;
        default: return false;
    }
}

// ---- Buttons, check boxes, option buttons, frames --------------------------

bool SyncButtonCaption(Control& c, QWidget* w, Property what) {
    if (what != Property::Caption) return false;
    static_cast<QAbstractButton*>(w)->setText(FromAnsi(c.Caption()));
    return true;
}

QWidget* MakeCommandButton(FormView& view, Control& c, QWidget* parent) {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    QObject::connect(button, &QPushButton::clicked, &view, [&c] { c.UserClick(); });
    return button;
}

bool SyncCommandButton(FormView&, Control& c, QWidget* w, Property what) {
    return SyncButtonCaption(c, w, what);
}

QWidget* MakeCheckBox(FormView& view, Control& c, QWidget* parent) {
    auto* box = new ModelCheckBox(parent);
    box->setTristate(true);
    QObject::connect(box, &QCheckBox::clicked, &view, [&c] { c.UserClick(); });
    return box;
}

bool SyncCheckBox(FormView&, Control& c, QWidget* w, Property what) {
    if (what != Property::Value) return SyncButtonCaption(c, w, what);
    const int v = static_cast<CheckBox&>(c).Value();
    static_cast<QCheckBox*>(w)->setCheckState(v == vbChecked  ? Qt::Checked
                                              : v == vbGrayed ? Qt::PartiallyChecked
                                                              : Qt::Unchecked);
    return true;
}

QWidget* MakeOptionButton(FormView& view, Control& c, QWidget* parent) {
    auto* radio = new ModelRadioButton(parent);
    radio->setAutoExclusive(false);
    QObject::connect(radio, &QRadioButton::clicked, &view, [&c] { c.UserClick(); });
    return radio;
}

bool SyncOptionButton(FormView&, Control& c, QWidget* w, Property what) {
    if (what != Property::Value) return SyncButtonCaption(c, w, what);
    static_cast<QRadioButton*>(w)->setChecked(static_cast<OptionButton&>(c).Value());
    return true;
}

QWidget* MakeFrame(FormView&, Control&, QWidget* parent) { return new QGroupBox(parent); }

bool SyncFrame(FormView&, Control& c, QWidget* w, Property what) {
    if (what != Property::Caption) return false;
    static_cast<QGroupBox*>(w)->setTitle(FromAnsi(c.Caption()));
    return true;
}

// ---- ListBox ----------------------------------------------------------------

QWidget* MakeListBox(FormView& view, Control& c, QWidget* parent) {
    auto& model = static_cast<ListBox&>(c);
    auto* list = new QListWidget(parent);
    // As in VB, a list box scrolls sideways only once code gives it a
    // horizontal extent.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long entry is clipped at the edge, not shortened with an ellipsis.
    list->setTextElideMode(Qt::ElideNone);
    // Every entry is one line high, as in a VB list box; measuring them all
    // on each layout would make long lists slow to fill.
    list->setUniformItemSizes(true);
    // Only a press on an entry is the user's pick. The widget's own current
    // row also moves when it merely takes the focus, so it is never read as
    // one; keys reach the model through the view's key routing.
    QObject::connect(list, &QListWidget::pressed, &view, [&view, &model](const QModelIndex& index) {
        if (!view.Syncing() && index.isValid()) model.UserSelect(index.row());
    });
    QObject::connect(list, &QListWidget::itemChanged, &view, [&view, &model, list](QListWidgetItem* item) {
        if (view.Syncing() || model.Style() != vbListBoxCheckbox) return;
        const int row = list->row(item);
        const bool widgetChecked = item->checkState() == Qt::Checked;
        if (row >= 0 && widgetChecked != model.Selected(row)) model.UserToggleCheck(row);
    });
    return list;
}

void ShowListItem(const ListBox& model, QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (model.Style() == vbListBoxCheckbox) {
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(model.Selected(row) ? Qt::Checked : Qt::Unchecked);
    }
    if (model.HorizontalExtent() > 0)
        item->setSizeHint(QSize(model.HorizontalExtent(), list->fontMetrics().height() + 2));
}

void ShowListIndex(const ListBox& model, QListWidget* list) {
    const int index = model.ListIndex();
    list->setCurrentRow(index);
    if (index < 0) list->clearSelection();
    else list->scrollToItem(list->item(index));
}

bool SyncListBox(FormView& view, Control& c, QWidget* w, Property what) {
    auto* list = static_cast<QListWidget*>(w);
    auto& model = static_cast<ListBox&>(c);
    switch (what) {
        case Property::List:
        case Property::Checks: {
            const int added = model.NewIndex();
            if (what == Property::List && model.ListCount() == list->count() + 1 && added >= 0 &&
                added < model.ListCount()) {
                // One AddItem: insert just that entry, so that filling a list
                // of many thousand names stays linear.
                list->insertItem(added, FromAnsi(model.List(added)));
                ShowListItem(model, list, added);
                if (list->currentRow() != model.ListIndex()) list->setCurrentRow(model.ListIndex());
                return true;
            }
            if (what == Property::List || list->count() != model.ListCount()) {
                list->clear();
                for (int i = 0; i < model.ListCount(); ++i) list->addItem(FromAnsi(model.List(i)));
            }
            for (int i = 0; i < model.ListCount(); ++i) ShowListItem(model, list, i);
            list->setCurrentRow(model.ListIndex());
            return true;
        }
        case Property::ListIndex: ShowListIndex(model, list); return true;
        case Property::Extent:
            list->setHorizontalScrollBarPolicy(model.HorizontalExtent() > 0 ? Qt::ScrollBarAsNeeded
                                                                            : Qt::ScrollBarAlwaysOff);
            SyncListBox(view, c, w, Property::Checks);
            // Items measured before the extent was set are measured again.
            list->doItemsLayout();
            return true;
        case Property::Colors: SyncFieldColors(c, w); return true;
        default: return false;
    }
}

// ---- ComboBox ---------------------------------------------------------------

QWidget* MakeComboBox(FormView& view, Control& c, QWidget* parent) {
    auto& model = static_cast<ComboBox&>(c);
    auto* combo = new QComboBox(parent);
    combo->setEditable(model.Style() != vbComboDropdownList);
    combo->setInsertPolicy(QComboBox::NoInsert);
    // activated is raised for the user's choices only.
    QObject::connect(combo, qOverload<int>(&QComboBox::activated), &view, [&view, &model](int i) {
        if (!view.Syncing()) model.UserSelect(i);
    });
    if (combo->lineEdit()) FollowLineEdit(view, model, combo->lineEdit());
    return combo;
}

bool SyncComboBox(FormView& view, Control& c, QWidget* w, Property what) {
    auto* combo = static_cast<QComboBox*>(w);
    auto& model = static_cast<ComboBox&>(c);
    switch (what) {
        case Property::List:
            combo->clear();
            for (int i = 0; i < model.ListCount(); ++i) combo->addItem(FromAnsi(model.List(i)));
            [[fallthrough]];
        case Property::ListIndex:
            combo->setCurrentIndex(model.ListIndex());
            [[fallthrough]];
        case Property::Text:
        case Property::Selection:
            if (combo->lineEdit()) ShowEditText(view, model, combo->lineEdit());
            return true;
        case Property::Colors: SyncFieldColors(c, w); return true;
        default: return false;
    }
}

// ---- Image, PictureBox --------------------------------------------------------

QWidget* MakePicture(FormView&, Control&, QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

bool SyncPicture(FormView&, Control& c, QWidget* w, Property what) {
    if (what != Property::Picture) return false;
    const std::string& picture = c.Kind() == ControlKind::Image
                                     ? static_cast<Image&>(c).Picture()
                                     : static_cast<PictureBox&>(c).Picture();
    // The 32-pixel icon, as VB shows it.
    if (!picture.empty()) static_cast<QLabel*>(w)->setPixmap(IconPixmap(picture, 32));
    return true;
}

// ---- Line -------------------------------------------------------------------

QWidget* MakeLine(FormView&, Control&, QWidget* parent) { return new LineWidget(parent); }

bool SyncLine(FormView& view, Control& c, QWidget* w, Property what) {
    if (what != Property::Geometry && what != Property::Colors) return false;
    auto& line = static_cast<Line&>(c);
    auto* lw = static_cast<LineWidget*>(w);
    const int width = line.BorderWidth();
    QPoint from(view.Px(line.X1()), view.Px(line.Y1()));
    QPoint to(view.Px(line.X2()), view.Px(line.Y2()));
    // A wide line grows below (or, when it runs more up than across, to the
    // right of) its points rather than round them, so that a white line one
    // pixel under a grey one leaves the grey one showing: the etched
    // separator of the dialogs.
    const QPoint grow = std::abs(to.y() - from.y()) <= std::abs(to.x() - from.x())
                            ? QPoint(0, width / 2)
                            : QPoint(width / 2, 0);
    from += grow;
    to += grow;
    const QRect box = QRect(QPoint(std::min(from.x(), to.x()), std::min(from.y(), to.y())),
                            QPoint(std::max(from.x(), to.x()), std::max(from.y(), to.y())))
                          .adjusted(-width, -width, width, width);
    lw->setGeometry(box);
    lw->from = from - box.topLeft();
    lw->to = to - box.topLeft();
    lw->width = width;
    lw->color = ToQColor(line.BorderColor());
    lw->update();
    return true;
}

}  // namespace

QFont ToQFont(const Font& f) {
    QFont font(QString::fromStdString(f.Name));
    font.setPointSizeF(f.Size);
    font.setBold(f.Bold);
    font.setItalic(f.Italic);
    font.setUnderline(f.Underline);
    return font;
}

void SyncCommon(FormView& view, Control& c, QWidget* w, Property what) {
    switch (what) {
        case Property::Geometry:
            w->setGeometry(view.Px(c.Left()), view.Px(c.Top()), view.Px(c.Width()), view.Px(c.Height()));
            break;
        case Property::Font: w->setFont(ToQFont(c.Font())); break;
        case Property::Enabled: w->setEnabled(c.Enabled()); break;
        case Property::Visible: w->setVisible(c.Visible()); break;
        case Property::Colors:
            if (!IsSystemColor(c.ForeColor())) {
                QPalette pal = w->palette();
                pal.setColor(QPalette::WindowText, ToQColor(c.ForeColor()));
                w->setPalette(pal);
            }
            break;
        default: break;
    }
}

const Binder& BinderFor(ControlKind kind) {
    static const Binder kLabel{MakeLabel, SyncLabel};
    static const Binder kTextBox{MakeTextBox, SyncTextBox};
    static const Binder kCommandButton{MakeCommandButton, SyncCommandButton};
    static const Binder kCheckBox{MakeCheckBox, SyncCheckBox};
    static const Binder kOptionButton{MakeOptionButton, SyncOptionButton};
    static const Binder kFrame{MakeFrame, SyncFrame};
    static const Binder kListBox{MakeListBox, SyncListBox};
    static const Binder kComboBox{MakeComboBox, SyncComboBox};
    static const Binder kPicture{MakePicture, SyncPicture};
    static const Binder kLine{MakeLine, SyncLine};
    switch (kind) {
        case ControlKind::Label: return kLabel;
        case ControlKind::TextBox: return kTextBox;
        case ControlKind::CommandButton: return kCommandButton;
        case ControlKind::CheckBox: return kCheckBox;
        case ControlKind::OptionButton: return kOptionButton;
        case ControlKind::Frame: return kFrame;
        case ControlKind::ListBox: return kListBox;
        case ControlKind::ComboBox: return kComboBox;
        case ControlKind::Image:
        case ControlKind::PictureBox: return kPicture;
        case ControlKind::Line: return kLine;
    }
    return kLabel;
}

}  // namespace forms::qt
