// Shared by the certificate tests: rows of each kind as a saved record gives them, a run record
// of an AIN run with a retest, and the text of a PDF read back by pdftotext.
#pragma once

#include "certificate/Certificate.h"

#include <QString>
#include <QStringList>

QHash<QString, QVariant> passedAinRow();
QHash<QString, QVariant> failedAotRow();
QString ainRunRecord();

// The pages' texts, as pdftotext gives them; empty when the tool failed.
QStringList pdfPages(const QString &pdfPath);
// Every run of blanks as one space, so that wrapped lines compare with the content.
QString flattened(const QString &text);
