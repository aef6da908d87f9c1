// The toolkit's own texts in Russian: the standard buttons of message boxes,
// the file chooser, the edit menus. Both programs speak Russian whatever the
// locale the session sets, so the translation is chosen by name, not by the
// locale.
#pragma once

// Loads Qt's Russian translation once for the application. When it cannot be
// found the toolkit's English texts stay and the program runs on; the result
// says whether the translation is in place.
bool installRussianQtTranslation();
