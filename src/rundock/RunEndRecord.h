// The record of the run under way: its id, made at the start, and its file, written again after
// every attempt, so that a crash leaves the attempts so far. At the run's end the record goes
// a last time to the file and once to the run log table and, when the run's own save appended a
// results row, the row's certificate is written with the record (a run's save writes none).
#pragma once

#include <QString>

#include <cstddef>
#include <memory>

struct TSession;

namespace zul {
struct ModuleState;
}

namespace zul::run {
class Run;
class RunRecordFile;
struct Plan;
} // namespace zul::run

class TRunRecordKeeper
{
public:
    TRunRecordKeeper();
    ~TRunRecordKeeper();

    // A new run: a new id, no file yet (the first attempt's end names it).
    void Start();
    // After anything the run did: the file written again when an attempt ended since it was
    // last written, or the run ended. Answers the reason when the file could not be written.
    // `module` is the module as the run identified it: the record and the certificate name it.
    QString Progress(const zul::ModuleState &module, const zul::run::Run &run,
        const zul::run::Plan &plan, const QString &operatorName);
    // At the run's end: the sentence the dock shows under the verdict.
    QString End(const TSession &session, const zul::ModuleState &module, const zul::run::Run &run,
        const zul::run::Plan &plan, const QString &operatorName);

    const QString &RunId() const { return m_runId; }
    // The record file's full path; empty before the first attempt ended.
    QString FilePath() const;

private:
    QString m_runId;
    std::unique_ptr<zul::run::RunRecordFile> m_file;
    std::size_t m_attemptsWritten = 0;
};

// The plan's content hash as the record gives it: the file's, or for a built-in plan the SHA-256
// of "<name>\nbuilt-in\n<tool version>\n", which names that plan as that version builds it.
QString planContentHash(const zul::run::Plan &plan);
