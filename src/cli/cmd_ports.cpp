// torvaset-cli ports [--json]: the serial ports, parallel ports and USB printers that the
// connection dialog would find, USB ones with their hardware identifiers.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/cli_commands.h"
#include "cli/cli_options.h"
#include "ports/port_enum.h"
#include "ports/usb_discovery.h"

namespace torva::cli {

namespace {

struct PortRow {
  std::string m_strName;
  std::string m_strHardwareId;  // empty: not a USB device
};

struct PortReport {
  std::vector<PortRow> m_serial;
  std::vector<PortRow> m_parallel;
  std::vector<PortRow> m_usbPrinters;
  bool m_bUsbListRead = true;
};

PortReport CollectPorts() {
  PortReport report;
  std::vector<std::string> names;
  EnumSerialPorts(names);
  for (const std::string& name : names) {
    report.m_serial.push_back({name, UsbHardwareIdOfSerialPort(name)});
  }
  names.clear();
  EnumParallelPorts(names);
  for (const std::string& name : names) report.m_parallel.push_back({name, {}});
  std::vector<UsbPrinterInfo> printers;
  report.m_bUsbListRead = ListUsbPrinters(printers);
  for (const UsbPrinterInfo& p : printers) {
    report.m_usbPrinters.push_back({p.m_strDevNode, p.m_strHardwareId});
  }
  return report;
}

// Length of the well-formed UTF-8 sequence at text[i], or 0 when it is not one.
size_t Utf8SequenceLength(const std::string& text, size_t i) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  size_t len = 0;
  unsigned minimum = 0;
  unsigned code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2, minimum = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3, minimum = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4, minimum = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    if ((byte(i + k) & 0xC0u) != 0x80u) return 0;
    code = (code << 6) | (byte(i + k) & 0x3Fu);
  }
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return len;
}

// A JSON string literal. Port names come from the settings file too, so anything may be in
// them: quotes and backslashes are escaped, control bytes written as \u00XX, and bytes that
// are not UTF-8 replaced by U+FFFD so that the output stays valid JSON.
std::string JsonString(const std::string& text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", c);
      out += buf;
    } else if (c >= 0x80) {
      const size_t len = Utf8SequenceLength(text, i);
      if (len == 0) {
        out += "\\ufffd";
        ++i;
        continue;
      }
      out.append(text, i, len);
      i += len;
      continue;
    } else {
      out += static_cast<char>(c);
    }
    ++i;
  }
  return out + "\"";
}

std::string JsonIdOrNull(const std::string& id) { return id.empty() ? "null" : JsonString(id); }

void PrintJson(const PortReport& r) {
  const auto list = [](const char* key, const std::vector<PortRow>& rows, const char* nameKey,
                       bool withId, bool last) {
    std::printf("  %s: [", JsonString(key).c_str());
    for (size_t i = 0; i < rows.size(); ++i) {
      std::printf("%s\n    {%s: %s", i == 0 ? "" : ",", JsonString(nameKey).c_str(),
                  JsonString(rows[i].m_strName).c_str());
      if (withId) std::printf(", \"hardwareId\": %s", JsonIdOrNull(rows[i].m_strHardwareId).c_str());
      std::printf("}");
    }
    std::printf("%s]%s\n", rows.empty() ? "" : "\n  ", last ? "" : ",");
  };
  std::printf("{\n");
  list("serial", r.m_serial, "port", true, false);
  list("parallel", r.m_parallel, "port", false, false);
  list("usbPrinters", r.m_usbPrinters, "device", true, true);
  std::printf("}\n");
}

void PrintText(const PortReport& r) {
  const auto list = [](const char* title, const std::vector<PortRow>& rows) {
    std::printf("%s\n", title);
    if (rows.empty()) std::printf("  (none)\n");
    for (const PortRow& row : rows) {
      if (row.m_strHardwareId.empty()) {
        std::printf("  %s\n", row.m_strName.c_str());
      } else {
        std::printf("  %-24s %s\n", row.m_strName.c_str(), row.m_strHardwareId.c_str());
      }
    }
  };
  list("Serial ports:", r.m_serial);
  list("Parallel ports:", r.m_parallel);
  list("USB printers:", r.m_usbPrinters);
}

void PrintPortsUsage(std::FILE* out) {
  std::fprintf(out,
               "usage: torvaset-cli ports [--json]\n"
               "\n"
               "Lists the serial ports (with the names of the settings file's PORTLIST\n"
               "section), the parallel ports and the USB printers with their hardware\n"
               "identifiers (USB\\VID_xxxx&PID_yyyy).\n");
}

}  // namespace

int RunPortsCommand(const Args& args) {
  std::string error;
  if (!CheckArgs(args, {{"--json"}, {}, 0}, error)) {
    UsageError("ports", error, "");
    PrintPortsUsage(stderr);
    return kExitUsage;
  }
  if (HasFlag(args, "--help") || HasFlag(args, "-h")) {
    PrintPortsUsage(stdout);
    return kExitOk;
  }
  const bool json = HasFlag(args, "--json");
  const PortReport report = CollectPorts();
  if (json) {
    PrintJson(report);
  } else {
    PrintText(report);
  }
  if (!report.m_bUsbListRead) {
    std::fprintf(stderr, "torvaset-cli ports: the USB device list could not be read\n");
    return 1;
  }
  return 0;
}

}  // namespace torva::cli
