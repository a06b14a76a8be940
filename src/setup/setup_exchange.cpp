#include "setup/setup_exchange.h"

#include "ports/port_kind.h"
#include "setup/setting_model.h"

namespace torva {

struct CSetupExchange::Impl {};

ExchangeLink ExchangeLinkOfPort(const std::string& portName) {
  switch (ClassifyPortName(portName)) {
    case PortNameKind::Parallel:
      return ExchangeLink::Parallel;
    case PortNameKind::UsbPrinter:
    case PortNameKind::UsbNode:
      return ExchangeLink::Usb;
    case PortNameKind::File:
      return ExchangeLink::File;
    case PortNameKind::Network:
      return ExchangeLink::Network;
    case PortNameKind::Serial:
      break;
  }
  return ExchangeLink::Serial;
}

std::string SetupReadStatus::Text() const {
  return std::to_string(Read()) + " of " + std::to_string(anAsked.size()) + " settings read";
}

CSetupExchange::CSetupExchange(CSettingModel& model, ISetupSink& sink, SetupConnection connection)
    : m_pImpl(std::make_unique<Impl>()), m_model(model), m_sink(sink),
      m_connection(std::move(connection)) {}

CSetupExchange::~CSetupExchange() { CloseExchange(); }

bool CSetupExchange::OpenExchange() { return false; }
bool CSetupExchange::GetValue() { return false; }
bool CSetupExchange::SetValue() { return false; }
bool CSetupExchange::TestPrint() { return false; }
void CSetupExchange::CloseExchange() {}
int CSetupExchange::OnReceived() { return 1; }
void CSetupExchange::OnReadTimer() {}
SetupReadStatus CSetupExchange::RunReadTimer() { return ReadStatus(); }
SetupReadStatus CSetupExchange::ReadStatus() const { return {}; }
std::vector<std::vector<uint8_t>> CSetupExchange::TestPrintPieces(bool) { return {}; }

}  // namespace torva
