// The Program folder: the folder of the running executable, always ending
// in "/". Every data file of the system is named by appending to it.
#pragma once

#include <QString>

namespace ProgramFolder
{

// The folder part of the executable's path (/proc/self/exe), with "/"
// appended when missing; a test may set another folder instead.
QString fromExecutable();

// For tests: make fromExecutable() return this folder ("/" is appended
// when missing); an empty text restores the executable's folder.
void setOverride(const QString &folder);

// The folder part of a path up to and including its last "/".
QString folderOf(const QString &path);

} // namespace ProgramFolder
