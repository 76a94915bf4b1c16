// A main window with a recording message sink, and an in-process simulated module to connect to.
// Controls are found by objectName, as a technician's script would name them.
#pragma once

#include "module/Session.h"
#include "module/UnitZUL_General.h"
#include "sim/Simulator.h"
#include "ui/FormZULConfigure.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

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
    }

    std::string startSim(zulsim::Kind kind)
    {
        zulsim::Options options;
        options.kind = kind;
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
};
