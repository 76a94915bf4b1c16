// Find module: the scan dialog against a simulated module whose address and rate the technician
// does not know, Use connecting to it, and Cancel.
#include "UiFixture.h"

#include "comms/RKCOMM.h"
#include "findmodule/FindModuleDialog.h"
#include "module/WidgetConnectPage.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

namespace {

class FindModuleTest : public UiFixture
{
protected:
    std::string startModule(int slave, int baud)
    {
        zulsim::Options options;
        options.kind = zulsim::Kind::named("DIO");
        options.slave = static_cast<std::uint8_t>(slave);
        options.baud = baud;
        options.strictLine = true;
        sim = std::make_unique<zulsim::Simulator>(options);
        sim->model().setInputRegister(803, 0x0012);
        sim->model().setInputRegister(804, 0xABCD);
        return sim->start();
    }

    FindModuleDialog *openDialog(const std::string &port)
    {
        openWindow();
        window->show();
        find<QComboBox>("CommsPortBox")->setEditText(QString::fromStdString(port));
        find<QPushButton>("FindModuleButton")->click();
        auto *dialog = window->findChild<FindModuleDialog *>(QStringLiteral("FindModuleDialog"));
        EXPECT_NE(dialog, nullptr);
        return dialog;
    }

    // Leaves only these rates, no parity and one stop bit ticked.
    static void narrow(FindModuleDialog &dialog, int from, int to, const QStringList &bauds)
    {
        dialog.FromAddressBox->setValue(from);
        dialog.ToAddressBox->setValue(to);
        for (QCheckBox *box : dialog.BaudBoxes)
            box->setChecked(bauds.contains(box->text()));
        for (QCheckBox *box : dialog.ParityBoxes)
            box->setChecked(box->text() == QStringLiteral("None"));
        dialog.StopBitsBoxes[1]->setChecked(false);
    }

    static bool scanEnds(FindModuleDialog &dialog)
    {
        return QTest::qWaitFor([&] { return !dialog.scanning(); }, 15000);
    }

    static QStringList row(const QTableWidget &table, int row)
    {
        QStringList cells;
        for (int column = 0; column < table.columnCount(); ++column)
            cells << table.item(row, column)->text();
        return cells;
    }
};

} // namespace

