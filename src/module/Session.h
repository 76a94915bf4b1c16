// The state of one start of the tool (not to be confused with a production run), owned by the main
// window and handed by reference to every unit: the register layer, which kind of module was found,
// the edition chosen at start-up, the number format and where messages go. Replaces the unit-level
// globals of a single-window tool.
#pragma once

#include "SaveContext.h"
#include "comms/ZUL_Modbus.h"
#include "core/ConnectionSettings.h"
#include "core/LiveValues.h"
#include "core/ModuleCodes.h"
#include "core/ModuleState.h"
#include "records/DataRecords.h"
#include "widgets/Messages.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

class TDataModule_Results;

struct TSession
{
    explicit TSession(TMessageSink &messages)
        : Messages(&messages)
    {
    }
    TSession(const TSession &) = delete;
    TSession &operator=(const TSession &) = delete;

    ZUL_Modbus Modbus;
    // The connected module as last read: kind, identity, codes. The status panel shows it and
    // every save, run, log and certificate takes its facts from here.
    zul::ModuleState Module;
    // The settings of the last connect; the slave address follows the Connect page at once.
    zul::ConnectionSettings Connection;
    bool ProductionTestVersion = false;
    bool HexDisplay = false;
    TMessageSink *Messages;

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

    // What a saved row gets besides the database: the window installs the certificate writer
    // here once, so the save path needs no certificate library. Unset: nothing more.
    std::function<TSaveNote(
        const TConfigRecord &, std::optional<qint64> rowId, const TSaveContext &)>
        RowSaved;

    // Expected value plus and minus the tolerance of each channel while a production run waits
    // for a verification's values: the check page hands them on with its live values, so the
    // trend draws the band the run judges against.
    std::array<std::optional<std::pair<double, double>>, 8> LiveBands {};

    // Each poll tick's channel values as the page shows them, for the trend and the live-value
    // log; they only listen, so a tick costs no transaction more.
    std::function<void(const zul::LiveSample &)> OnLiveSample;
    void PublishLive(const zul::LiveSample &sample) const
    {
        if (OnLiveSample)
            OnLiveSample(sample);
    }

    void Message(const QString &text) const { Messages->ShowMessage(text.toStdString()); }
};

// The session's messages go to `sink` while this lives, then back to wherever they went before,
// also when the operation in between throws.
class TMessageSinkScope
{
public:
    TMessageSinkScope(TSession &session, TMessageSink &sink)
        : m_session(session)
        , m_previous(session.Messages)
    {
        m_session.Messages = &sink;
    }
    ~TMessageSinkScope() { m_session.Messages = m_previous; }
    TMessageSinkScope(const TMessageSinkScope &) = delete;
    TMessageSinkScope &operator=(const TMessageSinkScope &) = delete;

private:
    TSession &m_session;
    TMessageSink *m_previous;
};
