#include "apps/ide/tool_windows.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <set>

#include "platform/forms/qt/ansi.h"
#include "platform/forms/runtime.h"

namespace ide {

using forms::qt::FromAnsi;
using forms::qt::ToAnsi;

namespace {

QFont Monospace() {
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(10);
    return font;
}

QTreeWidget* Grid(const QStringList& headers) {
    auto* tree = new QTreeWidget;
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(false);
    tree->header()->setStretchLastSection(true);
    return tree;
}

// A picture of the screen with the start-up form's position on it.
class FormLayoutView : public QWidget {
public:
    FormLayoutView() { setMinimumSize(120, 100); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(0x80, 0x80, 0x80));
        const int w = std::min(width() - 20, (height() - 30) * 4 / 3);
        const int h = w * 3 / 4;
        QRect monitor((width() - w) / 2, 8, w, h);
        p.setPen(Qt::black);
        p.setBrush(QColor(0xd4, 0xd0, 0xc8));
        p.drawRect(monitor.adjusted(-6, -6, 6, 6));
        p.fillRect(monitor, QColor(0x00, 0x80, 0x80));
        p.fillRect(QRect(monitor.center().x() - 10, monitor.bottom() + 7, 20, 8), QColor(0xd4, 0xd0, 0xc8));
        QRect form(monitor.left() + w / 8, monitor.top() + h / 8, w / 3, h / 3);
        p.fillRect(form, QColor(0xd4, 0xd0, 0xc8));
        p.fillRect(QRect(form.left(), form.top(), form.width(), 4), QColor(0x0a, 0x24, 0x6a));
        p.setPen(Qt::black);
        p.setBrush(Qt::NoBrush);
        p.drawRect(form);
    }
};

QWidget* Toolbox() {
    static const char* const tools[][2] = {
        {"Pointer", "\xe2\x86\x96"}, {"PictureBox", "\xe2\x96\xa3"}, {"Label", "A"},
        {"TextBox", "ab|"}, {"Frame", "[xy]"}, {"CommandButton", "\xe2\x96\xad"},
        {"CheckBox", "\xe2\x98\x91"}, {"OptionButton", "\xe2\x97\x89"}, {"ComboBox", "\xe2\x96\xbe"},
        {"ListBox", "\xe2\x89\xa1"}, {"HScrollBar", "\xe2\x86\x94"}, {"VScrollBar", "\xe2\x86\x95"},
        {"Timer", "\xe2\x97\xb4"}, {"DriveListBox", "\xe2\x96\xa4"}, {"DirListBox", "\xe2\x96\xa7"},
        {"FileListBox", "\xe2\x96\xa5"}, {"Shape", "\xe2\x97\x86"}, {"Line", "\xe2\x95\xb2"},
        {"Image", "\xe2\x96\xa8"}, {"Data", "\xe2\x97\x84\xe2\x96\xba"}, {"OLE", "OLE"},
    };
    auto* box = new QWidget;
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    int i = 0;
    for (const auto& tool : tools) {
        auto* button = new QToolButton;
        button->setText(QString::fromUtf8(tool[1]));
        button->setToolTip(tool[0]);
        button->setObjectName(tool[0]);
        button->setCheckable(true);
        button->setAutoRaise(true);
        button->setFixedSize(26, 24);
        if (i == 0) button->setChecked(true);
        grid->addWidget(button, i / 2, i % 2);
        ++i;
    }
    grid->setRowStretch(i / 2 + 1, 1);
    auto* general = new QLabel("General");
    general->setAlignment(Qt::AlignCenter);
    general->setFrameShape(QFrame::Panel);
    general->setFrameShadow(QFrame::Raised);
    auto* outer = new QWidget;
    auto* column = new QVBoxLayout(outer);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(general);
    column->addWidget(box);
    column->addStretch(1);
    return outer;
}

QWidget* ColorPalette() {
    static const unsigned colors[] = {
        0xFFFFFF, 0xFFC0C0, 0xFFE0C0, 0xFFFFC0, 0xC0FFC0, 0xC0FFFF, 0xC0C0FF, 0xFFC0FF,
        0xE0E0E0, 0xFF8080, 0xFFC080, 0xFFFF80, 0x80FF80, 0x80FFFF, 0x8080FF, 0xFF80FF,
        0xC0C0C0, 0xFF0000, 0xFF8000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF,
        0x808080, 0xC00000, 0xC04000, 0xC0C000, 0x00C000, 0x00C0C0, 0x0000C0, 0xC000C0,
        0x404040, 0x800000, 0x804000, 0x808000, 0x008000, 0x008080, 0x000080, 0x800080,
        0x000000, 0x400000, 0x804040, 0x404000, 0x004000, 0x004040, 0x000040, 0x400040,
    };
    auto* palette = new QWidget;
    auto* grid = new QGridLayout(palette);
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 4);
    auto* sample = new QLabel("Aa");
    sample->setAlignment(Qt::AlignCenter);
    sample->setFixedSize(40, 40);
    sample->setFrameShape(QFrame::Box);
    sample->setStyleSheet("background: #ffffff; color: #000000;");
    grid->addWidget(sample, 0, 0, 2, 2);
    int i = 0;
    for (unsigned rgb : colors) {
        auto* swatch = new QLabel;
        swatch->setFixedSize(16, 16);
        swatch->setFrameShape(QFrame::Box);
        swatch->setStyleSheet(QString("background: #%1;").arg(rgb, 6, 16, QChar('0')));
        grid->addWidget(swatch, i / 8 + 0, 2 + i % 8);
        ++i;
    }
    grid->setColumnStretch(11, 1);
    grid->setRowStretch(7, 1);
    return palette;
}

