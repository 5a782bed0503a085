// A dialog's QDialog: built from its template, forwarding user actions, timers and posts to the
// CDialog, which alone decides when the window ends.
#include "platform/ui/qt/QtDialogWindow.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QEventLoop>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QTimer>

#include "platform/ui/ComboSort.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/qt/QtControls.h"
#include "platform/ui/qt/QtText.h"

namespace {
constexpr char16_t CLOSE_ITEM_TEXT[] = u"&Close";

Qt::WindowFlags FlagsOf(std::uint32_t style) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if ((style & DS_CAPTION) != 0) {
        flags |= Qt::WindowTitleHint;
    }
    if ((style & DS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((style & DS_MINIMIZEBOX) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    return flags;
}
}  // namespace

CQtDialogWindow::CQtDialogWindow(CDialog& dialog) : QDialog(nullptr), dialog(dialog) {
    const DialogTemplate& source = dialog.Template();
    setWindowFlags(FlagsOf(source.style));
    setWindowTitle(ToQString(source.caption));
    setFont(DialogFont(source));
    base = BaseUnitsOf(font());
    const QRect client = DialogUnitsToPixels(0, 0, source.width, source.height, base);
    setFixedSize(client.size());
    BuildControls();
}

CQtDialogWindow::~CQtDialogWindow() = default;

void CQtDialogWindow::BuildControls() {
    for (const ControlTemplate& control : dialog.Template().controls) {
        QWidget* widget = CreateControl(control, this, base);
        if (control.id != IDC_STATIC) {
            controls[control.id] = widget;
        }
        Connect(control, widget);
    }
}

void CQtDialogWindow::Connect(const ControlTemplate& source, QWidget* widget) {
    const int id = source.id;
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        connect(button, &QAbstractButton::clicked, this,
                [this, id] { dialog.DispatchCommand(id, Notify::Clicked); });
    } else if (auto* label = qobject_cast<QLabel*>(widget);
               label && source.kind == ControlKind::Link) {
        connect(label, &QLabel::linkActivated, this,
                [this, id] { dialog.DispatchCommand(id, Notify::LinkClick); });
    }
}

void CQtDialogWindow::Show() {
    setWindowModality(Qt::ApplicationModal);
    show();
}

void CQtDialogWindow::EndModal() {
    hide();
    if (loop != nullptr) {
        loop->quit();
    }
}

void CQtDialogWindow::RunLoop() {
    if (!dialog.IsRunning()) {
        return;
    }
    QEventLoop nested;
    loop = &nested;
    nested.exec(QEventLoop::DialogExec);
    loop = nullptr;
}

void CQtDialogWindow::SetTimer(unsigned id, unsigned elapseMs) {
    QTimer*& timer = timers[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        timer->setTimerType(Qt::PreciseTimer);
        connect(timer, &QTimer::timeout, this, [this, id] { dialog.DispatchTimer(id); });
    }
    timer->start(static_cast<int>(std::max(elapseMs, 1u)));
}

// Timers are stopped, never deleted here: KillTimer is often called from the timer's own tick.
void CQtDialogWindow::KillTimer(unsigned id) {
    if (const auto it = timers.find(id); it != timers.end()) {
        it->second->stop();
    }
}

void CQtDialogWindow::KillAllTimers() {
    for (auto& [id, timer] : timers) {
        timer->stop();
    }
}

// Queued on this window: Qt drops the call unseen if the window is destroyed first.
void CQtDialogWindow::PostCommand(int commandId) {
    QMetaObject::invokeMethod(
        this, [this, commandId] { dialog.DispatchCommand(commandId, Notify::Clicked); },
        Qt::QueuedConnection);
}

void CQtDialogWindow::PostClose() {
    QMetaObject::invokeMethod(
        this, [this] { dialog.DispatchClose(); }, Qt::QueuedConnection);
}

void CQtDialogWindow::SetCaption(std::u16string_view text) {
    setWindowTitle(ToQString(text));
}

std::u16string CQtDialogWindow::Caption() const {
    return FromQString(windowTitle());
}

void CQtDialogWindow::AppendMenuItem(unsigned command, std::u16string_view text) {
    menuItems.emplace_back(0u, QString());
    menuItems.emplace_back(command, ToQString(text));
}

void CQtDialogWindow::SetIcon(int iconResourceId) {
    const QString path = QStringLiteral(":/icons/%1.png").arg(iconResourceId);
    if (QFile::exists(path)) {
        setWindowIcon(QIcon(path));
    }
}

QWidget* CQtDialogWindow::Control(int id) const {
    const auto it = controls.find(id);
    return it != controls.end() ? it->second : nullptr;
}

std::u16string CQtDialogWindow::ItemText(int id) const {
    QWidget* widget = Control(id);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return FromQString(button->text());
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        return FromQString(line->text());
    }
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        const QVariant given = edit->property(SET_TEXT_PROPERTY);
        if (edit->isReadOnly() && given.isValid()) {
            return FromQString(given.toString());
        }
        return FromQString(FromDisplayLines(edit->toPlainText()));
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        return FromQString(combo->currentText());
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return FromQString(label->text());
    }
    if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        return FromQString(group->title());
    }
    return {};
}

