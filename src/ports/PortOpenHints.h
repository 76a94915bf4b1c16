// The window's side of the error hints: the facts only a running tool knows (the ports it would
// offer now, who holds a port) gathered for the Qt-free choice in comms/FailureHints.h, and the
// message shown with its hint.
#pragma once

#include <QString>

class EOpeningPortError;
class TMessageSink;

// Why the port would not open: permissions, a device that is not there (and the ports that
// are), or the program that holds it.
QString PortOpenHint(const EOpeningPortError &error);
// The exception's own message, unchanged, with that hint.
void ShowPortOpenError(TMessageSink &messages, const EOpeningPortError &error);
