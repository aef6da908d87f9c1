// What screen readers are told beyond Qt's own accessibility bridge: a
// password box must never give away what is typed into it.
#pragma once

// Installs, once for the application, a filter on every accessibility
// event: the text that a line edit with hidden echo inserts, removes or
// replaces goes on as stars, one a character, so that a screen reader can
// say that something was typed or deleted but never what. Qt's line edit
// hands its plain text to these events while its queries already hide it.
// The filter passes every event on to the handler installed before it, or
// to Qt's own bridge when there was none.
void installPasswordEventMask();
