// The reminder's program block, apart from the message loop, so that tests
// can start the reminder in-process.
#pragma once

// Sets the application title, loads the toolkit's Russian texts and creates
// the reminder's windows in their fixed order: the splash (shown at once,
// with its pause), the closing dialog and the reminder window, both hidden.
void CreateReminderWindows();
