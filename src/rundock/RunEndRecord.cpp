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
#include "run/RunRecordFile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QSysInfo>
#include <QUuid>

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

std::size_t attemptsEnded(const zul::run::Run &run)
{
    std::size_t ended = 0;
    for (const zul::run::StepRecord &step : run.steps())
        for (const zul::run::Attempt &attempt : step.attempts)
            if (attempt.status != zul::run::StepStatus::Running)
                ++ended;
    return ended;
}

TRunLogEntry logEntry(const zul::ModuleState &module, const zul::run::Run &run,
    const zul::run::Plan &plan, const QString &operatorName, std::optional<long long> row,
    const QString &runId)
{
    const std::string kindName = kindNameOf(module);
    const QString station = QSysInfo::machineHostName();
    const QString version = QString::fromStdString(zul::toolVersionText());
    const zul::run::RecordHeader header { plan.name, operatorName.toStdString(),
        station.toStdString(), version.toStdString(),
        { { "kind", kindName }, { "model", module.modelText() }, { "serial", module.serialText() },
            { "firmware", module.firmwareText() }, { "board", module.boardText() } },
        row, runId.toStdString(), planContentHash(plan).toStdString() };
    return TRunLogEntry { QString::fromStdString(module.serialText()),
        QString::fromStdString(kindName),
        QString::fromStdString(zul::run::utcText(run.startedAt())),
        QString::fromStdString(zul::run::utcText(run.endedAt())),
        QString::fromLatin1(zul::run::outcomeName(run.outcome())), operatorName, station, version,
        QString::fromStdString(plan.name), row ? std::optional<qint64>(*row) : std::nullopt,
        QString::fromStdString(zul::run::runRecordJson(header, run)), runId };
}

// The run's file in the runs folder, named by the serial known when it is made and the start.
std::unique_ptr<zul::run::RunRecordFile> recordFile(const TRunLogEntry &entry)
{
    return std::make_unique<zul::run::RunRecordFile>(
        QFile::encodeName(defaultRunsFolder()).toStdString(),
        QFile::encodeName(runRecordBaseName(entry)).toStdString());
}

bool writeRecord(zul::run::RunRecordFile &file, const QString &record)
{
    const QByteArray text = record.toUtf8();
    return file.write(std::string_view(text.constData(), std::size_t(text.size())));
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

QString planContentHash(const zul::run::Plan &plan)
{
    if (!plan.contentHash.empty())
        return QString::fromStdString(plan.contentHash);
    const QByteArray canonical =
        QByteArray::fromStdString(plan.name + "\nbuilt-in\n" + zul::toolVersionText() + "\n");
    return QString::fromLatin1(
        QCryptographicHash::hash(canonical, QCryptographicHash::Sha256).toHex());
}

TRunRecordKeeper::TRunRecordKeeper() = default;
TRunRecordKeeper::~TRunRecordKeeper() = default;

void TRunRecordKeeper::Start()
{
    m_runId = QUuid::createUuid().toString(QUuid::WithoutBraces);
    m_file.reset();
    m_attemptsWritten = 0;
}

QString TRunRecordKeeper::FilePath() const
{
    return m_file ? QFile::decodeName(m_file->path().c_str()) : QString();
}

QString TRunRecordKeeper::Progress(const zul::ModuleState &module, const zul::run::Run &run,
    const zul::run::Plan &plan, const QString &operatorName)
{
    const std::size_t ended = attemptsEnded(run);
    if (ended == m_attemptsWritten || run.finished()) // the end writes the whole record itself
        return {};
    const TRunLogEntry entry = logEntry(module, run, plan, operatorName, {}, m_runId);
    if (!m_file)
        m_file = recordFile(entry);
    if (!writeRecord(*m_file, entry.record))
        return QString::fromStdString(m_file->error());
    m_attemptsWritten = ended;
    return {};
}

QString TRunRecordKeeper::End(const TSession &session, const zul::ModuleState &module,
    const zul::run::Run &run, const zul::run::Plan &plan, const QString &operatorName)
{
    const std::optional<long long> row = savedRow(session, run);
    const TRunLogEntry entry = logEntry(module, run, plan, operatorName, row, m_runId);
    if (!m_file)
        m_file = recordFile(entry);
    if (!session.ResultsDatabase) {
        return writeRecord(*m_file, entry.record)
            ? QStringLiteral("Run record saved to %1 only: no results database").arg(FilePath())
            : QStringLiteral("Run record not saved: no results database; %1")
                  .arg(QString::fromStdString(m_file->error()));
    }
    QString note = StoreRunRecord(*session.ResultsDatabase, entry, *m_file).where;
    m_attemptsWritten = attemptsEnded(run);
    if (row)
        note +=
            certificateNote(session, module, *row, QString::fromStdString(plan.name), entry.record);
    return note;
}
