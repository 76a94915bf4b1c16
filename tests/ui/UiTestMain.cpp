// Widget tests run offscreen with one application object for the whole binary.
#include "SettingsFolder.h"

#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every Connect tries the results database: keep it out of the user's home. Fixtures that
    // test the database point these elsewhere themselves.
    QTemporaryDir databaseDir;
    if (qEnvironmentVariableIsEmpty("ZUL_DB_DEFAULT")) {
        qputenv("ZUL_DB_DEFAULT", databaseDir.filePath("results.sqlite").toLocal8Bit());
        qputenv("ZUL_DB_ALIASES", databaseDir.filePath("db-aliases.ini").toLocal8Bit());
    }
    // Every production save writes a certificate: into the same temporary folder.
    if (qEnvironmentVariableIsEmpty("ZUL_CERTIFICATE_DIR"))
        qputenv("ZUL_CERTIFICATE_DIR", databaseDir.filePath("certificates").toLocal8Bit());
    QApplication application(argc, argv);
    // The windows' remembered choices (docks shown, operator, plans) in a folder of the run's
    // own: a choice one test leaves must not change what the next one finds, nor the user's.
    QTemporaryDir settingsDir;
    UseSettingsFolder(settingsDir.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
