// Live values after the scales change under a running session: the check page, the trend and the
// live log convert by the scales the module holds now, and the log names the new scales.
#include "ain/UnitZUL_AIN.h"
#include "ui/ModuleFixture.h"

#include "analog/WidgetScaleConfigPage.h"
#include "core/ModuleCodes.h"
#include "core/Registers.h"
#include "trend/LiveLogControl.h"
#include "widgets/RadioMatrix.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>

using zul::S_VinputPage;

class AINLiveScales : public ModuleFixture
{
protected:
    TScaleConfigPage &page()
    {
        return dynamic_cast<TScaleConfigPage &>(*window->Page(S_VinputPage));
    }
    // What the trend and the log receive, watched without opening the trend: whether it is
    // open is remembered in the settings that tests running alongside share.
    const zul::LiveSample &latest() const { return m_latest; }
    double latest(int channel) const { return m_latest.values[channel]; }
    void watchLive()
    {
        TSession &session = window->Session();
        session.OnLiveSample = [this, next = session.OnLiveSample](const zul::LiveSample &sample) {
            m_latest = sample;
            if (next)
                next(sample);
        };
    }
    QStringList logLines(const QString &path) const
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private:
    zul::LiveSample m_latest;
};

TEST_F(AINLiveScales, AScalesSaveChangesTheLiveValuesAndTheLogWritesANewHeader)
{
    connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt")); // every channel 0 to 10V
    watchLive();
    QTemporaryDir dir;
    const QString logPath = dir.filePath("live.csv");
    showPage(zul::pageIndex("AINCheckSheet"));
    ASSERT_TRUE(window->LiveLog().StartTo(logPath));
    sim->model().setAnalogStimulus(1, 2.5);
    poll();
    EXPECT_DOUBLE_EQ(latest(0), 2.5);

    // Every channel 0 to 5V, saved through the Scales page.
    showPage(S_VinputPage);
    on<QCheckBox>(S_VinputPage, "S_VINDipTickBox")->click();
    for (int row = 0; row < page().RowCount(); ++row)
        page().RangeMatrix->SetColumn(row, 0);
    on<QPushButton>(S_VinputPage, "S_VINScaleSaveButton")->click();
    ASSERT_TRUE(messages.texts().isEmpty()) << messages.texts().join('\n').toStdString();
    EXPECT_EQ(window->Session().Module.scaleCode(1), zul::scale::Volts0To5);

    showPage(zul::pageIndex("AINCheckSheet"));
    sim->model().setAnalogStimulus(1, 2.5); // the module itself reads 2.5 V by its new scale
    poll();
    EXPECT_DOUBLE_EQ(latest(0), 2.5);
    EXPECT_EQ(latest().scales[0], "0 to 5V");
    EXPECT_EQ(latest().units[0], "V");
    poll();
    window->LiveLog().Stop();

    const QStringList lines = logLines(logPath);
    ASSERT_EQ(lines.size(), 7) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("module,AIN,serial,00123456,AIN1 scale,0 to 10V,"))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[2].contains(",AIN Check,V,2.5,")) << lines[2].toStdString();
    // Where the scales changed the file says so in the first header's form, then goes on.
    EXPECT_TRUE(lines[3].startsWith("module,AIN,serial,00123456,AIN1 scale,0 to 5V,AIN2 scale,"
                                    "0 to 5V"))
        << lines[3].toStdString();
    EXPECT_EQ(lines[4], lines[1]);
    EXPECT_TRUE(lines[5].contains(",AIN Check,V,2.5,")) << lines[5].toStdString();
    EXPECT_TRUE(lines[6].contains(",AIN Check,V,2.5,")) << lines[6].toStdString();
}

// "Read from module" on a Scales page takes what the module holds now, even when something
// other than this tool changed it.
TEST_F(AINLiveScales, AScalesPageReadUpdatesTheLiveConversion)
{
    connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
    for (int n = 0; n < 8; ++n)
        sim->model().setHoldingRegister(zul::reg::ScaleCodes + n, zul::scale::Volts1To5);
    sim->model().setAnalogStimulus(1, 3.0);
    showPage(S_VinputPage);
    on<QCheckBox>(S_VinputPage, "S_VINDipTickBox")->click();
    on<QPushButton>(S_VinputPage, "S_VIN_ReadZULButton")->click();
    EXPECT_EQ(window->Session().Module.scaleCode(8), zul::scale::Volts1To5);
    showPage(zul::pageIndex("AINCheckSheet"));
    watchLive();
    poll();
    EXPECT_DOUBLE_EQ(latest(0), 3.0);
}
