// Everything a kind's factory may hand on to its pages and unit; all of it outlives them.
#pragma once

class QTimer;
class QWidget;
class TPulsedOutputs;
class TZULGeneral;
class TZULHost;
struct TSession;

struct TKindContext
{
    TSession &Session;
    TZULGeneral &General;
    TZULHost &Host;
    QWidget *Window; // owner of the kind's dialogs
    QTimer &ModbusTimer; // the test dialogs stop it while they drive the module themselves
    TPulsedOutputs &PulsedOutputs; // update times and the targets dialog of every kind
};
