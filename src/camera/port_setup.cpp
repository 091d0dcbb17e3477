#include "camera/port_setup.h"

#include "base/settings.h"
#include "camera/connection.h"
#include "camera/link_codes.h"

namespace fq::cam {

int InitialSpeedCode(int stored, uint32_t mask) {
  if (settings::IsKnownSpeedSetting(stored)) return settings::SpeedCodeFromSetting(stored);
  if (mask & speed_bit::k38400) return speed_code::k38400;
  if (mask & speed_bit::k57600) return speed_code::k57600;
  if (mask & speed_bit::k19200) return speed_code::k19200;
  if (mask & speed_bit::k9600) return speed_code::k9600;
  if (mask & speed_bit::k115200) return speed_code::k115200;
  return speed_code::k38400;
}

std::vector<std::string> DefaultSearchPorts() { return {"COM1", "COM2", "COM3", "COM4"}; }

int FindCameraPort(CameraLink& link, const std::vector<std::string>& ports) {
  const std::string kept_name = link.port_name;
  const uint8_t kept_speed = link.speed_code;
  int found = 0;
  for (size_t i = 0; i < ports.size() && !found && !link.quit_seen; ++i) {
    link.port_name = ports[i];
    link.speed_code = speed_code::k9600;
    if (OpenPortQuietly(link) != rc::kOk) continue;
    if (SearchSpeedCommand(link, speed_code::k9600) != rc::kOk) {
      ClosePort(link);
      continue;
    }
    if (SearchIdentify(link) == rc::kOk) EndConnection(link);
    ClosePort(link);
    found = static_cast<int>(i) + 1;
  }
  link.port_name = kept_name;
  link.speed_code = kept_speed;
  return found;
}

}  // namespace fq::cam
