#include "CertificateSettingsDialog.h"

#include "certificate/CertificateFiles.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

TCertificateSettingsDialog::TCertificateSettingsDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CertificateSettingsDialog"));
    setWindowTitle(QStringLiteral("Certificates"));
    const CertificateSettings settings = CertificateSettings::load();
    EnabledCheck = new QCheckBox(QStringLiteral("Write a certificate after every results save"));
    EnabledCheck->setObjectName(QStringLiteral("CertificateEnabledCheck"));
    EnabledCheck->setChecked(settings.enabled);
    FolderEdit = new QLineEdit(settings.folder);
    FolderEdit->setObjectName(QStringLiteral("CertificateFolderEdit"));
    FolderEdit->setPlaceholderText(defaultCertificateFolder());
    ReferenceEdit = new QLineEdit(settings.referenceInstrument);
    ReferenceEdit->setObjectName(QStringLiteral("ReferenceInstrumentEdit"));
    ReferenceEdit->setPlaceholderText(QStringLiteral("model, serial number, calibration due date"));
    ReferenceEdit->setMinimumWidth(360);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        Store();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QFormLayout(this);
    layout->addRow(EnabledCheck);
    layout->addRow(QStringLiteral("Folder"), FolderEdit);
    layout->addRow(QStringLiteral("Reference instrument"), ReferenceEdit);
    layout->addRow(buttons);
}

void TCertificateSettingsDialog::Store() const
{
    CertificateSettings { EnabledCheck->isChecked(), FolderEdit->text().trimmed(),
        ReferenceEdit->text().trimmed() }
        .save();
}
