#include "PortOpenHints.h"

#include "PortList.h"
#include "comms/FailureHints.h"
#include "comms/RKCOMM.h"
#include "core/MessageSink.h"

#include <cerrno>

QString PortOpenHint(const EOpeningPortError &error)
{
    comms::PortOpenFacts facts;
    facts.device = error.Device();
    facts.error = error.Error();
    for (const TPortChoice &port : AvailablePorts())
        facts.presentPorts.push_back(port.Label.toStdString());
    // Looking through every process is only worth it when someone holds the port.
    if (facts.error == EBUSY || facts.error == EWOULDBLOCK)
        facts.holders = comms::portHolders(facts.device);
    facts.deviceGroup = comms::deviceGroup(facts.device);
    return QString::fromStdString(comms::portOpenHint(facts));
}

void ShowPortOpenError(TMessageSink &messages, const EOpeningPortError &error)
{
    messages.ShowError(error.what(), PortOpenHint(error).toStdString());
}
