// Where COM1..COM4 lead, resolved in fake device trees made in a temporary folder: sysfs type
// files, /dev nodes (plain files stand in for devices), by-id links as udev makes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "link/posix/PortResolver.h"
#include "support/WorkingFolder.h"

namespace {

namespace fs = std::filesystem;

class PortResolverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root / "dev/serial/by-id");
    fs::create_directories(root / "sys/class/tty");
    fs::create_directories(work);
  }
  void uart(const std::string& name, const std::string& type) {
    fs::create_directories(root / "sys/class/tty" / name);
    std::ofstream(root / "sys/class/tty" / name / "type") << type << "\n";
    device(name);
  }
  void device(const std::string& name) { std::ofstream(root / "dev" / name); }
  void byId(const std::string& name, const std::string& target) {
    fs::create_symlink("../../" + target, root / "dev/serial/by-id" / name);
  }
  // "name device why" of each lead, the tree's root shown as "/".
  std::vector<std::string> shown(const std::vector<PortLead>& leads) {
    std::vector<std::string> lines;
    for (const PortLead& lead : leads) {
      std::string device = lead.device;
      if (device.starts_with(root.string())) device.erase(0, root.string().size());
      if (device.starts_with(work.string())) device = "work" + device.substr(work.string().size());
      lines.push_back(lead.name + "|" + device + "|" + lead.why);
    }
    return lines;
  }

  WorkingFolder folder;
  fs::path root = folder.path() / "root";
  fs::path work = folder.path() / "work";
};

TEST_F(PortResolverTest, UartsByNumberThenAdaptersByIdNameThenAdaptersWithoutOne) {
  uart("ttyS10", "4");
  uart("ttyS2", "4");
  uart("ttyS1", "0");  // made in advance by the kernel, no UART behind it
  uart("ttyS0", "4");
  fs::create_directories(root / "sys/class/tty/ttyS3");  // no type file at all
  for (const char* name : {"ttyUSB0", "ttyUSB1", "ttyUSB2", "ttyACM0"}) device(name);
  byId("usb-Zeta_Serial-if00-port0", "ttyUSB0");
  byId("usb-Alpha_Serial-if00-port0", "ttyUSB2");
  byId("usb-Gone_Serial-if00-port0", "ttyUSB9");
  EXPECT_EQ(shown(ports::portTable(root, work)),
            (std::vector<std::string>{
                "COM1|/dev/ttyS0|UART ttyS0",
                "COM2|/dev/ttyS2|UART ttyS2",
                "COM3|/dev/ttyS10|UART ttyS10",
                "COM4|/dev/serial/by-id/usb-Alpha_Serial-if00-port0|adapter usb-Alpha_Serial-if00-port0",
                "|/dev/serial/by-id/usb-Gone_Serial-if00-port0|adapter usb-Gone_Serial-if00-port0 (leads nowhere: the "
                "adapter is gone)",
                "|/dev/serial/by-id/usb-Zeta_Serial-if00-port0|adapter usb-Zeta_Serial-if00-port0",
                "|/dev/ttyACM0|adapter ttyACM0, no by-id name",
                "|/dev/ttyUSB1|adapter ttyUSB1, no by-id name",
            }));
}

TEST_F(PortResolverTest, OneUartAndOneAdapterAreCom1AndCom2AndALinkHereWinsOverBoth) {
  uart("ttyS0", "4");
  device("ttyUSB3");
  byId("usb-FTDI_FT232R_A1B2-if00-port0", "ttyUSB3");
  std::ofstream(work / "COM3") << "not a device";
  fs::create_symlink("/dev/pts/7", work / "COM1");
  EXPECT_EQ(shown(ports::portTable(root, work)),
            (std::vector<std::string>{
                "COM1|work/COM1|link in the working folder to /dev/pts/7",
                "COM2|/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0|adapter usb-FTDI_FT232R_A1B2-if00-port0",
                "COM3|work/COM3|COM3 in the working folder (not a link)",
                "COM4||nothing: no COM4 link in the working folder, and 2 serial port(s) on this machine",
            }));
}

TEST_F(PortResolverTest, EmptyOrMissingTreeLeadsNowhere) {
  for (const fs::path& tree : {root, folder.path() / "absent"}) {
    const PortLead lead = ports::resolvePort(0, tree, work);
    EXPECT_EQ(lead.device, "");
    EXPECT_EQ(lead.why, "nothing: no COM1 link in the working folder, and 0 serial port(s) on this machine");
    EXPECT_TRUE(ports::machinePorts(tree).empty());
  }
}

}  // namespace
