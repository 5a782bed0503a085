// Dialog units to pixels, from the base units of the dialog's font, so that windows keep the
// proportions their templates describe.
#pragma once

#include <QFont>
#include <QRect>

#include "platform/ui/DialogTemplate.h"

struct BaseUnits {
    int horizontal;  // average width of the letters A-Z a-z, in pixels
    int vertical;    // font height, in pixels
};

// From the width of the 52 letters A-Z a-z set in one run, and the font height, rounded as the
// dialog manager rounds: (width / 26 + 1) / 2.
BaseUnits BaseUnitsFromMetrics(int width52Letters, int fontHeight);

// x and widths x horizontal / 4, y and heights x vertical / 8, each rounded to nearest.
QRect DialogUnitsToPixels(int x, int y, int width, int height, BaseUnits base);

// The font a template names: "MS Shell Dlg" and other missing faces become the system's
// general (sans) font at the template's point size.
QFont DialogFont(const DialogTemplate& dialogTemplate);
BaseUnits BaseUnitsOf(const QFont& font);
