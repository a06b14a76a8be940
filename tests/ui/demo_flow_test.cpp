// The way `make run` is used, with the system's own environment: the simulated printer's
// serial line is offered through the settings file's PORTLIST, and its TCP port answers the
// network dialog's connection test, so both choices reach the main menu.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <chrono>
#include <string>

#include "dialog_tests.h"
#include "network/printer_socket.h"
#include "ui/network_dlg.h"
#include "ui/port_setting_dlg.h"
#include "ui/system_connection_env.h"

namespace torva::test {
namespace {

// torva-printer-sim on a linked pseudo-terminal and a free TCP port, stopped by its PID.
class CSimProcess {
 public:
  explicit CSimProcess(const std::string& linkPath) {
    int out[2];
    if (pipe(out) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      const std::string sim = std::string(TORVA_BIN_DIR) + "/torva-printer-sim";
      execl(sim.c_str(), sim.c_str(), "--link", linkPath.c_str(), "--tcp-port", "0",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(out[1]);
    m_nOut = out[0];
    ReadUntilReady();
  }
  ~CSimProcess() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
    if (m_nOut >= 0) close(m_nOut);
  }
  CSimProcess(const CSimProcess&) = delete;
  CSimProcess& operator=(const CSimProcess&) = delete;

  bool Ready() const { return m_bReady; }
  int TcpPort() const { return m_nTcpPort; }

 private:
  void ReadUntilReady() {
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!m_bReady && std::chrono::steady_clock::now() < deadline) {
      pollfd p{m_nOut, POLLIN, 0};
      if (poll(&p, 1, 100) <= 0) continue;
      char buf[256];
      const ssize_t n = read(m_nOut, buf, sizeof buf);
      if (n <= 0) break;
      text.append(buf, static_cast<size_t>(n));
      m_bReady = text.find("ready\n") != std::string::npos;
    }
    const size_t tcp = text.find("tcp: 127.0.0.1:");
    if (tcp != std::string::npos) m_nTcpPort = std::stoi(text.substr(tcp + 15));
  }

  pid_t m_pid = -1;
  int m_nOut = -1;
  bool m_bReady = false;
  int m_nTcpPort = -1;
};

void Choose(QComboBox* combo, const QString& text) {
  const int index = combo->findText(text);
  if (index < 0) qFatal("no entry %s", qPrintable(text));
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

}  // namespace

class DemoFlowTest : public QObject {
  Q_OBJECT
 private slots:
  void serialAndEthernetReachTheMenu() {
    DialogFixture f;
    const std::string link = f.dir.File("torva-serial");
    CSimProcess sim(link);
    QVERIFY(sim.Ready());
    QVERIFY(sim.TcpPort() > 0);
    f.WriteSettings("[PORTLIST]\r\nPort1=" + link + "\r\n");

    CSystemConnectionEnvironment env;
    CPortSettingDlg dlg(env);
    QStringList menus;
    int networkPort = sim.TcpPort();
    dlg.SetModalRunner([&](QDialog& modal) {
      if (auto* network = qobject_cast<CNetworkDlg*>(&modal)) {
        network->findChild<QLineEdit*>("IP")->setText("127.0.0.1");
        network->findChild<QLineEdit*>("PORT")->setText(QString::number(networkPort));
        network->setResult(QDialog::Rejected);
        network->OnOK();
        return network->result();
      }
      menus << QString::fromStdString(g_strPortInfo);
      return static_cast<int>(QDialog::Rejected);
    });

    auto* device = dlg.findChild<QComboBox*>("DEVICE");
    Choose(device, "TORVA40/45S");
    auto* port = dlg.findChild<QComboBox*>("PORT");
    QVERIFY2(port->findText(QString::fromStdString(link)) >= 0, link.c_str());
    Choose(port, QString::fromStdString(link));
    dlg.OnOK();

    Choose(device, "TORVA40/45E-II");
    dlg.OnOK();
    QVERIFY2(f.Messages().empty(), f.Messages().empty() ? "" : f.Messages()[0].c_str());
    QCOMPARE(menus.size(), 2);
    QVERIFY(menus[0].startsWith(QString::fromStdString("TORVA40 - " + link + "\r\nBaud : 115200")));
    QCOMPARE(menus[1], QString("TORVA40 - ETHERNET_II"));
    QCOMPARE(dlg.NetworkDlg().m_nAcceptedPort, static_cast<unsigned>(networkPort));
    QVERIFY(!env.PrinterSocket()->IsConnected());  // the test connection was closed
  }
};

std::unique_ptr<QObject> MakeDemoFlowTest() { return std::make_unique<DemoFlowTest>(); }

}  // namespace torva::test

#include "demo_flow_test.moc"
