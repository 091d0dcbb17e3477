// The window side of the camera link: message boxes for its failures, the
// message pump of its waits, the hourglass around the end command.
#pragma once

#include <windows.h>

#include <functional>

#include "camera/camera_link.h"

namespace fq::win {

class LinkReporter final : public cam::Reporter {
 public:
  // `enable_camera_commands` gives the camera menu item and toolbar
  // buttons back (the frame's CommBusy rules); may be empty.
  explicit LinkReporter(std::function<void()> enable_camera_commands = {})
      : enable_(std::move(enable_camera_commands)) {}
  void ShowMessage(int index) override;
  void EnableCameraCommands() override;
  void Hourglass(bool on) override;

 private:
  std::function<void()> enable_;
};

class LinkPump final : public cam::MessagePump {
 public:
  bool Pump() override;
  void Idle(cam::Clock& clock, uint64_t micros) override;
};

// The steady clock of the program (tick-count based waits work on it too).
cam::Clock& LinkClock();

}  // namespace fq::win
