// File > "Certificates..." (production edition): whether a certificate is written after every
// results save, the folder they go to, and the reference instrument they name.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

class TCertificateSettingsDialog : public QDialog
{
public:
    explicit TCertificateSettingsDialog(QWidget *parent = nullptr);

    // Stores the settings as the controls show them (what OK does).
    void Store() const;

    QCheckBox *EnabledCheck;
    QLineEdit *FolderEdit; // empty: the default folder, shown as the placeholder
    QLineEdit *ReferenceEdit;
};
