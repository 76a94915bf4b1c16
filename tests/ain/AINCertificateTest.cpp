// The certificate of a production save: written beside every saved row and named in the save's
// confirmation; one that cannot be written leaves the row saved and says where and why; the
// setting turns it off.
#include "SettingsFolder.h"
#include "ain/UnitZUL_AIN.h"
#include "certificate/CertificateSupport.h"
#include "certificate/RowCertificate.h"
#include "history/CertificateSettingsDialog.h"
#include "history/ResultsHistoryDialog.h"
#include "records/RunLog.h"
#include "records/ZUL_Database.h"
#include "ui/ModuleFixture.h"

#include <QAction>
#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableView>

using namespace zul;

class AINCertificates : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        // The setting lives in the test's own folder, the certificates in another.
        UseSettingsFolder(settingsDir.path());
        m_previousFolder = qgetenv("ZUL_CERTIFICATE_DIR");
        qputenv("ZUL_CERTIFICATE_DIR", QFile::encodeName(certificateDir.path()));
        connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
    }
    void TearDown() override
    {
        ModuleFixture::TearDown();
        qputenv("ZUL_CERTIFICATE_DIR", m_previousFolder);
    }

    void fileAndSave()
    {
        TAnalogResults &results = kindUnit<TZULAIN>(AINList).Results();
        results.SetCellText(1, 0, "V-SE");
        results.SetCellText(1, 1, "5");
        results.SetCellText(1, 2, "$8000");
        results.SetCellText(1, 10, "PASS");
        messages.clear();
        on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut")->click();
    }
    QString certificateOf(const QSqlRecord &row) const
    {
        return certificateDir.filePath(
            QStringLiteral("AIN/AIN-%1-%2-%3.pdf")
                .arg(row.value("SERIAL_NO").toString(), QDate::currentDate().toString("yyyyMMdd"),
                    row.value("id").toString()));
    }

    QTemporaryDir settingsDir;
    QTemporaryDir certificateDir;
    QByteArray m_previousFolder;
};

TEST_F(AINCertificates, EverySaveWritesItsRowsCertificateAndNamesItInTheConfirmation)
{
    fileAndSave();
    fileAndSave(); // a second row, a second certificate
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 2u);
    const QString pdf = certificateOf(rows[1]);
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });
    EXPECT_EQ(messages.lastHint(), "Certificate: " + pdf);
    EXPECT_EQ(messages.lastKind(), TMessageKind::Information);
    EXPECT_TRUE(QFile::exists(certificateOf(rows[0])));
    EXPECT_TRUE(QFile::exists(QString(pdf).replace(".pdf", ".json")));

    const QString text = flattened(pdfPages(pdf).join(' '));
    for (const QString &expected :
        { rows[1].value("SERIAL_NO").toString(), QStringLiteral("Method manual test"),
            QStringLiteral("$8000"), QStringLiteral("Verdict") })
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
}

TEST_F(AINCertificates, ACertificateThatCannotBeWrittenLeavesTheRowSavedAndSaysWhy)
{
    // A file where the kind's folder should be: no certificate can go there, whoever runs this.
    QFile inTheWay(certificateDir.filePath("AIN"));
    ASSERT_TRUE(inTheWay.open(QIODevice::WriteOnly));
    inTheWay.close();
    fileAndSave();
    auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });
    EXPECT_EQ(messages.lastKind(), TMessageKind::Warning);
    EXPECT_TRUE(messages.lastHint().startsWith(
        "The certificate could not be written to " + certificateOf(rows[0]) + ": the folder "))
        << messages.lastHint().toStdString();
    EXPECT_TRUE(messages.lastHint().endsWith("The results row is saved."));

    // Turned off: the confirmation alone, and nothing is tried.
    QSettings().setValue("Certificates/Enabled", false);
    fileAndSave();
    EXPECT_EQ(tableRows(TDataModule_Results::AIN_Table).size(), 2u);
    EXPECT_EQ(messages.texts(), QStringList { "Results saved to database" });
    EXPECT_EQ(messages.lastHint(), "");
    EXPECT_EQ(messages.lastKind(), TMessageKind::Information);
}

