// One production run of an AIN module in the tool's window (offscreen), against zul-sim --pace
// in its own process at 9600 baud. The bench is the operator: at each prompt it sets the asked
// stimulus on every input through the simulator's control commands and presses Next at once.
// The window's own poll timer moves the capture steps on, so the run takes what it would take
// at a station. The run's time is set against what it cannot take less than: the wire time of
// its transactions (from the window's traffic model) and the stability windows of its capture
// steps (the plan's readings, one a poll tick).
// Run: build/bench/production_run [plan, default "AIN single-ended voltage 0 to 10V"]
#include "RunTally.h"

#include "ain/AINPlans.h"
#include "app/FormZULConfigure.h"
#include "core/MessageSink.h"
#include "run/Plan.h"
#include "run/RunEngine.h"
#include "rundock/RunDock.h"
#include "traffic/TrafficView.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

using SteadyClock = std::chrono::steady_clock;
constexpr int Baud = 9600;
constexpr int Channels = 8;
// A step the module cannot finish stops the run rather than the bench waiting for ever.
constexpr std::chrono::minutes RunLimit { 5 };

double secondsSince(SteadyClock::time_point from)
{
    return std::chrono::duration<double>(SteadyClock::now() - from).count();
}

// zul-sim in a process of its own, as a module on the bench: its device path from the first
// line, then one control command at a time, each answered with one line.
class SimulatorProcess
{
public:
    SimulatorProcess(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment)
    {
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(program, arguments);
        if (!m_process.waitForStarted(5000))
            throw std::runtime_error("cannot start " + program.toStdString());
        m_device = readLine();
    }
    ~SimulatorProcess()
    {
        m_process.write("quit\n");
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(1000);
    }

    const QString &device() const { return m_device; }

    void command(const QString &line)
    {
        m_process.write((line + '\n').toUtf8());
        const QString answer = readLine();
        if (!answer.startsWith(QStringLiteral("ok")))
            throw std::runtime_error(
                "zul-sim: " + line.toStdString() + ": " + answer.toStdString());
    }

private:
    QString readLine()
    {
        while (!m_process.canReadLine())
            if (!m_process.waitForReadyRead(5000))
                throw std::runtime_error("zul-sim does not answer");
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    QString m_device;
};

// Messages of the window printed rather than shown in a box nobody would close.
class PrintingSink : public TMessageSink
{
public:
    void Show(const std::string &text, const std::string &hint, TMessageKind) override
    {
        std::printf("message: %s%s%s\n", text.c_str(), hint.empty() ? "" : " / ", hint.c_str());
        ++count;
    }
    int count = 0;
};

template<typename T>
T &control(QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        throw std::runtime_error(std::string("no control ") + name);
    return *found;
}

// The operator, checking a few times a millisecond whether the run waits for it. Everything the
// window does happens in between, in the window's own event loop.
class Operator : public QObject
{
public:
    Operator(TForm_ZULConfigure &window, SimulatorProcess &sim, bench::RunTally &tally,
        double windowSeconds)
        : m_window(window)
        , m_sim(sim)
        , m_tally(tally)
        , m_windowSeconds(windowSeconds)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, &Operator::check);
    }

    void start()
    {
        // The frames of connecting belong to no step.
        TTrafficModel &traffic = m_window.Traffic().Model();
        traffic.Flush();
        m_row = traffic.rowCount();
        m_begin = SteadyClock::now();
        control<QPushButton>(m_window, "RunStartButton").click();
        if (!run())
            throw std::runtime_error("the run did not start");
        m_timer.start();
    }

    double runSeconds = 0; // Start to the run's end
    double operatorSeconds = 0; // setting stimuli: the operator's time, not the run's
    int failedSteps = 0;

