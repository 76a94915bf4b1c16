// A main window with a recording message sink, and an in-process simulated module to connect to.
// Controls are found by objectName, as a technician's script would name them.
#pragma once

#include "MessageRecorder.h"
#include "app/FormZULConfigure.h"
#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "sim/Simulator.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>

class UiFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        window.reset();
        if (sim)
            sim->stop();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty()) << "a window leaked";
        if (!linkDir.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(linkDir, ignored);
        }
    }

    // throughLink: the path returned is a symlink in a directory of this test's own, which goes
    // when the simulator stops and never comes back. A pty's own number is handed to the next
    // program that opens a pty, which may be another test running at the same time.
    std::string startSim(zulsim::Kind kind, bool throughLink = false)
    {
        zulsim::Options options;
        options.kind = kind;
        if (throughLink) {
            std::string pattern =
                (std::filesystem::temp_directory_path() / "zul-ui-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                throw std::runtime_error("mkdtemp " + pattern + " failed");
            linkDir = pattern;
            options.link = linkDir + "/module";
        }
        sim = std::make_unique<zulsim::Simulator>(options);
        return sim->start();
    }

    TForm_ZULConfigure &openWindow(const QString &executable = QStringLiteral("zulconfig"))
    {
        window = std::make_unique<TForm_ZULConfigure>(executable, &messages);
        return *window;
    }

    template<typename T = QWidget>
    T *find(const char *name) const
    {
        T *control = window->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(control, nullptr) << name;
        return control;
    }

    QString text(const char *labelName) const { return find<QLabel>(labelName)->text(); }

    void connectTo(const std::string &path, const QString &baud = QStringLiteral("9600"))
    {
        if (!window)
            openWindow();
        find<QComboBox>("CommsPortBox")->setEditText(QString::fromStdString(path));
        find<QComboBox>("BaudRateBox")->setCurrentText(baud);
        find<QPushButton>("ConnectButt")->click();
    }

    // objectNames of the pages whose tabs are visible, in page order.
    QStringList visiblePages() const
    {
        QStringList names;
        auto *tabs = find<QTabWidget>("PageControl_ZUL");
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->isTabVisible(i))
                names << tabs->widget(i)->objectName();
        return names;
    }

    TMessageRecorder messages;
    std::unique_ptr<zulsim::Simulator> sim;
    std::unique_ptr<TForm_ZULConfigure> window;
    std::string linkDir;
};