TEST_F(AINCertificates, RunsEndWritesTheSavedRowsCertificateAgainWithTheRunsRecord)
{
    fileAndSave();
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 1u);
    const QString pdf = certificateOf(rows[0]);
    const QString before = flattened(pdfPages(pdf).join(' '));
    EXPECT_TRUE(before.contains("Method manual test"));

    // Other content under a number already issued: a revision of its own that names the first.
    const QString note = WriteRunCertificate(window->Session().Module,
        *window->Session().RecordOf<TConfigRecord>(AINList), rows[0].value("id").toLongLong(),
        QString(), ainRunRecord());
    const QString revision = QString(pdf).replace(".pdf", "-R2.pdf");
    EXPECT_EQ(note, " Certificate: " + revision);
    const QString after = flattened(pdfPages(revision).join(' '));
    for (const char *expected : { "Method plan: AIN 0-10V", "Appendix: attempts that did not pass",
             "7 of 8 within $0080 of the expected value; outside: AIN6", "39876" })
        EXPECT_TRUE(after.contains(QLatin1String(expected))) << expected;
    EXPECT_TRUE(after.contains("Replaces " + QFileInfo(pdf).completeBaseName()));
    EXPECT_EQ(flattened(pdfPages(pdf).join(' ')), before) << "the first certificate stays";
    EXPECT_EQ(QDir(certificateDir.filePath("AIN")).entryList(QDir::Files).size(), 4);
}

TEST_F(AINCertificates, HistoryWritesAStoredRowsCertificateAgainWithItsRun)
{
    fileAndSave();
    fileAndSave();
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 2u);
    TDataModule_Results &database = *window->Session().ResultsDatabase;
    // The second row was saved by a run, whose record the run log keeps.
    const qint64 runRow = rows[1].value("id").toLongLong();
    TRunLogEntry entry { rows[1].value("SERIAL_NO").toString(), "AIN", "2026-12-07T17:10:00.000Z",
        "2026-12-07T17:19:00.000Z", "PASSED", "R. Okafor", "bench-3", "1.4.0", "AIN 0-10V", runRow,
        ainRunRecord(), "5f0c2a9e-1d4b-4c7a-9b1e-3a2f6d8c0e71" };
    QTemporaryDir runs;
    ASSERT_TRUE(StoreRunRecord(database, entry, runs.path()).rowWritten);
    QDir(certificateDir.filePath("AIN")).removeRecursively();

    TResultsHistoryDialog history(database.paths(), messages);
    QPushButton *button = history.findChild<QPushButton *>("HistoryCertificateButton");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isEnabled()) << "no row chosen yet";
    ASSERT_EQ(history.Model().rowCount(), 2);
    const int idColumn = history.Model().fieldColumn("id");
    for (int row = 0; row < 2; ++row) {
        history.HistoryView->setCurrentIndex(history.Model().index(row, 0));
        ASSERT_TRUE(button->isEnabled());
        messages.clear();
        button->click();
        const qint64 id = history.Model().index(row, idColumn).data().toLongLong();
        const QString pdf = certificateOf(rows[std::size_t(id - 1)]);
        EXPECT_EQ(messages.texts(), QStringList { "Certificate written" });
        EXPECT_EQ(messages.lastHint(), pdf) << "the same file the save wrote";
        const QString text = flattened(pdfPages(pdf).join(' '));
        EXPECT_TRUE(text.contains(rows[0].value("SERIAL_NO").toString()));
        EXPECT_TRUE(text.contains("$8000"));
        if (id == runRow) {
            EXPECT_TRUE(text.contains("Method plan: AIN 0-10V"));
            EXPECT_TRUE(text.contains("Station bench-3"));
            EXPECT_TRUE(text.contains("outside: AIN6"));
        } else {
            EXPECT_TRUE(text.contains("Method manual test"));
            EXPECT_TRUE(text.contains("Station not recorded"));
        }
    }
    EXPECT_EQ(QDir(certificateDir.filePath("AIN")).entryList(QDir::Files).size(), 4);

    QString opened;
    history.OpenFolder = [&opened](const QString &folder) { opened = folder; };
    history.findChild<QPushButton *>("HistoryOpenFolderButton")->click();
    EXPECT_EQ(opened, certificateDir.path());
}

TEST_F(AINCertificates, TheReferenceInstrumentSetInTheFileMenuIsNamedByTheNextCertificate)
{
    ASSERT_NE(find<QAction>("Certificates1"), nullptr);
    TCertificateSettingsDialog settings(window.get());
    EXPECT_TRUE(settings.EnabledCheck->isChecked());
    settings.ReferenceEdit->setText("  Calibrator K-7 s/n 4471, due 2027-03-01 ");
    settings.Store();
    fileAndSave();
    const auto rows = tableRows(TDataModule_Results::AIN_Table);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(flattened(pdfPages(certificateOf(rows[0])).join(' '))
                    .contains("Reference instrument Calibrator K-7 s/n 4471, due 2027-03-01"));
    EXPECT_EQ(TCertificateSettingsDialog().ReferenceEdit->text(),
        "Calibrator K-7 s/n 4471, due 2027-03-01");
}
