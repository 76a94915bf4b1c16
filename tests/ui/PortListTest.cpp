// Which ports the Connect page offers, and how its selection becomes a port to open.
#include "ports/PortList.h"
#include "module/WidgetConnectPage.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(PortList, FindsAdaptersInNumberOrderThenStableNames)
{
    const fs::path root = fs::temp_directory_path() / ("zul-dev-" + std::to_string(::getpid()));
    fs::create_directories(root / "serial" / "by-id");
    for (const char *name : { "ttyUSB10", "ttyUSB2", "ttyACM0", "ttyS0", "null" })
        std::ofstream(root / name).put('x');
    std::ofstream(root / "serial" / "by-id" / "usb-FTDI_adapter-if00-port0").put('x');

    const std::vector<std::string> expected { (root / "ttyACM0").string(),
        (root / "ttyUSB2").string(), (root / "ttyUSB10").string(),
        (root / "serial/by-id/usb-FTDI_adapter-if00-port0").string() };
    EXPECT_EQ(SerialDevicePaths(root), expected);
    fs::remove_all(root);
    EXPECT_TRUE(SerialDevicePaths(root).empty());
}

TEST(ConnectPage, SelectionBecomesPortIndexOrDevicePath)
{
    TConnectPage page;
    page.SetPortSource([] {
        return std::vector<TPortChoice> { { "zul-sim AIN (pid 7)", "/dev/pts/9", true } };
    });
    // Without a real adapter the running simulator is preselected.
    EXPECT_EQ(page.CommsPortBox->currentText(), "zul-sim AIN (pid 7)");
    EXPECT_EQ(page.SelectedPort().DevicePath, "/dev/pts/9");

    page.CommsPortBox->setCurrentIndex(3);
    EXPECT_EQ(page.SelectedPort().PortIndex, 3);
    EXPECT_TRUE(page.SelectedPort().DevicePath.empty());
    page.CommsPortBox->setEditText("COM2");
    EXPECT_EQ(page.SelectedPort().PortIndex, 1);
    page.CommsPortBox->setEditText(" /dev/ttyUSB0 ");
    EXPECT_EQ(page.SelectedPort().DevicePath, "/dev/ttyUSB0");

    // A rescan keeps what the user typed.
    page.RefreshPorts();
    EXPECT_EQ(page.CommsPortBox->currentText(), " /dev/ttyUSB0 ");
    EXPECT_EQ(page.BaudRate(), 9600);
    EXPECT_EQ(page.BaudRateBox->count(), 11);
}