// The procedures of a module, in order, without repeats.
QStringList Members(const vbide::CodeModulePtr& module) {
    QStringList names;
    std::set<std::string> seen;
    const std::int32_t n = module->CountOfLines();
    for (std::int32_t line = module->CountOfDeclarationLines() + 1; line <= n; ++line) {
        vbide::vbext_ProcKind kind;
        std::string name = module->ProcOfLine(line, kind);
        if (!name.empty() && seen.insert(name).second) names << FromAnsi(name);
    }
    return names;
}

QWidget* ObjectBrowser(const std::shared_ptr<vbide::Environment>& env) {
    auto* browser = new QWidget;
    auto* column = new QVBoxLayout(browser);
    column->setContentsMargins(2, 2, 2, 2);
    auto* libraries = new QComboBox;
    libraries->addItem("<All Libraries>");
    auto* search = new QLineEdit;
    search->setPlaceholderText("Search text");
    auto* split = new QSplitter(Qt::Horizontal);
    auto* classes = new QListWidget;
    auto* members = new QListWidget;
    split->addWidget(classes);
    split->addWidget(members);
    column->addWidget(libraries);
    column->addWidget(search);
    column->addWidget(split, 1);
    std::weak_ptr<vbide::Environment> weak = env;
    auto fill = [weak, classes, libraries] {
        auto e = weak.lock();
        if (!e) return;
        classes->clear();
        classes->addItem("<globals>");
        auto projects = e->VBProjects();
        for (std::int32_t i = 1; i <= projects->Count(); ++i) {
            auto p = projects->Item(i);
            if (libraries->findText(FromAnsi(p->Name())) < 0) libraries->addItem(FromAnsi(p->Name()));
            auto components = p->VBComponents();
            for (std::int32_t j = 1; j <= components->Count(); ++j) classes->addItem(FromAnsi(components->Item(j)->Name()));
        }
    };
    fill();
    QObject::connect(libraries, QOverload<int>::of(&QComboBox::activated), browser, [fill](int) { fill(); });
    QObject::connect(classes, &QListWidget::currentTextChanged, browser, [weak, members](const QString& name) {
        members->clear();
        auto e = weak.lock();
        if (!e) return;
        auto projects = e->VBProjects();
        for (std::int32_t i = 1; i <= projects->Count(); ++i) {
            auto components = projects->Item(i)->VBComponents();
            for (std::int32_t j = 1; j <= components->Count(); ++j) {
                auto c = components->Item(j);
                if (FromAnsi(c->Name()) != name) continue;
                if (auto m = c->CodeModule()) members->addItems(Members(m));
                return;
            }
        }
    });
    return browser;
}

QWidget* Properties(const std::shared_ptr<vbide::Environment>& env) {
    auto* properties = new QWidget;
    properties->setObjectName("Properties");
    auto* column = new QVBoxLayout(properties);
    column->setContentsMargins(2, 2, 2, 2);
    auto* object = new QComboBox;
    object->setObjectName("object");
    auto* table = new QTableWidget(0, 2);
    table->setObjectName("grid");
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::AnyKeyPressed);
    column->addWidget(object);
    column->addWidget(table, 1);
    ShowPropertiesOf(properties, env);
    // A new (Name) renames the component or project shown.
    std::weak_ptr<vbide::Environment> weak = env;
    QObject::connect(table, &QTableWidget::itemChanged, properties, [weak, properties, table](QTableWidgetItem* item) {
        auto e = weak.lock();
        if (!e || properties->property("filling").toBool() || item->column() != 1 ||
            table->item(item->row(), 0)->text() != "(Name)")
            return;
        const std::string name = ToAnsi(item->text());
        try {
            if (auto c = e->SelectedVBComponent()) {
                if (c->Name() != name) c->SetName(name);
            } else if (auto p = e->ActiveVBProject()) {
                if (p->Name() != name) p->SetName(name);
            }
        } catch (const vb::VbError&) {
            forms::MsgBox("Invalid property value", forms::vbOKOnly | forms::vbExclamation, "Properties");
        }
        ShowPropertiesOf(properties, e);
    });
    return properties;
}

