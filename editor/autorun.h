// Start of the reminder at logon: one autostart entry named "Orvista
// (Orvista) 2" that runs Program folder + "tolvin". The options window
// shows it as a check box and adds or removes it.
#pragma once

#include <QString>

// The entry's name in the autostart store.
QString autoRunValueName();

// True when an entry of that name exists, whatever it holds, unless the
// desktop switched it off.
bool AutoRunValueExists();
// Sets the entry to start the reminder of this Program folder, replacing
// whatever entry of that name was there. Raises RegistryError "Failed to
// set data for 'Orvista (Orvista) 2'".
void AddAutoRunValue();
// Removes the entry; a failure is not reported.
void DeleteAutoRunValue();
