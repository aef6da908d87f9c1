// What the handler guard shows for an error it caught.
#include "guard.h"

void showUncaught(const std::exception &error)
{
    if (auto *own = dynamic_cast<const OrvistaError *>(&error))
        showDefaultError(own->message());
    else
        showDefaultError(QString::fromUtf8(error.what()));
}

void showUnknownError()
{
    showDefaultError(QStringLiteral("Unknown error"));
}
