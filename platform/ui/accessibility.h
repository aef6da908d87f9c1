// What screen readers are told beyond Qt's own accessibility bridge: a
// password box must never give away what is typed into it, and a line
// edit's text must be read whole.
#pragma once

// Installs, once for the application, a filter on every accessibility
// event: the text that a line edit with hidden echo inserts, removes or
// replaces goes on as stars, one a character, so that a screen reader can
// say that something was typed or deleted but never what. Qt's line edit
// hands its plain text to these events while its queries already hide it.
// The filter passes every event on to the handler installed before it, or
// to Qt's own bridge when there was none.
void installPasswordEventMask();

// Installs, once for the application, the accessible interface of every
// line edit: Qt's own answers each offset's text attributes with an empty
// run, and Orca, which joins the runs to split a line by language, then
// drops the line's last character. This one answers one run over the whole
// text, the last word at the text's end (where Qt's own search never
// returns, which freezes the program) and otherwise as Qt's own, a password
// box with no character of its text. Call it once the QApplication exists, whose constructor
// installs Qt's own: line edits whose interface Qt has made already keep it.
void installLineEditInterface();
