// Where certificates go and whether they are written: the settings, and the writing of the PDF
// and its JSON twin side by side under the certificate number. A file is replaced only whole
// (written beside it, then renamed over it), so rewriting a certificate never leaves half of one.
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

// Writes <root>/<kind>/<number>.pdf and .json, making the folders; an existing pair of the same
// number (the same row) is replaced.
CertificateFiles writeCertificateFiles(const Certificate &certificate, const QString &rootFolder);
