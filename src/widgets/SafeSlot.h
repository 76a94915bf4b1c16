// The catching connect helper: Qt must not see an exception leave a slot, so every handler and
// timer slot is connected through SafeConnect, which shows an escaped exception's message through
// the message sink. This is the application's default error display (e.g. a port that cannot be
// opened). Used by the main window and by every page that connects its own controls.
#pragma once

#include "Messages.h"

#include <QObject>
#include <QString>

#include <concepts>
#include <exception>
#include <functional>
#include <utility>

namespace zul {

inline void ShowEscapedException(TMessageSink &sink, std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception &e) {
        sink.ShowError(e.what());
    } catch (...) {
        sink.ShowError("Unexpected error");
    }
}

// Runs one handler; an exception that escapes it is shown instead of propagated.
template<typename Handler, typename... Args>
void RunSafely(TMessageSink &sink, Handler &handler, Args &&...args)
{
    try {
        std::invoke(handler, std::forward<Args>(args)...);
    } catch (...) {
        ShowEscapedException(sink, std::current_exception());
    }
}

// signal -> any callable; the callable may take fewer arguments than the signal offers.
template<typename Sender, typename Signal, typename Handler>
QMetaObject::Connection SafeConnect(
    Sender *sender, Signal signal, const QObject *context, TMessageSink &sink, Handler handler)
{
    return QObject::connect(
        sender, signal, context,
        [&sink, handler = std::move(handler) ](
            auto &&...args) mutable requires std::invocable<Handler &, decltype(args)...> {
            RunSafely(sink, handler, std::forward<decltype(args)>(args)...);
        });
}

// signal -> member function of receiver, the usual pointer-to-member form.
template<typename Sender, typename Signal, typename Receiver, typename Result, typename... Params>
QMetaObject::Connection SafeConnect(Sender *sender, Signal signal, Receiver *receiver,
    Result (Receiver::*method)(Params...), TMessageSink &sink)
{
    return QObject::connect(
        sender, signal, receiver, [
            &sink, receiver,
            method
        ](auto &&...args) requires std::invocable<decltype(method), Receiver *, decltype(args)...> {
            RunSafely(sink, method, receiver, std::forward<decltype(args)>(args)...);
        });
}

} // namespace zul
