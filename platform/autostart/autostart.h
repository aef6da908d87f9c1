// The store of programs started at logon. Stands in for a string value under
// the registry's Run key: one XDG autostart desktop entry a value, named after
// the value, in the user's autostart folder ($XDG_CONFIG_HOME/autostart, else
// ~/.config/autostart). Machine-wide entries are left out: an ordinary user
// cannot write them.
#pragma once

#include <QString>

namespace AutoStart
{

// The autostart folder in use; a relative XDG_CONFIG_HOME is ignored, as
// the base directory rules require.
QString folder();
// The entry's file for a value name.
QString entryPath(const QString &valueName);

// True when an entry of that name exists, whatever it holds, unless it is
// switched off (Hidden=true or X-GNOME-Autostart-enabled=false): a session
// skips such an entry at logon, so it counts as absent.
bool exists(const QString &valueName);
// Writes the entry (creating the folder) so that a desktop session starts
// `command` at logon. Raises RegistryError "Failed to set data for '<name>'".
void write(const QString &valueName, const QString &command);
// Removes the entry; the outcome is not reported.
void remove(const QString &valueName);

// The Exec= value that starts a program, quoted as desktop entries require:
// the path itself, or env starting it from its folder where some launcher
// would not take the path as a program (a percent sign, a quote, ...).
QString execValue(const QString &command);

} // namespace AutoStart