const char* TypeName(vbide::vbext_ComponentType type) {
    switch (type) {
        case vbide::vbext_ct_StdModule: return "Module";
        case vbide::vbext_ct_ClassModule: return "ClassModule";
        case vbide::vbext_ct_VBForm: return "Form";
        case vbide::vbext_ct_VBMDIForm: return "MDIForm";
        case vbide::vbext_ct_UserControl: return "UserControl";
        case vbide::vbext_ct_PropPage: return "PropertyPage";
        case vbide::vbext_ct_DocObject: return "UserDocument";
        default: return "Component";
    }
}

}  // namespace

void ShowPropertiesOf(QWidget* content, const std::shared_ptr<vbide::Environment>& env) {
    auto* object = content->findChild<QComboBox*>("object");
    auto* table = content->findChild<QTableWidget*>("grid");
    if (!object || !table) return;
    std::vector<std::pair<QString, QString>> rows;
    QString title;
    if (auto c = env->SelectedVBComponent()) {
        title = FromAnsi(c->Name()) + " " + TypeName(c->Type());
        rows.push_back({"(Name)", FromAnsi(c->Name())});
        if (c->Type() == vbide::vbext_ct_ClassModule) {
            rows.push_back({"DataBindingBehavior", "0 - vbNone"});
            rows.push_back({"DataSourceBehavior", "0 - vbNone"});
            rows.push_back({"Instancing", "5 - MultiUse"});
            rows.push_back({"MTSTransactionMode", "0 - NotAnMTSObject"});
            rows.push_back({"Persistable", "0 - NotPersistable"});
        }
        std::string file = env->FileNameOf(c);
        if (!file.empty()) rows.push_back({"(File)", FromAnsi(file)});
    } else if (auto p = env->ActiveVBProject()) {
        title = FromAnsi(p->Name()) + " Project";
        rows.push_back({"(Name)", FromAnsi(p->Name())});
        if (!p->FileName().empty()) rows.push_back({"(File)", FromAnsi(p->FileName())});
    }
    content->setProperty("filling", true);
    object->clear();
    if (!title.isEmpty()) object->addItem(title);
    table->setRowCount(static_cast<int>(rows.size()));
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        // Items are reused: this may run while the grid tells of an edit
        // of one of them.
        for (int col = 0; col < 2; ++col) {
            const auto& row = rows[static_cast<std::size_t>(i)];
            const QString& text = col == 0 ? row.first : row.second;
            if (QTableWidgetItem* item = table->item(i, col)) item->setText(text);
            else table->setItem(i, col, new QTableWidgetItem(text));
            table->item(i, col)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        }
    }
    for (int i = 0; i < table->rowCount(); ++i)
        if (table->item(i, 0)->text() == "(Name)")
            table->item(i, 1)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
    table->resizeColumnToContents(0);
    table->resizeRowsToContents();
    content->setProperty("filling", false);
}

QWidget* MakeToolWindowContent(vbide::vbext_WindowType type, const std::string& caption,
                               const std::shared_ptr<vbide::Environment>& env) {
    switch (type) {
        case vbide::vbext_wt_Immediate: {
            auto* edit = new QPlainTextEdit;
            edit->setFont(Monospace());
            return edit;
        }
        case vbide::vbext_wt_Locals: {
            auto* w = new QWidget;
            auto* column = new QVBoxLayout(w);
            column->setContentsMargins(0, 0, 0, 0);
            column->addWidget(new QLabel("<Ready>"));
            column->addWidget(Grid({"Expression", "Value", "Type"}), 1);
            return w;
        }
        case vbide::vbext_wt_Watch: return Grid({"Expression", "Value", "Type", "Context"});
        case vbide::vbext_wt_Browser: return ObjectBrowser(env);
        case vbide::vbext_wt_PropertyWindow: return Properties(env);
        case vbide::vbext_wt_Preview: return new FormLayoutView;
        case vbide::vbext_wt_Toolbox: return Toolbox();
        case vbide::vbext_wt_ColorPalette: return ColorPalette();
        default: {
            auto* tree = new QTreeWidget;
            tree->setHeaderHidden(true);
            auto* root = new QTreeWidgetItem(tree, QStringList(FromAnsi(caption)));
            if (caption == "Data View") {
                new QTreeWidgetItem(root, QStringList("Data Links"));
                new QTreeWidgetItem(root, QStringList("Data Environment Connections"));
            }
            tree->expandAll();
            return tree;
        }
    }
}

}  // namespace ide
