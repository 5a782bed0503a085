// Dialog-unit geometry and the dialog font.
#include "platform/ui/qt/DialogUnits.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include "platform/ui/qt/QtText.h"

namespace {
constexpr char LETTERS_52[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// a * b / c rounded to nearest, halves away from zero.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}
}  // namespace

BaseUnits BaseUnitsFromMetrics(int width52Letters, int fontHeight) {
    return {(width52Letters / 26 + 1) / 2, fontHeight};
}

QRect DialogUnitsToPixels(int x, int y, int width, int height, BaseUnits base) {
    return QRect(MulDiv(x, base.horizontal, 4), MulDiv(y, base.vertical, 8),
                 MulDiv(width, base.horizontal, 4), MulDiv(height, base.vertical, 8));
}

QFont DialogFont(const DialogTemplate& dialogTemplate) {
    QFont font(ToQString(dialogTemplate.fontName));
    if (!QFontInfo(font).exactMatch()) {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    }
    if (dialogTemplate.fontPoints > 0) {
        font.setPointSize(dialogTemplate.fontPoints);
    }
    return font;
}

BaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    return BaseUnitsFromMetrics(metrics.horizontalAdvance(QString::fromLatin1(LETTERS_52)),
                                metrics.height());
}