TEST_F(FindModuleTest, FindsTheUnknownModuleAndUseConnectsToIt)
{
    const std::string port = startModule(120, 19200);
    FindModuleDialog *dialog = openDialog(port);
    ASSERT_NE(dialog, nullptr);

    // Everything the Connect page offers is tried unless narrowed; the estimate follows.
    for (QCheckBox *box : dialog->findChildren<QCheckBox *>())
        EXPECT_TRUE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_EQ(dialog->FromAddressBox->value(), 1);
    EXPECT_EQ(dialog->ToAddressBox->value(), 247);
    // 247 addresses at 11 rates, 3 parities and 2 stop bits, each probe its wire time and 20 ms.
    EXPECT_EQ(dialog->TimeLeftLabel->text(), QStringLiteral("At most 14 min 45 s"));
    for (QCheckBox *box : dialog->BaudBoxes)
        box->setChecked(false);
    EXPECT_FALSE(dialog->StartButton->isEnabled());

    // A module beyond the Connect page's addresses is listed, but cannot be used.
    narrow(*dialog, 118, 121, { QStringLiteral("19200") });
    EXPECT_TRUE(dialog->StartButton->isEnabled());
    dialog->StartButton->click();
    EXPECT_TRUE(dialog->scanning());
    EXPECT_TRUE(dialog->CancelButton->isEnabled());
    EXPECT_FALSE(dialog->StartButton->isEnabled() || dialog->BaudBoxes[3]->isEnabled());
    ASSERT_TRUE(scanEnds(*dialog));
    ASSERT_EQ(dialog->AnswersTable->rowCount(), 1);
    EXPECT_EQ(row(*dialog->AnswersTable, 0).first(), QStringLiteral("120"));
    dialog->AnswersTable->selectRow(0);
    EXPECT_FALSE(dialog->UseButton->isEnabled());

    // The technician's guess of rates and addresses around the module's.
    sim->setSlave(17);
    narrow(*dialog, 14, 19, { QStringLiteral("9600"), QStringLiteral("19200") });
    dialog->StartButton->click();
    ASSERT_TRUE(scanEnds(*dialog));
    EXPECT_EQ(dialog->ScanProgressBar->value(), 12);
    EXPECT_EQ(dialog->ScanProgressBar->maximum(), 12);
    EXPECT_EQ(dialog->ScanStatusLabel->text(), QStringLiteral("Scan finished: 1 answered."));
    ASSERT_EQ(dialog->AnswersTable->rowCount(), 1);
    EXPECT_EQ(row(*dialog->AnswersTable, 0),
        (QStringList { "17", "19200", "None", "1", "DIO (Digital I/O module)", "0012ABCD" }));
    for (const zulsim::RequestRecord &request : sim->requestLog())
        EXPECT_EQ(request.function, 4) << request.text();

    // The first module found is chosen; Use fills the Connect page and connects.
    ASSERT_TRUE(dialog->UseButton->isEnabled());
    QSignalSpy pressed(find<QPushButton>("ConnectButt"), &QPushButton::clicked);
    dialog->UseButton->click();
    EXPECT_FALSE(dialog->isVisible());
    // Use connects with the answer's settings; the page only shows them, nothing presses it.
    EXPECT_EQ(pressed.count(), 0);
    const zul::ConnectionSettings &used = window->Session().Connection;
    EXPECT_EQ(used.address, 17);
    EXPECT_EQ(BaudRateTexts().at(used.baudIndex), QStringLiteral("19200"));
    EXPECT_EQ(used.devicePath, find<QComboBox>("CommsPortBox")->currentText().toStdString());
    EXPECT_EQ(find<QComboBox>("BaudRateBox")->currentText(), QStringLiteral("19200"));
    EXPECT_EQ(find<QComboBox>("ParityBox")->currentText(), QStringLiteral("None"));
    EXPECT_EQ(find<QComboBox>("StopBitsBox")->currentText(), QStringLiteral("1"));
    EXPECT_EQ(find<QSpinBox>("SpinEdit_SlaveAddress")->value(), 17);
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
    EXPECT_EQ(window->Session().Module.kind, zulsim::kindCode(zulsim::Kind::named("DIO")));
}

TEST_F(FindModuleTest, CancelAnswersAtOnceAndClosingMidScanFreesThePort)
{
    const std::string port = startModule(200, 9600);
    FindModuleDialog *dialog = openDialog(port);
    ASSERT_NE(dialog, nullptr);
    dialog->StartButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->ScanProgressBar->value() >= 3; }, 5000));

    // Idle before any event is handled: nothing waits for the probe under way.
    dialog->CancelButton->click();
    EXPECT_FALSE(dialog->scanning());
    EXPECT_TRUE(dialog->StartButton->isEnabled());
    EXPECT_FALSE(dialog->CancelButton->isEnabled());
    EXPECT_TRUE(dialog->BaudBoxes[0]->isEnabled());
    EXPECT_TRUE(dialog->TimeLeftLabel->text().isEmpty());
    EXPECT_TRUE(dialog->ScanStatusLabel->text().startsWith(QStringLiteral("Cancelled after ")))
        << dialog->ScanStatusLabel->text().toStdString();
    // What the stopped scan still reports is not shown.
    const int shown = dialog->ScanProgressBar->value();
    QTest::qWait(300);
    EXPECT_EQ(dialog->ScanProgressBar->value(), shown);
    EXPECT_TRUE(dialog->ScanStatusLabel->text().startsWith(QStringLiteral("Cancelled after ")));

    // Started again and closed in the middle: the dialog goes within a probe, the port with it.
    dialog->StartButton->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->ScanProgressBar->value() >= 2; }, 5000));
    QElapsedTimer closing;
    closing.start();
    dialog->reject();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_LT(closing.elapsed(), 1000);
    EXPECT_EQ(window->findChild<FindModuleDialog *>(), nullptr);
    TRKComm free;
    free.DevicePath = port;
    EXPECT_TRUE(free.Open());
    free.Close();
}
