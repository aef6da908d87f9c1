// The role screen readers are told for the programs' main windows.
#pragma once

struct QMetaObject;

// Qt 6.4: every QDialog is reported as a dialog, and the programs' windows
// are all dialogs, for their showing; a screen reader looks for a window's
// status bar only in a frame, and announces a dialog as one. Installs, once
// the QApplication exists, an accessible interface that reports each window
// of `windowClass` as a frame and otherwise answers as Qt's own. Call it
// before such a window is made: a window keeps the interface made first.
void reportAsFrame(const QMetaObject &windowClass);
