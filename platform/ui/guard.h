// Every event handler runs inside guarded(): an error it raises ends the
// handler there and is shown with the default error message, and the program
// goes on. No exception ever unwinds through Qt.
#pragma once

#include <QObject>
#include <exception>

#include "dialogs.h"
#include "errors.h"

void showUncaught(const std::exception &error);
void showUnknownError();

template <typename Handler> void guarded(Handler &&handler) noexcept
{
    try {
        handler();
    } catch (const ProcessEnded &) {
        // Only a test's stand-in for ending the process gets here.
    } catch (const std::exception &error) {
        showUncaught(error);
    } catch (...) {
        showUnknownError();
    }
}

// Connects a signal to a handler that takes no arguments, run guarded.
template <typename Sender, typename Signal, typename Handler>
QMetaObject::Connection connectGuarded(Sender *sender, Signal signal, QObject *context,
                                       Handler handler)
{
    return QObject::connect(sender, signal, context, [handler]() { guarded(handler); });
}
