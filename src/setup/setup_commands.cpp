#include "setup/setup_commands.h"

namespace torva {

SetupBytes EnterSetupCmd() { return {0x1D, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E}; }
SetupBytes LeaveSetupCmd() { return {0x1D, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54}; }
SetupBytes DisableStatusBackCmd() { return {0x1D, 0x61, 0x00}; }
SetupBytes GetValueCmd(int nSetting) {
  return {0x1D, 0x28, 0x45, 0x02, 0x00, 0x06, static_cast<std::uint8_t>(nSetting)};
}

const std::vector<int>& GetValueOrder(bool bWithStopBit) {
  static const std::vector<int> withStop = {3,   116, 118, 242, 243, 244, 245, 246, 247,
                                            248, 249, 250, 251, 252, 253, 1,   2,   255};
  static const std::vector<int> withoutStop = {3,   116, 118, 242, 243, 244, 245, 246, 247,
                                               248, 249, 250, 251, 252, 1,   2,   255};
  return bWithStopBit ? withStop : withoutStop;
}

const std::vector<int>& ParallelGetList() {
  static const std::vector<int> list = {1,   2,   3,   116, 118, 242, 243, 244, 245,
                                        246, 247, 248, 249, 250, 251, 252, 255};
  return list;
}

SetCheck CheckSetValue(const CSettingModel&, bool) { return SetCheck::NothingSet; }

std::optional<SetCommand> BuildSetCommand(CSettingModel&) { return std::nullopt; }

}  // namespace torva
