#include "WidgetConnectPage.h"

#include "comms/RKCOMM.h"
#include "widgets/ToolSettings.h"
#include "widgets/WidgetBuilders.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

constexpr int FixedPortCount = 4;
const QString LocalEchoKey = QStringLiteral("Connect/AdapterEchoes");
const QString ReconnectKey = QStringLiteral("Connect/ReconnectWhenAdapterReturns");

QString shownText(const TPortChoice &choice)
{
    return choice.Label.isEmpty() ? choice.DevicePath : choice.Label;
}

// Rescans the devices whenever the list drops down, so an adapter plugged in later appears.
class TPortComboBox : public QComboBox
{
public:
    TPortComboBox(std::function<void()> beforePopup, QWidget *parent)
        : QComboBox(parent)
        , m_beforePopup(std::move(beforePopup))
    {
    }
    void showPopup() override
    {
        m_beforePopup();
        QComboBox::showPopup();
    }

private:
    std::function<void()> m_beforePopup;
};

} // namespace

QStringList BaudRateTexts()
{
    QStringList texts;
    for (int rate : TRKComm::BaudRateTable)
        texts << QString::number(rate);
    return texts;
}

QStringList ParityTexts()
{
    return { QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even") };
}

QStringList StopBitsTexts()
{
    return { QStringLiteral("1"), QStringLiteral("2") };
}

TConnectPage::TConnectPage(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ConnectSheet"));

    // The widgets are made in the page's tab order.
    buildPortBox();
    BaudRateBox =
        MakeComboBox(QStringLiteral("BaudRateBox"), BaudRateTexts(), DefaultBaudIndex, this);
    ParityBox = MakeComboBox(QStringLiteral("ParityBox"), ParityTexts(), 0, this);
    StopBitsBox = MakeComboBox(QStringLiteral("StopBitsBox"), StopBitsTexts(), 0, this);
    SpinEdit_SlaveAddress = new QSpinBox(this);
    SpinEdit_SlaveAddress->setObjectName(QStringLiteral("SpinEdit_SlaveAddress"));
    SpinEdit_SlaveAddress->setRange(1, 100);
    SpinEdit_SlaveAddress->setValue(100);
    ConnectButt =
        MakeButton(QStringLiteral("ConnectButt"), QStringLiteral("Connect to Module"), this);
    FindModuleButton =
        MakeButton(QStringLiteral("FindModuleButton"), QStringLiteral("Find module..."), this);
    FindModuleButton->setToolTip(
        QStringLiteral("Scan this port for modules whose address or settings are not known"));
    LocalEchoBox = rememberedCheckBox(QStringLiteral("Adapter echoes what it sends"),
        QStringLiteral("LocalEchoBox"),
        QStringLiteral("For two-wire RS-485 adapters that hand back each request before the reply"),
        LocalEchoKey, false);
    ReconnectCheckBox = rememberedCheckBox(QStringLiteral("Reconnect when the adapter returns"),
        QStringLiteral("ReconnectCheckBox"),
        QStringLiteral("When the adapter of this connection is unplugged and plugged in again, "
                       "connect again with the same settings"),
        ReconnectKey, true);
    layOut();
    fillPorts(true);
}

void TConnectPage::buildPortBox()
{
    CommsPortBox = new TPortComboBox([this] { RefreshPorts(); }, this);
    CommsPortBox->setObjectName(QStringLiteral("CommsPortBox"));
    CommsPortBox->setEditable(true);
    CommsPortBox->setInsertPolicy(QComboBox::NoInsert);
    CommsPortBox->setMinimumContentsLength(24);
    CommsPortBox->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    CommsPortBox->setToolTip(
        QStringLiteral("Choose a port or type a device path, e.g. /dev/ttyUSB0"));
}

QCheckBox *TConnectPage::rememberedCheckBox(const QString &text, const QString &objectName,
    const QString &toolTip, const QString &key, bool byDefault)
{
    auto *box = new QCheckBox(text, this);
    box->setObjectName(objectName);
    box->setToolTip(toolTip);
    box->setChecked(zul::toolSettings().value(key, byDefault).toBool());
    connect(
        box, &QCheckBox::toggled, this, [key](bool on) { zul::toolSettings().setValue(key, on); });
    return box;
}

void TConnectPage::layOut()
{
    auto *portGroup = new QGroupBox(QStringLiteral("Serial port"), this);
    auto *portForm = new QFormLayout(portGroup);
    portForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    portForm->addRow(QStringLiteral("Port:"), CommsPortBox);
    portForm->addRow(QStringLiteral("Baud rate:"), BaudRateBox);
    portForm->addRow(QStringLiteral("Parity:"), ParityBox);
    portForm->addRow(QStringLiteral("Stop bits:"), StopBitsBox);
    portForm->addRow(QStringLiteral("Data bits:"), new QLabel(QStringLiteral("8"), portGroup));
    portForm->addRow(QString(), LocalEchoBox);
    portForm->addRow(QString(), ReconnectCheckBox);

    auto *moduleGroup = new QGroupBox(QStringLiteral("Module"), this);
    auto *moduleForm = new QFormLayout(moduleGroup);
    moduleForm->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    moduleForm->addRow(QStringLiteral("Slave address:"), SpinEdit_SlaveAddress);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(ConnectButt);
    buttonRow->addWidget(FindModuleButton);
    buttonRow->addStretch();

    auto *layout = new QVBoxLayout(ScrollingBody(this));
    layout->addWidget(portGroup);
    layout->addWidget(moduleGroup);
    layout->addLayout(buttonRow);
    layout->addStretch();
}

void TConnectPage::SetPortSource(PortSource source)
{
    m_portSource = std::move(source);
    fillPorts(true);
}

void TConnectPage::RefreshPorts()
{
    fillPorts(false);
}

void TConnectPage::fillPorts(bool chooseDefault)
{
    const QString kept = CommsPortBox->currentText();
    const std::vector<TPortChoice> extra =
        m_portSource ? m_portSource() : std::vector<TPortChoice> {};

    // The list follows plugging as it happens: left alone when nothing changed, so that neither
    // what the user is typing nor an open list is disturbed.
    if (!chooseDefault && listHolds(extra))
        return;
    CommsPortBox->clear();
    for (int n = 1; n <= FixedPortCount; ++n)
        CommsPortBox->addItem(QStringLiteral("Com%1").arg(n));
    int firstSimulator = -1;
    bool realDevice = false;
    for (const TPortChoice &choice : extra) {
        if (choice.Simulator && firstSimulator < 0)
            firstSimulator = CommsPortBox->count();
        realDevice = realDevice || !choice.Simulator;
        CommsPortBox->addItem(shownText(choice), choice.DevicePath);
    }

    if (!chooseDefault && !kept.isEmpty()) {
        const int index = CommsPortBox->findText(kept);
        if (index >= 0)
            CommsPortBox->setCurrentIndex(index);
        else
            CommsPortBox->setEditText(kept);
        return;
    }
    // Without hardware the demo simulator is the obvious choice.
    CommsPortBox->setCurrentIndex(!realDevice && firstSimulator >= 0 ? firstSimulator : 0);
}

bool TConnectPage::listHolds(const std::vector<TPortChoice> &extra) const
{
    if (CommsPortBox->count() != FixedPortCount + static_cast<int>(extra.size()))
        return false;
    for (int n = 0; n < static_cast<int>(extra.size()); ++n) {
        const TPortChoice &choice = extra[static_cast<std::size_t>(n)];
        const int index = FixedPortCount + n;
        if (CommsPortBox->itemData(index).toString() != choice.DevicePath
            || CommsPortBox->itemText(index) != shownText(choice))
            return false;
    }
    return true;
}

TPortSelection TConnectPage::SelectedPort() const
{
    const QString text = CommsPortBox->currentText().trimmed();
    TPortSelection selection;
    if (text.isEmpty())
        return selection;
    const int index = CommsPortBox->findText(text);
    if (index >= 0 && index < FixedPortCount) {
        selection.PortIndex = index;
        return selection;
    }
    if (index >= FixedPortCount) {
        const QString path = CommsPortBox->itemData(index).toString();
        selection.DevicePath = (path.isEmpty() ? text : path).toStdString();
        return selection;
    }
    static const QRegularExpression comName(
        QStringLiteral("^com([1-4])$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comName.match(text);
    if (match.hasMatch())
        selection.PortIndex = match.captured(1).toInt() - 1;
    else
        selection.DevicePath = text.toStdString();
    return selection;
}

int TConnectPage::BaudRate() const
{
    return BaudRateBox->currentText().toInt();
}

zul::ConnectionSettings TConnectPage::Settings() const
{
    const TPortSelection port = SelectedPort();
    return { port.PortIndex, port.DevicePath, BaudRateBox->currentIndex(),
        ParityBox->currentIndex(), StopBitsBox->currentIndex(), SpinEdit_SlaveAddress->value(),
        LocalEchoBox->isChecked() };
}

void TConnectPage::Show(const zul::ConnectionSettings &settings)
{
    if (settings.devicePath.empty()) {
        CommsPortBox->setCurrentIndex(settings.portIndex);
    } else {
        const int index = CommsPortBox->findData(QString::fromStdString(settings.devicePath));
        if (index >= FixedPortCount)
            CommsPortBox->setCurrentIndex(index);
        else
            CommsPortBox->setEditText(QString::fromStdString(settings.devicePath));
    }
    BaudRateBox->setCurrentIndex(settings.baudIndex);
    ParityBox->setCurrentIndex(settings.parity);
    StopBitsBox->setCurrentIndex(settings.stopBits);
    SpinEdit_SlaveAddress->setValue(settings.address);
    LocalEchoBox->setChecked(settings.localEcho);
}
