#include "RunEndRecord.h"

#include "certificate/RowCertificate.h"
#include "core/KindRegistry.h"
#include "core/ToolVersion.h"
#include "module/Session.h"
#include "records/RunLog.h"
#include "records/ZUL_Database.h"
#include "run/Plan.h"
#include "run/RunEngine.h"
#include "run/RunRecord.h"

#include <QSysInfo>

#include <optional>
#include <string>

namespace {

// The row the run's own save appended; a run that never saved has none.
std::optional<long long> savedRow(const TSession &session, const zul::run::Run &run)
{
    std::optional<long long> row;
    for (const zul::run::StepRecord &record : run.steps())
        if (record.step.name == "Save" && record.status == zul::run::StepStatus::Passed
            && session.ResultsDatabase)
            if (const auto id = session.ResultsDatabase->LastInsertedId())
                row = *id;
    return row;
}

std::string kindNameOf(const zul::ModuleState &module)
{
    const zul::TKindRow *kind = zul::findKind(module.kind);
    return kind ? std::string(kind->Name) : std::string("unknown");
}

TRunLogEntry logEntry(const zul::ModuleState &module, const zul::run::Run &run,
    const zul::run::Plan &plan, const QString &operatorName, std::optional<long long> row)
{
    const std::string kindName = kindNameOf(module);
    const QString station = QSysInfo::machineHostName();
    const QString version = QString::fromStdString(zul::toolVersionText());
    const zul::run::RecordHeader header { plan.name, operatorName.toStdString(),
        station.toStdString(), version.toStdString(),
        { { "kind", kindName }, { "model", module.modelText() }, { "serial", module.serialText() },
            { "firmware", module.firmwareText() }, { "board", module.boardText() } },
        row };
    return TRunLogEntry { QString::fromStdString(module.serialText()),
        QString::fromStdString(kindName),
        QString::fromStdString(zul::run::utcText(run.startedAt())),
        QString::fromStdString(zul::run::utcText(run.endedAt())),
        QString::fromLatin1(zul::run::outcomeName(run.outcome())), operatorName, station, version,
        QString::fromStdString(plan.name), row ? std::optional<qint64>(*row) : std::nullopt,
        QString::fromStdString(zul::run::runRecordJson(header, run)) };
}

// The one place the run's certificate is asked for.
QString certificateNote(const TSession &session, const zul::ModuleState &module, qint64 row,
    const QString &plan, const QString &record)
{
    // The kind's record still holds the row the run saved.
    const zul::TKindRow *kind = zul::findKind(module.kind);
    const TConfigRecord *saved = kind ? session.RecordOf<TConfigRecord>(kind->List) : nullptr;
    return saved ? WriteRunCertificate(module, *saved, row, plan, record) : QString();
}

} // namespace

QString StoreRunEnd(const TSession &session, const zul::ModuleState &module,
    const zul::run::Run &run, const zul::run::Plan &plan, const QString &operatorName)
{
    const std::optional<long long> row = savedRow(session, run);
    const TRunLogEntry entry = logEntry(module, run, plan, operatorName, row);
    if (!session.ResultsDatabase)
        return QStringLiteral("Run record not saved: no results database");
    QString note = StoreRunRecord(*session.ResultsDatabase, entry).where;
    if (row)
        note +=
            certificateNote(session, module, *row, QString::fromStdString(plan.name), entry.record);
    return note;
}
