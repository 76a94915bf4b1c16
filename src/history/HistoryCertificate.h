// "Certificate..." and "Open folder" of the results history: the certificate of a stored row
// written again, from the row and the record of the run that saved it, into the folder the
// settings name.
#pragma once

#include "records/DatabaseAlias.h"

#include <QString>

struct THistoryCertificate
{
    bool written = false;
    QString pdf; // the file, also when it could not be written; empty when the row was unread
    QString reason; // why nothing was written
};

// `kind` as the history's KIND column shows it ("AIN"), `id` the row's id.
THistoryCertificate WriteHistoryCertificate(
    const DatabasePaths &paths, const QString &kind, qint64 id);

// The folder the certificates go to, made when missing.
QString CertificateFolder();
