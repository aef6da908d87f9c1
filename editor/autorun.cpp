// The editor's autostart operations over the platform's autostart store.
#include "autorun.h"

#include "U_Karvel.h"
#include "autostart.h"

QString autoRunValueName()
{
    return QStringLiteral("Orvista (Orvista) 2");
}

bool AutoRunValueExists()
{
    return AutoStart::exists(autoRunValueName());
}

void AddAutoRunValue()
{
    AutoStart::write(autoRunValueName(), ProgramPath + QStringLiteral("tolvin"));
}

void DeleteAutoRunValue()
{
    AutoStart::remove(autoRunValueName());
}
