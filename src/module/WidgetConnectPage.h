// The "Connect" page (ConnectSheet): serial port, its settings and the slave address, and the
// "Connect to Module" button. Built by the main window; it edits the connection settings that
// TZULGeneral::Connect takes.
#pragma once

#include "core/ConnectionSettings.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QPushButton;
class QSpinBox;

// One entry of the port list beyond "Com1".."Com4": a device path and what the list shows.
struct TPortChoice
{
    QString Label;
    QString DevicePath;
    bool Simulator = false;
};

// What TRKComm needs to open the chosen port: COMn by index, or a device path used as is.
struct TPortSelection
{
    int PortIndex = 0;
    std::string DevicePath;
};

class TConnectPage : public QWidget
{
public:
    using PortSource = std::function<std::vector<TPortChoice>()>;

    explicit TConnectPage(QWidget *parent = nullptr);

    // Where the devices beyond Com1..Com4 come from; the list is filled at once and again each
    // time it drops down, keeping what the user chose or typed.
    void SetPortSource(PortSource source);
    void RefreshPorts();
    // "Com1".."Com4" give their index; any other entry or typed text is a device path.
    TPortSelection SelectedPort() const;
    int BaudRate() const;
    // What the page shows, as the settings a connect takes.
    zul::ConnectionSettings Settings() const;
    // Shows the settings a connect is about to use (a device path not in the list is typed into
    // the port box); presses nothing.
    void Show(const zul::ConnectionSettings &settings);

    QComboBox *CommsPortBox;
    QComboBox *BaudRateBox;
    QComboBox *ParityBox;
    QComboBox *StopBitsBox;
    QSpinBox *SpinEdit_SlaveAddress;
    QPushButton *ConnectButt;
    // Opens the scan for modules on this port; the window hooks it up.
    QPushButton *FindModuleButton;
    // Two-wire adapters that hand back every request before the reply; off unless the user
    // ticked it in an earlier run.
    QCheckBox *LocalEchoBox;
    // Connects again by itself when the adapter of the last connect is plugged back in; on unless
    // the user cleared it in an earlier run.
    QCheckBox *ReconnectCheckBox;

private:
    void buildPortBox();
    // A tick box whose state is kept between runs under `key` of the tool's settings.
    QCheckBox *rememberedCheckBox(const QString &text, const QString &objectName,
        const QString &toolTip, const QString &key, bool byDefault);
    // The "Serial port" and "Module" groups and the button row, in the page's scrolling body.
    void layOut();
    void fillPorts(bool chooseDefault);
    bool listHolds(const std::vector<TPortChoice> &extra) const;

    PortSource m_portSource;
};

// The items of the serial-settings boxes; item indices are the codes TRKComm takes.
QStringList BaudRateTexts(); // TRKComm's table order
constexpr int DefaultBaudIndex = 3; // "9600"
QStringList ParityTexts();
QStringList StopBitsTexts();
