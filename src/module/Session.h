// The state of one run of the tool, owned by the main window and handed by reference to every
// unit: the register layer, which kind of module was found, the edition chosen at start-up, the
// number format and where messages go. Replaces the unit-level globals of a single-window tool.
#pragma once

#include "comms/ZUL_Modbus.h"
#include "core/LiveValues.h"
#include "core/ModuleCodes.h"
#include "records/DataRecords.h"
#include "widgets/Messages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class TDataModule_Results;

// Configuration of an analog module as last read by ShowConfiguration.
struct TConfigurationCodes
{
    std::array<std::uint16_t, 8> Hardware {};
    std::array<std::uint16_t, 8> Scales {};
    // The first hardware code when all eight agree, otherwise 0 ("not configured").
    std::uint16_t CommonHardware = 0;
};

struct TSession
{
    explicit TSession(TMessageSink &messages)
        : Messages(&messages)
    {
    }
    TSession(const TSession &) = delete;
    TSession &operator=(const TSession &) = delete;

    ZUL_Modbus Modbus;
    std::uint16_t ModuleKind = zul::KindUnknown;
    int ModelVariant = 0;
    bool ProductionTestVersion = false;
    bool HexDisplay = false;
    TMessageSink *Messages;
    TConfigurationCodes Configuration;

    // The results database, created once at start-up; Connect tries it and the results pages
    // save through it.
    std::shared_ptr<TDataModule_Results> ResultsDatabase;
    // The test records, created at connect when the results database can be opened and reused
    // by every save until the next connect.
    TestRecords Records;

    // The record of the kind at `list` as its own class; nullptr when there is none.
    template<typename Record>
    Record *RecordOf(int list) const
    {
        return list >= 0 && list < zul::KindCount
            ? dynamic_cast<Record *>(Records[static_cast<std::size_t>(list)].get())
            : nullptr;
    }

    // The operator of a production run while it saves: the row's TECHNICIAN. Empty otherwise,
    // which leaves the column empty as it always was.
    QString RunOperator;
    // The plan of that run, for the certificate of the row it saves; empty for a hand save,
    // whose certificate says "manual test".
    QString RunPlan;

    // Expected value plus and minus the tolerance of each channel while a production run waits
    // for a verification's values: the check page hands them on with its live values, so the
    // trend draws the band the run judges against.
    std::array<std::optional<std::pair<double, double>>, 8> LiveBands {};

    // Each poll tick's channel values as the page shows them, for the trend and the live-value
    // log; they only listen, so a tick costs no transaction more.
    std::function<void(const zul::LiveSample &)> LiveValues;
    void PublishLive(const zul::LiveSample &sample) const
    {
        if (LiveValues)
            LiveValues(sample);
    }

    void Message(const QString &text) const { Messages->ShowMessage(text.toStdString()); }
};
