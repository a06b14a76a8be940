// The bytes of the user-setting commands (GS ( E): enter and leave the user-setting mode,
// ask for one setting, and the write command built from the setting model in its fixed
// entry order with pL/pH and the custom-code entry. Multi-byte values are little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "setup/setting_model.h"

namespace torva {

using SetupBytes = std::vector<std::uint8_t>;

// 1D 28 45 03 00 01 49 4E ("IN")
SetupBytes EnterSetupCmd();
// 1D 28 45 04 00 02 4F 55 54 ("OUT")
SetupBytes LeaveSetupCmd();
// 1D 61 00, sent to a parallel printer so that it stops sending status bytes by itself.
SetupBytes DisableStatusBackCmd();
// 1D 28 45 02 00 06 a
SetupBytes GetValueCmd(int nSetting);

// The settings Get Value asks for over a serial line, USB or a file, in order (18); over
// Ethernet the same without the stop bit (17); the parallel read's list (17, its own order).
const std::vector<int>& GetValueOrder(bool bWithStopBit);
const std::vector<int>& ParallelGetList();

enum class SetCheck {
  Ready,
  NothingSet,        // every list and radio unset, margin 0, custom code "0": send nothing
  MarginOutOfRange,  // above 512
};

// The test before a write. With bTell, MarginOutOfRange shows message text 61 (caption
// "Notice").
SetCheck CheckSetValue(const CSettingModel& model, bool bTell);

struct SetCommand {
  SetupBytes bytes;              // 1D 28 45 pL pH 05 and the entries
  bool bCarriesUsbMode = false;  // entry 210 is in it: the printer drops the connection
};

// The write command, or nothing when CheckSetValue is not Ready (no message then). Parses
// the custom code (a bad text is written as 0 and the member becomes "0"); when the stop
// bit is written while m_bStopBitChanged is set, shows message text 54 (caption "Notice")
// and clears the flag.
std::optional<SetCommand> BuildSetCommand(CSettingModel& model);

}  // namespace torva
