#include "RowCertificate.h"

#include "CertificateFiles.h"
#include "core/KindRegistry.h"
#include "core/ModuleState.h"
#include "records/AnalogConfigRecord.h"

#include <QSysInfo>

TCertificateNote WriteRowCertificate(const zul::ModuleState &module, const TConfigRecord &record,
    std::optional<qint64> rowId, const QString &plan, const QString &runRecord)
{
    const CertificateSettings settings = CertificateSettings::load();
    if (!settings.enabled)
        return {};
    if (!rowId)
        return { QStringLiteral("No certificate was written: the database did not tell the "
                                "saved row's number, which the certificate number needs."),
            true, {} };
    const zul::TKindRow *kind = zul::findKind(module.kind);
    const auto *analog = dynamic_cast<const TAnalogConfigRecord *>(&record);
    const CertificateInput input { kind ? QString::fromUtf8(kind->Name.data(), kind->Name.size())
                                        : QStringLiteral("unknown"),
        *rowId, rowByName(record.columns()), QString::fromStdString(module.modelText()),
        QSysInfo::machineHostName(), certificateToolVersion(), plan, settings.referenceInstrument,
        runRecord, QDateTime::currentDateTimeUtc(),
        analog ? analog->FiledTests : std::vector<zul::FiledTest> {} };
    const CertificateFiles files =
        writeCertificateFiles(buildCertificate(input), settings.rootFolder());
    if (!files.ok())
        return { QStringLiteral("The certificate could not be written to %1: %2. The results "
                                "row is saved.")
                     .arg(files.pdf, files.error),
            true, files.pdf };
    return { QStringLiteral("Certificate: %1").arg(files.pdf), false, files.pdf };
}

QString WriteRunCertificate(const zul::ModuleState &module, const TConfigRecord &record,
    qint64 rowId, const QString &plan, const QString &runRecord)
{
    const TCertificateNote note = WriteRowCertificate(module, record, rowId, plan, runRecord);
    return note.hint.isEmpty() ? QString() : ' ' + note.hint;
}
