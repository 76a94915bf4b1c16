// One AIN and one AOT save through the window into the PostgreSQL test server: the columns that
// come from the module, the grid and the ticks land in the shared tables as on SQLite.
#include "ain/UnitZUL_AIN.h"
#include "aot/UnitZUL_AOT.h"
#include "records/RecordTestSupport.h"
#include "ui/ModuleFixture.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>

using namespace zul;

class PostgresResults : public ModuleFixture
{
protected:
    void SetUp() override
    {
        ModuleFixture::SetUp();
        QString whyNot;
        m_db = TestDatabase::create(Engine::Postgres, &whyNot);
        if (!m_db) {
            if (runningInCi())
                FAIL() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
            GTEST_SKIP() << "PostgreSQL test server unavailable: " << whyNot.toStdString();
        }
        qputenv("ZUL_DB_ALIASES", QFile::encodeName(m_db->paths().aliasFile));
    }

    std::unique_ptr<TestDatabase> m_db;
};

TEST_F(PostgresResults, AnalogSavesLandAsOneRowEach)
{
    connectKind(zulsim::Kind::named("AIN"), QStringLiteral("zulconfigt"));
    TAnalogResults &ain = kindUnit<TZULAIN>(AINList).Results();
    ain.SetCellText(1, 0, "I-SE");
    ain.SetCellText(1, 1, "12");
    ain.SetCellText(1, 2, "$8000");
    ain.SetCellText(1, 10, "PASS");
    on<QCheckBox>(AINResultsPage, "CheckBox10")->click(); // digital outputs all passed
    on<QPushButton>(AINResultsPage, "AINResultsSaveDBBut")->click();
    EXPECT_EQ(messages.last(), "Results saved to database");

    window.reset();
    sim->stop();
    connectKind(zulsim::Kind::named("AOT"), QStringLiteral("zulconfigt"));
    sim->model().setHoldingRegister(125, 160); // span of AOT1, kept by the store handshake
    sim->model().setHoldingRegister(192, 0x7E21);
    sim->model().setHoldingRegister(192, 0xA7D2);
    on<QPushButton>(AOTResultsPage, "Button_DBResultsSave")->click();
    EXPECT_EQ(messages.last(), "Results saved to database");

    const auto ainRows = m_db->rows("ZUL-472K-Log");
    ASSERT_EQ(ainRows.size(), 1u);
    EXPECT_TRUE(ainRows[0].value("SE_IIN_TESTS").toBool());
    EXPECT_EQ(ainRows[0].value("Test1_1").toString(), "$8000");
    EXPECT_TRUE(ainRows[0].value("DOT_RESULT").toBool());
    EXPECT_EQ(ainRows[0].value("SE_IIN_SPAN1").toInt(), 1500);
    EXPECT_EQ(ainRows[0].value("SCALE1").toString(), "AIN1: 0 to 10V");
    const auto aotRows = m_db->rows("ZUL-472K-13-Log");
    ASSERT_EQ(aotRows.size(), 1u);
    EXPECT_EQ(aotRows[0].value("COMMENTS_VOUT").toString(), "Voltage output not tested. ");
    EXPECT_EQ(aotRows[0].value("SERIAL_NO").toString(), "00123456");
    EXPECT_EQ(aotRows[0].value("VOT_SPAN1").toInt(), 160);
}
