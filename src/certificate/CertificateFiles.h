// Where certificates go and whether they are written: the settings, and the writing of the PDF
// and its JSON twin side by side under the certificate number. A number is never reused for
// other content: a certificate written again with the same content (its issue time aside) leaves
// the files as they are; with other content it becomes a revision of its own number that names
// the one it replaces. A file is only ever written whole (beside it, then renamed into place).
#pragma once

#include "Certificate.h"

struct CertificateSettings
{
    bool enabled = true;
    // Holds one folder per kind. The environment's ZUL_CERTIFICATE_DIR, when set, comes first
    // (a session's override, as ZUL_DB_DEFAULT is for the database); then this; empty:
    // defaultCertificateFolder().
    QString folder;
    QString referenceInstrument;

    static CertificateSettings load();
    void save() const;
    QString rootFolder() const;
};

// $XDG_DOCUMENTS_DIR/ZUL certificates
QString defaultCertificateFolder();

// The tool's version as the certificate names it: "1.4.0".
QString certificateToolVersion();

struct CertificateFiles
{
    QString pdf; // the full paths, also when writing failed
    QString json;
    QString error; // empty when both were written
    bool ok() const { return error.isEmpty(); }
};

// Writes <root>/<kind>/<number>.pdf and .json, making the folders. Where that number is taken,
// the latest of <number>, <number>-R2, <number>-R3, ... is compared with the new content by its
// JSON twin, ignoring the issue time: the same content answers its files untouched; other content
// goes to the first free "-R<n>", replacing the latest.
CertificateFiles writeCertificateFiles(const Certificate &certificate, const QString &rootFolder);
