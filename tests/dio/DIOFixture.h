// The main window connected to a simulated DIO module.
#pragma once

#include "dio/UnitZUL_DIO.h"
#include "ui/ModuleFixture.h"

class DIOFixture : public ModuleFixture
{
protected:
    void connectDIO(const QString &executable = QStringLiteral("zulconfig"))
    {
        connectKind(zulsim::Kind::named("DIO"), executable);
    }
    TZULDIO &unit() { return kindUnit<TZULDIO>(zul::DIOList); }
};
