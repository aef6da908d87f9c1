// The line edits' accessible interface: a line edit's text is read to screen
// readers whole, and a password box's not at all.
#pragma once

// Installs, once for the application, the accessible interface of every
// line edit. It answers as Qt's own but for the Qt 6.4 faults it works
// around (see lineeditinterface.cpp): one attribute run over the whole text,
// the last word at the text's end, and a password box with no character of
// its text. Call it once the QApplication exists, whose constructor installs
// Qt's own: line edits whose interface Qt has made already keep it.
void installLineEditInterface();
