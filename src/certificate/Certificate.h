// The test certificate of one saved results row: what a quality engineer files for a module that
// left the station. Built from the row as it was saved (by its column names, so a row read back
// from the database and a record just saved give the same certificate) and, for a production
// run, from the run's record. The content is laid out once here; the PDF and the JSON twin are
// two renderings of it and never differ in content. Widget-free.
#pragma once

#include "core/FiledTest.h"
#include "records/RecordRow.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

struct CertificateField
{
    QString label;
    QString value;
};

struct CertificateTable
{
    QStringList columns;
    QList<QStringList> rows;
};

struct CertificateSection
{
    QString title;
    QList<CertificateField> fields;
    CertificateTable table; // no columns: the section has no table
    QString note; // a sentence under the section; may be empty
};

struct Certificate
{
    QString number; // <kind>-<serial>-<yyyymmdd>-<row id>, a revision's with "-R2", "-R3", ...
    QString replaces; // the number of the certificate a revision replaces; empty: none
    QString runId; // the run that saved the row; empty: a manual test
    QString title;
    QString kind;
    QString serial;
    QString verdict; // "PASS" or "FAIL"
    QString decisionRule;
    QList<CertificateSection> sections;
    QString endLine;
};

inline const QString NotRecorded = QStringLiteral("not recorded");
// The field that says when the certificate was written: the one thing a rewrite of the same
// content changes.
inline const QString IssuedLabel = QStringLiteral("Certificate written");

// Everything a certificate is made of besides the row.
struct CertificateInput
{
    QString kind; // "AIN", "AOT", "DIO"
    qint64 rowId = 0;
    QHash<QString, QVariant> columns; // the saved row by column name
    // Empty: the run record's, else the kind's type text for the model, "not recorded" for the
    // others (a row written again from the history does not know where it was saved).
    QString model;
    QString station;
    QString toolVersion;
    QString plan; // empty: a manual test
    QString referenceInstrument; // empty: "not recorded"
    QString runRecord; // the run's JSON record; empty when there is none (yet)
    QDateTime issued; // when the certificate is written
    // The analog tests as judged when they were filed (a save just made); empty for a row read
    // back from the database, whose tests are judged from their texts.
    std::vector<zul::FiledTest> filedTests;
};

// "<kind>-<serial>-<yyyymmdd>-<row id>", the date being the row's test date; characters that do
// not belong in a file name become "_", since the number is also the files' base name.
QString certificateNumber(
    const QString &kind, const QString &serial, const QDate &testDate, qint64 rowId);

Certificate buildCertificate(const CertificateInput &input);

// The certificate as the revision `number` of the one numbered `replaces`: the same content,
// its end line naming the new number.
Certificate revisedCertificate(
    const Certificate &certificate, const QString &number, const QString &replaces);

// A record's row, as a test record hands it to the database, by column name.
QHash<QString, QVariant> rowByName(const RecordRow &row);

// The twin: the same content as JSON text, UTF-8, indented.
QByteArray certificateJson(const Certificate &certificate);
