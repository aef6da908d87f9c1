// The editor's program block, apart from the message loop, so that tests can
// start the editor in-process.
#pragma once

// Sets the application title, loads the toolkit's Russian texts and creates
// the editor's windows in their fixed order; only the main window is shown by
// the caller.
void CreateEditorWindows();
