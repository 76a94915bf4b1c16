#include "MessageRecorder.h"
#include "RecordTestSupport.h"

#include "core/PageTable.h"
#include "records/ZUL_Database.h"

#include <gtest/gtest.h>

#include <QSet>

namespace {

QStringList names(const RecordRow &row)
{
    QStringList list;
    for (const RecordColumn &column : row)
        list << column.name;
    return list;
}

const RecordColumn &column(const RecordRow &row, const QString &name)
{
    for (const RecordColumn &c : row) {
        if (c.name == name)
            return c;
    }
    static const RecordColumn missing { "missing", ColumnKind::Text, {} };
    return missing;
}

} // namespace

TEST(DataRecords, DioRowHasItsFortyNineColumnsInOrder)
{
    const QStringList expected = QString("SERIAL_NO DATE_FLD TECHNICIAN BOARD_REV FWARE_REV "
                                         "DIN_RESULT COMMENTS_DIN DOT_RESULT COMMENTS_DOT "
                                         "POT_RESULT COMMENTS_POT POT_CNT_RESULT COMMENTS_POT_CNT "
                                         "PoutTime1 PoutTime2 PoutTime3 PoutTime4 PoutTime5 "
                                         "PoutTime6 PoutTime7 PoutTime8 PoutPASS1 PoutPASS2 "
                                         "PoutPASS3 PoutPASS4 PoutPASS5 PoutPASS6 PoutPASS7 "
                                         "PoutPASS8 PoutCPASS1 PoutCPASS2 PoutCPASS3 PoutCPASS4 "
                                         "PoutCPASS5 PoutCPASS6 PoutCPASS7 PoutCPASS8 "
                                         "PinMaxRate1 PinMaxRate2 PinMaxRate3 PinMaxRate4 "
                                         "PinCountPass1 PinCountPass2 PinCountPass3 "
                                         "PinCountPass4 PinRatePass1 PinRatePass2 PinRatePass3 "
                                         "PinRatePass4")
                                     .split(' ');
    const RecordRow row = sampleDioRecord().columns();
    EXPECT_EQ(names(row), expected);
    EXPECT_EQ(row.size(), 49u);

    EXPECT_EQ(column(row, "DATE_FLD").kind, ColumnKind::DateTime);
    EXPECT_EQ(column(row, "PinMaxRate2").value, QVariant(QString("60000")));
    EXPECT_EQ(column(row, "PoutCPASS2").value, QVariant(true));
    EXPECT_EQ(column(row, "PoutPASS2").value, QVariant(false));
}

TEST(DataRecords, AnalogRowsPlaceEachGroupWhereTheTableExpectsIt)
{
    const QStringList ain = names(sampleAinRecord().columns());
    ASSERT_EQ(ain.size(), 215);
    EXPECT_EQ(ain.mid(13, 3), QStringList({ "SE_VIN_TESTS", "SE_VIN_TESTED", "COMMENTS_SE_VIN" }));
    EXPECT_EQ(ain[25], "VIN_OFFSET1");
    EXPECT_EQ(ain[33], "VIN_SPAN1");
    EXPECT_EQ(ain[72], "D_IIN_SPAN8");
    EXPECT_EQ(ain.mid(73, 3), QStringList({ "Test1_STIM", "Test1_1", "Test1_2" }));
    EXPECT_EQ(ain[180], "Test12_8");
    EXPECT_EQ(ain[181], "PoutTime1");
    EXPECT_EQ(ain.mid(205, 2), QStringList({ "ANALOG_CONFIG", "SCALE1" }));
    EXPECT_EQ(ain.last(), "TLC_SCALING");

    const QStringList aot = names(sampleAotRecord().columns());
    ASSERT_EQ(aot.size(), 192);
    EXPECT_EQ(aot.mid(13, 6),
        QStringList({ "VOUT_TESTS", "VOUT_TESTED", "COMMENTS_VOUT", "IOUT_TESTS", "IOUT_TESTED",
            "COMMENTS_IOUT" }));
    EXPECT_EQ(aot[19], "VOT_OFFSET1");
    EXPECT_EQ(aot[27], "VOT_SPAN1");
    EXPECT_EQ(aot[50], "IOT_SPAN8");
    EXPECT_EQ(aot[51], "Test1_STIM");
    EXPECT_EQ(aot[158], "Test12_8");
    EXPECT_EQ(aot[159], "PoutTime1");
    EXPECT_EQ(aot[183], "ANALOG_CONFIG");
    EXPECT_EQ(aot.last(), "SCALE8");

    for (const QStringList &list : { ain, aot })
        EXPECT_EQ(QSet<QString>(list.begin(), list.end()).size(), list.size()) << "duplicate name";
}