private:
    const zul::run::Run *run() const { return m_window.RunDock()->CurrentRun(); }

    void check()
    {
        const zul::run::Run &current = *run();
        const bool overdue = secondsSince(m_begin) > RunLimit.count() * 60.0;
        if (current.running() && !overdue)
            return;
        if (m_step)
            closeStep(current);
        if (current.finished() || overdue) {
            runSeconds = secondsSince(m_begin);
            m_timer.stop();
            QCoreApplication::quit();
            return;
        }
        const auto &record = current.steps()[current.current()];
        if (record.status != zul::run::StepStatus::Pending) {
            // A failed step stands and Next goes on, as at a station; the next check takes the
            // step after it.
            ++failedSteps;
            control<QPushButton>(m_window, "RunNextButton").click();
            return;
        }
        applyPrompt(record.step.prompt);
        m_step = current.current();
        m_stepBegin = SteadyClock::now();
        control<QPushButton>(m_window, "RunNextButton").click();
        m_waited = current.running();
    }

    // "Apply 3.3V to every input, then press Next": every input gets it.
    void applyPrompt(const std::string &prompt)
    {
        static const QRegularExpression apply(QStringLiteral("^Apply ([0-9.]+) ?(V|mA) "));
        const auto match = apply.match(QString::fromStdString(prompt));
        if (!match.hasMatch())
            return;
        const auto begin = SteadyClock::now();
        for (int channel = 1; channel <= Channels; ++channel)
            m_sim.command(QStringLiteral("stimulus %1 %2").arg(channel).arg(match.captured(1)));
        operatorSeconds += secondsSince(begin);
    }

    // The frames since the last step's end are this step's; a step that had to wait for poll
    // ticks was a capture and owes its stability window.
    void closeStep(const zul::run::Run &current)
    {
        TTrafficModel &traffic = m_window.Traffic().Model();
        traffic.Flush();
        for (; m_row < traffic.rowCount(); ++m_row)
            m_tally.add(traffic.RecordAt(m_row));
        m_tally.closeStep(current.steps()[*m_step].step.name, secondsSince(m_stepBegin),
            m_waited ? m_windowSeconds : 0);
        m_step.reset();
    }

    TForm_ZULConfigure &m_window;
    SimulatorProcess &m_sim;
    bench::RunTally &m_tally;
    double m_windowSeconds;
    QTimer m_timer;
    SteadyClock::time_point m_begin;
    SteadyClock::time_point m_stepBegin;
    std::optional<std::size_t> m_step; // the step Next was pressed for, until it ends
    bool m_waited = false;
    int m_row = 0;
};

zul::run::Plan builtInPlan(const std::string &name)
{
    for (const zul::run::Plan &plan : zul::ain::builtInPlans())
        if (plan.name == name && std::string_view(plan.kind()) == "AIN")
            return plan;
    throw std::runtime_error("no built-in AIN plan \"" + name + "\"");
}

void printReport(const bench::RunTally &tally, const Operator &operatorOf, double pollSeconds,
    const zul::run::Run &run)
{
    std::printf(
        "\n%-26s %9s %6s %9s %9s %9s\n", "step", "took s", "trans", "wire s", "window s", "ratio");
    double captureWire = 0;
    for (const bench::StepTally &step : tally.steps()) {
        char ratio[16] = "-";
        if (step.budgetSeconds() > 0)
            std::snprintf(ratio, sizeof ratio, "%.2f", step.seconds / step.budgetSeconds());
        std::printf("%-26s %9.3f %6d %9.3f %9.3f %9s%s\n", step.name.c_str(), step.seconds,
            step.transactions, step.wireMicros / 1e6, step.windowSeconds, ratio,
            step.failed ? "  (some transactions failed)" : "");
        if (step.windowSeconds > 0)
            captureWire += step.wireMicros / 1e6;
    }
    const bench::StepTally total = tally.total();
    const double runSeconds = operatorOf.runSeconds - operatorOf.operatorSeconds;
    const double budget = total.budgetSeconds();
    std::printf("\noutcome %s; %zu steps, %d transactions (%d failed, %d unexpected frames)\n",
        zul::run::outcomeName(run.outcome()), tally.steps().size(), total.transactions,
        total.failed, tally.unexpected());
    if (operatorOf.failedSteps)
        std::printf("%d steps failed; Next went on past them\n", operatorOf.failedSteps);
    std::printf("poll interval %.1f s at %d baud\n", pollSeconds, Baud);
    std::printf("run time %.3f s (Start to end, less %.3f s the bench took to set stimuli)\n",
        runSeconds, operatorOf.operatorSeconds);
    std::printf("wire time of the transactions %.3f s\n", total.wireMicros / 1e6);
    std::printf("stability windows waited %.3f s\n", total.windowSeconds);
    std::printf("ratio %.3f (target at most 1.2)\n", runSeconds / budget);
    // The polls of a capture step happen inside its window, so the sum counts them twice.
    std::printf("ratio %.3f with a capture step's window alone (its %.3f s of polls inside it)\n",
        runSeconds / (budget - captureWire), captureWire);
}

