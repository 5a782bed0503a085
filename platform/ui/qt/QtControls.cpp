// One Qt widget per template control kind, with the template's style flags applied.
#include "platform/ui/qt/QtControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include "platform/ui/qt/QtText.h"

namespace {
bool Has(const ControlTemplate& control, std::uint32_t flag) {
    return (control.style & flag) != 0;
}

QWidget* CreateEdit(const ControlTemplate& control, QWidget* parent) {
    if (Has(control, CS_MULTILINE)) {
        auto* edit = new QPlainTextEdit(ToDisplayLines(ToQString(control.text)), parent);
        edit->setReadOnly(Has(control, CS_READONLY));
        edit->setVerticalScrollBarPolicy(Has(control, CS_VSCROLL) ? Qt::ScrollBarAlwaysOn
                                                                  : Qt::ScrollBarAlwaysOff);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        if (!Has(control, CS_BORDER)) {
            edit->setFrameShape(QFrame::NoFrame);
        }
        return edit;
    }
    auto* edit = new QLineEdit(ToQString(control.text), parent);
    edit->setReadOnly(Has(control, CS_READONLY));
    edit->setFrame(Has(control, CS_BORDER));
    return edit;
}

QWidget* CreateCombo(const ControlTemplate& control, QWidget* parent, const QRect& area) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(Has(control, CS_DROPDOWN));
    combo->setInsertPolicy(QComboBox::NoInsert);  // the dialog fills the list, never the user
    combo->setCompleter(nullptr);                 // typed text stays exactly as typed
    combo->setEditText(ToQString(control.text));
    // The template's height is the field plus its drop list.
    const int fieldHeight = combo->sizeHint().height();
    const int itemHeight = std::max(1, combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (area.height() - fieldHeight) / itemHeight));
    return combo;
}

QWidget* CreatePicture(const ControlTemplate& control, QWidget* parent) {
    auto* picture = new QLabel(parent);
    const QString path = QStringLiteral(":/bitmaps/%1.png").arg(control.resourceId);
    if (QFile::exists(path)) {
        picture->setPixmap(QPixmap(path));
    }
    if (Has(control, CS_SUNKEN) || Has(control, CS_BORDER) || !QFile::exists(path)) {
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return picture;
}

QWidget* CreateLink(const ControlTemplate& control, QWidget* parent) {
    QString text = ToQString(control.text);
    if (!text.contains(QStringLiteral("<a"))) {
        text = QStringLiteral("<a href=\"#\">%1</a>").arg(text.toHtmlEscaped());
    }
    auto* link = new QLabel(text, parent);
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setOpenExternalLinks(false);  // the dialog's handler opens the address
    return link;
}

QWidget* CreateWidget(const ControlTemplate& control, QWidget* parent, const QRect& area) {
    const QString text = ToQString(control.text);
    switch (control.kind) {
        case ControlKind::PushButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(true);  // Enter on a focused button presses it
            return button;
        }
        case ControlKind::CheckBox: {
            auto* check = new QCheckBox(text, parent);
            if (Has(control, CS_LEFTTEXT)) {
                check->setLayoutDirection(Qt::RightToLeft);
            }
            return check;
        }
        case ControlKind::Edit:
            return CreateEdit(control, parent);
        case ControlKind::GroupBox:
            return new QGroupBox(text, parent);
        case ControlKind::Static: {
            auto* label = new QLabel(text, parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignTop |
                                (Has(control, CS_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft));
            return label;
        }
        case ControlKind::ComboBox:
            return CreateCombo(control, parent, area);
        case ControlKind::ProgressBar: {
            auto* progress = new QProgressBar(parent);
            progress->setRange(0, 100);
            progress->setValue(0);
            progress->setTextVisible(false);
            return progress;
        }
        case ControlKind::Picture:
            return CreatePicture(control, parent);
        case ControlKind::Link:
            return CreateLink(control, parent);
    }
    return new QWidget(parent);
}
}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, BaseUnits base) {
    QRect area = DialogUnitsToPixels(control.x, control.y, control.width, control.height, base);
    QWidget* widget = CreateWidget(control, parent, area);
    if (control.kind == ControlKind::ComboBox) {
        area.setHeight(widget->sizeHint().height());
    }
    widget->setGeometry(area);
    widget->setEnabled(!Has(control, CS_DISABLED));
    if (Has(control, CS_HIDDEN)) {
        widget->hide();
    }
    if (control.kind == ControlKind::GroupBox) {
        widget->lower();  // a frame behind the controls it surrounds, never over them
    }
    if (control.id != IDC_STATIC) {
        widget->setObjectName(QString::number(control.id));
    }
    return widget;
}

QString ToDisplayLines(const QString& text) {
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            lines.append(u'\n');
            ++i;
        } else if (text[i] != u'\r' && text[i] != u'\n') {
            lines.append(text[i]);
        }
    }
    return lines;
}

QString FromDisplayLines(const QString& text) {
    QString lines = text;
    return lines.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
}
