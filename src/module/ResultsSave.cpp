#include "ResultsSave.h"

#include "Session.h"
#include "UnitZUL_General.h"
#include "records/ResultsTarget.h"
#include "records/ZUL_Database.h"
#include "widgets/BusyCursor.h"

QString DescribeSaveTarget(const TSession &session)
{
    return session.ResultsDatabase ? describeResultsTarget(session.ResultsDatabase->paths())
                                   : QStringLiteral("no results database");
}

bool SaveModuleResults(TSession &session, TZULGeneral &general, TConfigRecord *record,
    const QDate &testDate, const TResultsFill &fill, const TSaveContext &who)
{
    TBusyCursor busy;
    TDataModule_Results *database = session.ResultsDatabase.get();
    // Without a record object the database could not be opened at connect: refuse the save as
    // any other database failure, before anything is read from the module.
    if (!record || !database) {
        session.Messages->ShowError(UnableToConnectMessage.toStdString());
        return false;
    }
    if (!general.CheckModule(true))
        return false;
    // What was read before may be stale after a missed poll reply, or describe the module
    // before a swap: the identity is taken only from what is read just now.
    const bool statusRead = general.FillModuleStatus();
    const zul::ModuleState &module = session.Module;
    if (!module.identity.ok) {
        session.Messages->ShowError("No serial number was read from the module. Nothing saved.",
            "Check the connection and press Save again.");
        return false;
    }
    const RecordIdentity identity { QString::fromStdString(module.serialText()),
        QDateTime(testDate, QTime(0, 0)), QString::fromStdString(module.boardText()),
        QString::fromStdString(module.firmwareText()) };
    if (!statusRead || !fill(*record, identity)) {
        general.ShowTransactionMessage("Modbus communications lost!");
        return false;
    }
    record->Technician = who.Operator;
    if (!record->SaveToDatabase(*database, *session.Messages))
        return false;
    // The row is saved whatever becomes of its certificate: a missing one is said beside the
    // confirmation, never instead of it.
    const TSaveNote certificate = session.RowSaved
        ? session.RowSaved(*record, database->LastInsertedId(), who)
        : TSaveNote {};
    session.Messages->Show("Results saved to database", certificate.hint.toStdString(),
        certificate.failed ? TMessageKind::Warning : TMessageKind::Information);
    return true;
}
