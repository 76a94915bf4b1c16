#include "CertificateFiles.h"

#include "CertificatePdf.h"
#include "core/ToolVersion.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
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

QString revisionNumber(const QString &number, int revision)
{
    return revision == 1 ? number : number + QStringLiteral("-R%1").arg(revision);
}

// A twin's content as two writings of one certificate share it: without the time it was written,
// its number and what names the number.
QJsonObject comparable(const QByteArray &json)
{
    QJsonObject root = QJsonDocument::fromJson(json).object();
    for (const char *key : { "number", "replaces", "end" })
        root.remove(QLatin1String(key));
    QJsonArray sections = root.value(QLatin1String("sections")).toArray();
    for (qsizetype s = 0; s < sections.size(); ++s) {
        QJsonObject section = sections[s].toObject();
        QJsonArray fields = section.value(QLatin1String("fields")).toArray();
        for (qsizetype f = fields.size() - 1; f >= 0; --f)
            if (fields[f].toObject().value(QLatin1String("label")).toString() == IssuedLabel)
                fields.removeAt(f);
        section.insert(QLatin1String("fields"), fields);
        sections[s] = section;
    }
    root.insert(QLatin1String("sections"), sections);
    return root;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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
    const auto filesOf = [&folder](const QString &number) {
        return CertificateFiles { folder + '/' + number + ".pdf", folder + '/' + number + ".json",
            {} };
    };
    CertificateFiles files = filesOf(certificate.number);
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir()) {
        files.error = QStringLiteral("the folder %1 cannot be made").arg(folder);
        return files;
    }
    int revision = 1;
    QString latest;
    for (;; ++revision) {
        const CertificateFiles taken = filesOf(revisionNumber(certificate.number, revision));
        if (!QFileInfo::exists(taken.pdf) && !QFileInfo::exists(taken.json))
            break;
        latest = revisionNumber(certificate.number, revision);
    }
    Certificate written = certificate;
    if (!latest.isEmpty()) {
        CertificateFiles current = filesOf(latest);
        const QByteArray stored = fileBytes(current.json);
        if (QFileInfo::exists(current.pdf) && !stored.isEmpty()
            && comparable(stored) == comparable(certificateJson(certificate)))
            return current;
        written =
            revisedCertificate(certificate, revisionNumber(certificate.number, revision), latest);
        files = filesOf(written.number);
    }
    QString reason =
        writeWhole(files.pdf, [&](QSaveFile &file) { return writeCertificatePdf(written, file); });
    if (reason.isEmpty())
        reason = writeWhole(files.json, [&](QSaveFile &file) {
            const QByteArray text = certificateJson(written);
            return file.write(text) == text.size();
        });
    files.error = reason;
    return files;
}
