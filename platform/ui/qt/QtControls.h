// Qt widgets for the controls of a dialog template, placed in pixels from dialog units.
#pragma once

#include <QWidget>

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/qt/DialogUnits.h"

// Creates the widget of one control as a child of parent, with its text, style and geometry.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, BaseUnits base);

// A multi-line edit shows "\r\n" as a line break and, like the system's edit control, shows
// nothing for a lone "\r" or "\n"; typed text reads back with "\r\n" again.
QString ToDisplayLines(const QString& text);
QString FromDisplayLines(const QString& text);

// A read-only multi-line edit keeps the text it was given here, so it reads back unchanged.
inline constexpr const char* SET_TEXT_PROPERTY = "quillonText";