int runBench(int argc, char **argv, const QTemporaryDir &home)
{
    const std::string planName =
        argc > 1 ? argv[1] : std::string("AIN single-ended voltage 0 to 10V");
    const zul::run::Plan plan = builtInPlan(planName);

    QApplication application(argc, argv);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    SimulatorProcess sim(QStringLiteral(ZUL_SIM_PROGRAM),
        { "--kind", "AIN", "--pace", "--baud", QString::number(Baud), "--link",
            home.filePath("module") },
        environment);

    PrintingSink messages;
    // The production edition: the run dock is only there.
    TForm_ZULConfigure window(QStringLiteral("zulconfigt"), &messages);
    window.show();
    control<QComboBox>(window, "CommsPortBox").setEditText(sim.device());
    control<QComboBox>(window, "BaudRateBox").setCurrentText(QString::number(Baud));
    control<QPushButton>(window, "ConnectButt").click();
    if (!window.ModbusTimer().isActive())
        throw std::runtime_error("no module answered on " + sim.device().toStdString());

    control<QAction>(window, "ActionProductionRun").trigger();
    auto &plans = control<QComboBox>(window, "RunPlanBox");
    const int planIndex = plans.findText(QString::fromStdString(planName));
    if (planIndex < 0)
        throw std::runtime_error("the run dock does not offer \"" + planName + "\"");
    plans.setCurrentIndex(planIndex);
    control<QLineEdit>(window, "RunOperatorEdit").setText(QStringLiteral("Bench"));

    const double pollSeconds = window.ModbusTimer().interval() / 1000.0;
    bench::RunTally tally(Baud);
    Operator technician(window, sim, tally, plan.stability.readings * pollSeconds);
    std::printf("plan \"%s\": %d readings a capture, band %d counts; paced zul-sim at %d baud\n",
        planName.c_str(), plan.stability.readings, plan.stability.band, Baud);
    technician.start();
    QApplication::exec();

    const zul::run::Run &run = *window.RunDock()->CurrentRun();
    printReport(tally, technician, pollSeconds, run);
    return run.outcome() == zul::run::Outcome::Passed ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    // The run saves a results row and a run record, and remembers its operator: all of it goes
    // into a folder of the bench's own, never the user's. The simulator registers there too.
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    const auto set = [](const char *name, const QString &path) {
        QDir().mkpath(path);
        // Qt takes a runtime folder only when it is the user's alone.
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv(name, QFile::encodeName(path));
    };
    qputenv("ZUL_DB_DEFAULT", QFile::encodeName(home.filePath("results.sqlite")));
    qputenv("ZUL_DB_ALIASES", QFile::encodeName(home.filePath("db-aliases.ini")));
    set("XDG_DATA_HOME", home.filePath("data"));
    set("XDG_CONFIG_HOME", home.filePath("config"));
    set("XDG_RUNTIME_DIR", home.filePath("runtime"));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    try {
        return runBench(argc, argv, home);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "production_run: %s\n", e.what());
        return 2;
    }
}