void CQtDialogWindow::SetItemText(int id, std::u16string_view text) {
    QWidget* widget = Control(id);
    const QString value = ToQString(text);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(value);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setText(value);
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setProperty(SET_TEXT_PROPERTY, value);
        edit->setPlainText(ToDisplayLines(value));
        // A log box grows at its end; keep its newest line in view.
        edit->verticalScrollBar()->setValue(edit->verticalScrollBar()->maximum());
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        combo->setEditText(value);
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        group->setTitle(value);
    }
}

int CQtDialogWindow::ItemCheck(int id) const {
    auto* check = qobject_cast<QCheckBox*>(Control(id));
    return check != nullptr && check->isChecked() ? 1 : 0;
}

void CQtDialogWindow::SetItemCheck(int id, int check) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(id))) {
        box->setChecked(check != 0);
    }
}

void CQtDialogWindow::SetProgressRange(int id, int lower, int upper) {
    if (auto* progress = qobject_cast<QProgressBar*>(Control(id))) {
        const int pos = progress->value();
        progress->setRange(lower, std::max(lower, upper));
        progress->setValue(std::clamp(pos, progress->minimum(), progress->maximum()));
    }
}

// QProgressBar ignores a value outside its range; the control clamps it instead.
void CQtDialogWindow::SetProgressPos(int id, int pos) {
    if (auto* progress = qobject_cast<QProgressBar*>(Control(id))) {
        progress->setValue(std::clamp(pos, progress->minimum(), progress->maximum()));
    }
}

int CQtDialogWindow::ProgressPos(int id) const {
    auto* progress = qobject_cast<QProgressBar*>(Control(id));
    return progress != nullptr ? progress->value() : 0;
}

void CQtDialogWindow::AddComboString(int id, std::u16string_view text) {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr) {
        return;
    }
    // Inserting selects nothing and moves nothing into the field: the field keeps what it
    // shows, and a list without a selection stays without one.
    const QString field = combo->currentText();
    const bool noSelection = combo->currentIndex() < 0;
    int at = combo->count();
    const auto it =
        std::find_if(dialog.Template().controls.begin(), dialog.Template().controls.end(),
                     [id](const ControlTemplate& c) { return c.id == id; });
    if ((it->style & CS_SORT) != 0) {
        std::vector<std::u16string> items;
        for (int i = 0; i < combo->count(); ++i) {
            items.push_back(FromQString(combo->itemText(i)));
        }
        at = static_cast<int>(SortedInsertPosition(items, text));
    }
    combo->insertItem(at, ToQString(text));
    if (noSelection) {
        combo->setCurrentIndex(-1);
    }
    combo->setEditText(field);
}

int CQtDialogWindow::ComboCount(int id) const {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    return combo != nullptr ? combo->count() : 0;
}

std::u16string CQtDialogWindow::ComboItem(int id, int index) const {
    auto* combo = qobject_cast<QComboBox*>(Control(id));
    if (combo == nullptr || index < 0 || index >= combo->count()) {
        return {};
    }
    return FromQString(combo->itemText(index));
}

void CQtDialogWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain =
        event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier;
    if (plain && event->key() == Qt::Key_Escape) {
        dialog.DispatchKey(DialogKey::Escape);
    } else if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        dialog.DispatchKey(DialogKey::Enter);
    } else {
        QWidget::keyPressEvent(event);
    }
}

// The close box asks the dialog; the window goes only when the dialog ends.
void CQtDialogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    dialog.DispatchClose();
}

void CQtDialogWindow::reject() {
    dialog.DispatchKey(DialogKey::Escape);
}

void CQtDialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    if ((dialog.Template().style & DS_SYSMENU) == 0) {
        return;
    }
    QMenu menu(this);
    menu.addAction(ToQString(CLOSE_ITEM_TEXT))->setData(SC_CLOSE);
    for (const auto& [command, text] : menuItems) {
        if (command == 0) {
            menu.addSeparator();
        } else {
            menu.addAction(text)->setData(command);
        }
    }
    if (QAction* chosen = menu.exec(event->globalPos())) {
        dialog.DispatchSysCommand(chosen->data().toUInt());
    }
}
