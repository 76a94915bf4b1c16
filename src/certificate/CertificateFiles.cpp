#include "CertificateFiles.h"

#include "CertificatePdf.h"
#include "core/ToolVersion.h"

#include <QDir>
#include <QSaveFile>
#include <QSettings>
#include <QStandardPaths>

#include <functional>

namespace {

const QString EnabledKey = QStringLiteral("Certificates/Enabled");
const QString FolderKey = QStringLiteral("Certificates/Folder");
const QString ReferenceKey = QStringLiteral("Certificates/ReferenceInstrument");

QString writeWhole(const QString &path, const std::function<bool(QSaveFile &)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!write(file)) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason.isEmpty() || reason == QLatin1String("Unknown error")
            ? QStringLiteral("the document could not be written")
            : reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace

CertificateSettings CertificateSettings::load()
{
    QSettings settings;
    return { settings.value(EnabledKey, true).toBool(), settings.value(FolderKey).toString(),
        settings.value(ReferenceKey).toString() };
}

void CertificateSettings::save() const
{
    QSettings settings;
    settings.setValue(EnabledKey, enabled);
    settings.setValue(FolderKey, folder);
    settings.setValue(ReferenceKey, referenceInstrument);
}

QString CertificateSettings::rootFolder() const
{
    QString session = qEnvironmentVariable("ZUL_CERTIFICATE_DIR");
    if (!session.isEmpty())
        return session;
    return folder.trimmed().isEmpty() ? defaultCertificateFolder() : folder.trimmed();
}

QString defaultCertificateFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return documents + QStringLiteral("/ZUL certificates");
}

QString certificateToolVersion()
{
    return QString::fromStdString(zul::toolVersionText());
}

CertificateFiles writeCertificateFiles(const Certificate &certificate, const QString &rootFolder)
{
    const QString folder = rootFolder + '/' + certificate.kind;
    CertificateFiles files { folder + '/' + certificate.number + ".pdf",
        folder + '/' + certificate.number + ".json", {} };
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        files.error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return files;
    }
    QString reason = writeWhole(
        files.pdf, [&](QSaveFile &file) { return writeCertificatePdf(certificate, file); });
    if (reason.isEmpty())
        reason = writeWhole(files.json, [&](QSaveFile &file) {
            const QByteArray text = certificateJson(certificate);
            return file.write(text) == text.size();
        });
    files.error = reason;
    return files;
}
