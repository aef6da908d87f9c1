// What low-vision users need of the look, whatever theme they pick: a
// keyboard focus mark they can see on every control, the grids included,
// and the colours the windows fix kept readable on a dark theme.
#pragma once

#include <QColor>
#include <QList>
#include <QPalette>
#include <functional>

class QAbstractButton;
class QLabel;
class QWidget;

// Installs, once for the application, a style over the theme's own: its
// focus mark is a frame of 2 pixels in the highlight colour on every
// control, drawn also before the first Tab; a default button without the
// focus looks like any other; and an item view's selected row shows the
// full highlight only while the view has the focus, a paler one otherwise.
void installLook();

// The contrast ratio of two colours by their relative luminance (WCAG):
// 1 for equal colours up to 21 for black on white.
double contrastRatio(const QColor &first, const QColor &second);
// The light palette the windows' fixed colours were made for.
QPalette lightPalette();

// Gives `widget` the palette of its parent (or the application's), or the
// light palette where the parent's colour in `background` would give one of
// `inks` less than 4.5:1; then `adjust` changes it. Applied again whenever
// the theme changes while the program runs.
void followTheme(QWidget *widget, QPalette::ColorRole background, const QList<QColor> &inks,
                 const std::function<void(QPalette &)> &adjust = {});

// A label's text in a fixed colour, on a background it can be read on.
void setFixedTextColour(QLabel *label, const QColor &colour);
// The widget's `role` in the theme's button-face colour.
void setButtonFaceBackground(QWidget *widget, QPalette::ColorRole role);
// A button's picture in its own colours, on a face it can be seen on.
void keepPictureReadable(QAbstractButton *button);
