// "DIO Check": live values from the simulated module, the output edit mode, the number format,
// and the targets dialog opened from the page.
#include "DIOFixture.h"

#include "module/FormZULPulsedOut.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QToolButton>

using zul::DIOCheckPage;

class DIOCheck : public DIOFixture
{
protected:
    QString shown(int n)
    {
        return on<QLabel>(DIOCheckPage, QString("StaticText%1").arg(n))->text();
    }
    QRadioButton *output(const char *state, int n)
    {
        return on<QRadioButton>(DIOCheckPage, QString("DOUT%1%2").arg(state).arg(n));
    }
    TForm_ZULPulsedOut *dialog() { return window->findChild<TForm_ZULPulsedOut *>(); }
    QLineEdit *targetEdit(const char *name) { return dialog()->findChild<QLineEdit *>(name); }
};

TEST_F(DIOCheck, PollShowsInputsOutputsCountsAndTargets)
{
    connectDIO();
    zulsim::ModuleModel &module = sim->model();
    module.setDiscreteInput(2, true);
    module.setCoil(3, true);
    module.setPulseInputCount(1, 0x00010002);
    module.setPulseInputCount(2, 0x80000005); // high word >= 0x8000: negative
    module.setPulseInputRate(1, 123);
    module.setPulseOutputCount(5, 77);
    module.setHoldingRegister(16, 255); // target of DIO8
    showPage(DIOCheckPage);
    poll();

    EXPECT_TRUE(on<QLabel>(DIOCheckPage, "DINLabel2")->isEnabled());
    EXPECT_FALSE(on<QLabel>(DIOCheckPage, "DINLabel1")->isEnabled());
    EXPECT_TRUE(output("On", 3)->isChecked());
    EXPECT_TRUE(output("Off", 1)->isChecked());
    EXPECT_EQ(shown(1), "65538");
    EXPECT_EQ(shown(2), "-2147483643");
    EXPECT_EQ(shown(9), "123");
    EXPECT_EQ(shown(37), "77");
    EXPECT_EQ(shown(48), "255");

    // Hex re-formats the targets at once; the rest follows at the next tick.
    find<QToolButton>("HexButton")->click();
    EXPECT_EQ(shown(48), "$00FF");
    EXPECT_EQ(shown(1), "65538");
    poll();
    EXPECT_EQ(shown(1), "$00010002");
    EXPECT_EQ(shown(2), "$80000005");
    EXPECT_EQ(shown(9), "$007B");
    find<QToolButton>("DecButton")->click();
    EXPECT_EQ(shown(48), "255");
    EXPECT_TRUE(messages.texts().isEmpty()) << messages.last().toStdString();
}

TEST_F(DIOCheck, EditModeHoldsTheChoiceUntilSendWritesTheCoils)
{
    connectDIO();
    sim->model().setCoil(3, true);
    showPage(DIOCheckPage);
    poll();
    auto *send = on<QPushButton>(DIOCheckPage, "DOUTSendBut");
    EXPECT_FALSE(send->isEnabled());
    EXPECT_FALSE(output("Off", 3)->isEnabled());

    on<QCheckBox>(DIOCheckPage, "DOUTEditCheckBox")->click();
    EXPECT_TRUE(send->isEnabled());
    EXPECT_TRUE(output("Off", 3)->isEnabled());
    output("Off", 3)->click();
    output("On", 5)->click();
    sim->clearRequestLog();
    poll();
    EXPECT_TRUE(requests(1, 1).empty()); // coils are not read while editing
    EXPECT_TRUE(output("Off", 3)->isChecked());

    sim->clearRequestLog();
    send->click();
    std::vector<std::uint16_t> expected(16, 0);
    expected[4] = 1;
    ASSERT_EQ(requests(15, 1).size(), 1u);
    EXPECT_EQ(requests(15, 1).front().values, expected);
    EXPECT_FALSE(sim->model().coil(3));
    EXPECT_TRUE(sim->model().coil(5));

    on<QCheckBox>(DIOCheckPage, "DOUTEditCheckBox")->click();
    EXPECT_FALSE(send->isEnabled());
    EXPECT_FALSE(output("On", 5)->isEnabled());
    sim->model().setCoil(7, true);
    poll();
    EXPECT_TRUE(output("On", 7)->isChecked());
}

TEST_F(DIOCheck, TargetsDialogSendsWhatWasTypedAndShowsItOnThePage)
{
    connectDIO();
    showPage(DIOCheckPage);
    on<QLabel>(DIOCheckPage, "StaticText41")->setText("7");
    TForm_ZULPulsedOut *targets = dialog();
    ASSERT_NE(targets, nullptr);
    EXPECT_EQ(targets->windowTitle(), "Edit Targets");
    targets->TargetsCaller = on<QPushButton>(DIOCheckPage, "DIOCheckEditButton");
    targets->show();
    EXPECT_EQ(targetEdit("Edit102")->text(), "7");
    EXPECT_EQ(targetEdit("Edit117")->text(), "0");

    const char *typed[] = { "70000", "-1", "x", "$0010", "5", "65535", "0", "$FFFF" };
    const char *names[] = { "Edit102", "Edit103", "Edit104", "Edit105", "Edit106", "Edit107",
        "Edit108", "Edit117" };
    for (int n = 0; n < 8; ++n)
        targetEdit(names[n])->setText(typed[n]);
    sim->clearRequestLog();
    targets->Button1->click();
    EXPECT_FALSE(targets->isVisible());
    EXPECT_EQ(blockWrite(9), (std::vector<std::uint16_t> { 0, 0, 0, 16, 5, 65535, 0, 65535 }));
    EXPECT_EQ(shown(41), "0");
    EXPECT_EQ(shown(44), "16");
    EXPECT_EQ(shown(48), "65535");

    // In Hex the dialog shows "$" values and takes them back unchanged.
    window->SetHex();
    EXPECT_EQ(shown(44), "$0010");
    targets->show();
    EXPECT_EQ(targetEdit("Edit105")->text(), "$0010");
    sim->clearRequestLog();
    targets->Button1->click();
    EXPECT_EQ(blockWrite(9), (std::vector<std::uint16_t> { 0, 0, 0, 16, 5, 65535, 0, 65535 }));
}

TEST_F(DIOCheck, EditTargetsButtonOpensTheDialogModallyAndCancelSendsNothing)
{
    connectDIO();
    showPage(DIOCheckPage);
    on<QLabel>(DIOCheckPage, "StaticText42")->setText("$0020");
    TForm_ZULPulsedOut *targets = dialog();
    QString seen;
    bool wasModal = false;
    QTimer::singleShot(0, targets, [&] {
        wasModal = QApplication::activeModalWidget() == targets;
        seen = targetEdit("Edit103")->text();
        targetEdit("Edit103")->setText("99");
        targets->Button2->click();
    });
    sim->clearRequestLog();
    on<QPushButton>(DIOCheckPage, "DIOCheckEditButton")->click();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(seen, "32");
    EXPECT_EQ(targets->TargetsCaller, on<QPushButton>(DIOCheckPage, "DIOCheckEditButton"));
    EXPECT_TRUE(requests(16, 9).empty());
    EXPECT_EQ(shown(42), "$0020");
}