TEST(DataRecords, CalibrationWordsKeepTheirSignednessAndTextsAreNeverNull)
{
    const RecordRow ain = sampleAinRecord().columns();
    EXPECT_EQ(column(ain, "VIN_OFFSET3").kind, ColumnKind::SmallInt);
    EXPECT_EQ(column(ain, "VIN_OFFSET3").value, QVariant(-12));
    EXPECT_EQ(column(ain, "VIN_SPAN3").kind, ColumnKind::Integer);
    EXPECT_EQ(column(ain, "VIN_SPAN3").value, QVariant(40000));
    EXPECT_EQ(column(ain, "Test5_STIM").value, QVariant(QString(" ")));
    EXPECT_EQ(column(ain, "Test12_8").value, QVariant(QString("$128")));
    EXPECT_EQ(column(ain, "SCALE8").value, QVariant(QString("AIN8: 0 to 10V")));
    EXPECT_EQ(column(ain, "TLC_SCALING").value, QVariant(false));

    // Technician is never filled: it must reach the table as '' rather than NULL.
    const QVariant technician = column(ain, "TECHNICIAN").value;
    EXPECT_EQ(technician.typeId(), QMetaType::QString);
    EXPECT_FALSE(technician.toString().isNull());
    EXPECT_TRUE(technician.toString().isEmpty());

    const RecordRow aot = sampleAotRecord().columns();
    EXPECT_EQ(column(aot, "VOT_OFFSET3").value, QVariant(-12));
    EXPECT_EQ(column(aot, "VOT_SPAN3").value, QVariant(40000));
    EXPECT_EQ(column(aot, "COMMENTS_IOUT").value, QVariant(QString("Current source not tested. ")));
}

TEST(DataRecords, ClearAndCreateTestRecordsStartEachConnectFresh)
{
    TAINConfigRecord record = sampleAinRecord();
    record.Technician = "someone";
    static_cast<TConfigRecord &>(record).Clear();
    EXPECT_TRUE(record.SerialNo.isEmpty() && record.Technician.isEmpty());
    EXPECT_TRUE(record.BoardRev.isEmpty());
    EXPECT_FALSE(record.TestDate.isValid());
    EXPECT_EQ(record.FirmwareRev, "1.07"); // results are left for the next fill to overwrite
    EXPECT_EQ(record.VinOffsets[2], -12);

    TestRecords records;
    CreateTestRecords(records);
    auto *dio = dynamic_cast<TDIOConfigRecord *>(records[zul::DIOList].get());
    ASSERT_TRUE(records[zul::AINList] && records[zul::AOTList] && dio);
    EXPECT_TRUE(dynamic_cast<TAINConfigRecord *>(records[zul::AINList].get()));
    EXPECT_TRUE(dynamic_cast<TAOTConfigRecord *>(records[zul::AOTList].get()));
    dio->SerialNo = "from the first connect";
    const std::shared_ptr<TConfigRecord> first = records[zul::DIOList]; // a save may hold it
    CreateTestRecords(records);
    EXPECT_NE(records[zul::DIOList], first);
    EXPECT_EQ(first->SerialNo, "from the first connect");
    EXPECT_TRUE(records[zul::DIOList]->SerialNo.isEmpty());
}

TEST(DataRecords, SaveWithoutATableIsRefused)
{
    // The root and analog classes have no table: they answer false and touch nothing.
    QTemporaryDir dir;
    TDataModule_Results database({ dir.filePath("none.ini"), dir.filePath("zul/default.sqlite") });
    TMessageRecorder messages;
    TConfigRecord root;
    TAINConfigRecord ain;
    TAnalogConfigRecord &analog = ain;
    EXPECT_FALSE(root.SaveToDatabase(database, messages));
    EXPECT_FALSE(analog.TAnalogConfigRecord::SaveToDatabase(database, messages));
    EXPECT_TRUE(messages.texts().isEmpty());
    EXPECT_FALSE(QFile::exists(dir.filePath("zul/default.sqlite")));
}
