#include "HistoryCertificate.h"

#include "certificate/CertificateFiles.h"
#include "core/KindRegistry.h"
#include "records/StoredRow.h"

#include <QDir>

THistoryCertificate WriteHistoryCertificate(
    const DatabasePaths &paths, const QString &kind, qint64 id)
{
    const zul::TKindRow *row = zul::findKindByName(kind.toStdString());
    if (!row || row->ResultsTable.empty())
        return { false, {}, QStringLiteral("%1 is no kind that saves results").arg(kind) };
    QString error;
    const std::optional<TStoredRow> stored = readStoredRow(paths, *row, id, &error);
    if (!stored)
        return { false, {}, error };
    const CertificateSettings settings = CertificateSettings::load();
    // Model, station and tool version are the run record's when a run saved the row; a row
    // saved by hand does not know them.
    const CertificateInput input { kind, id, stored->columns, {}, {}, {}, {},
        settings.referenceInstrument, stored->runRecord, QDateTime::currentDateTimeUtc(), {} };
    const CertificateFiles files =
        writeCertificateFiles(buildCertificate(input), settings.rootFolder());
    return { files.ok(), files.pdf, files.error };
}

QString CertificateFolder()
{
    QString folder = CertificateSettings::load().rootFolder();
    QDir().mkpath(folder);
    return folder;
}
