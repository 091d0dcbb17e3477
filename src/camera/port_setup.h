// The port setup: which speed the dialog offers first, and the search of
// the ports for a connected camera ("Auto Setup").
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/camera_link.h"

namespace fq::cam {

// The speed buttons of the dialog in their order, by speed code: 9600,
// 19200, 38400, 57600, 115200.
inline constexpr std::array<int, 5> kSpeedButtonCodes = {2, 13, 1, 3, 0};

// The driver's settable-speed bits.
namespace speed_bit {
inline constexpr uint32_t k9600 = 0x800;
inline constexpr uint32_t k19200 = 0x2000;
inline constexpr uint32_t k38400 = 0x4000;
inline constexpr uint32_t k57600 = 0x40000;
inline constexpr uint32_t k115200 = 0x20000;
}  // namespace speed_bit

// The speed code selected when the dialog opens, from the stored
// "baudrate" number and the port's settable-speed mask: one of the five
// known numbers selects its own speed; any other selects 38400 when the
// port offers it (or offers none of the five), else the first the port
// offers of 57600, 19200, 9600, 115200.
int InitialSpeedCode(int stored_baudrate, uint32_t settable_mask);

// The names searched by default.
std::vector<std::string> DefaultSearchPorts();

// Tries each port in turn at 9600 bit/s: a quiet open, the speed command
// (1000 ms, two attempts on time-out only), and when the camera agreed the
// identification (retried on time-out only) and the end of the
// connection. Answers the position (from 1) of the first port whose camera
// answered the speed command, or 0. The link's port name and speed code
// are as they were afterwards. Ports that cannot be opened or stay silent
// are passed over without a message.
int FindCameraPort(CameraLink& link, const std::vector<std::string>& ports);

}  // namespace fq::cam
