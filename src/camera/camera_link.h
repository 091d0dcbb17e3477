// The one connection record of the camera link and the layer under the
// commands: opening and configuring the port, the line speed, the waits,
// writing a prepared frame and receiving its reply against a deadline.
//
// Failures are shown where they are detected, once, through the Reporter
// (the window layer shows the message box); the result code goes up
// unchanged. Everything runs on one thread: while a reply is awaited the
// MessagePump keeps the windows alive.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "camera/clock.h"
#include "camera/frames.h"
#include "camera/serial_port.h"

namespace fq::settings {
class SettingsStore;
}

namespace fq::cam {

// How the link shows what went wrong and touches the windows around it.
class Reporter {
 public:
  virtual ~Reporter() = default;
  // Shows the error message of `index` (messages.h).
  virtual void ShowMessage(int index) = 0;
  // The camera menu item and the two camera toolbar buttons may be used
  // again (a failed speed command gives them back at once).
  virtual void EnableCameraCommands() {}
  // The hourglass cursor on or off around the end command.
  virtual void Hourglass(bool /*on*/) {}
};

// Time between looks at the message queue while a reply is awaited. The
// port wait returns as soon as input (or, on Windows, a window message)
// arrives.
inline constexpr uint64_t kReceivePollMicros = 2000;

// Keeps the windows alive during a wait.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Dispatches the messages waiting in the queue. False when a quit
  // message was among them: it has been posted again, and the wait that
  // called should be abandoned.
  virtual bool Pump() = 0;
  // Lets up to `micros` pass, returning early when a message arrives.
  virtual void Idle(Clock& clock, uint64_t micros) { clock.Sleep(micros); }
  // The longest the link may wait on the port (or idle) before it looks
  // at the message queue again.
  virtual uint64_t LongestWaitMicros() const { return kReceivePollMicros; }
};

// A pump for programs without windows: there is no queue to look at, so a
// wait lasts until input arrives or its deadline has passed (on a fake
// clock, one jump to the next event).
class NoMessagePump final : public MessagePump {
 public:
  bool Pump() override { return true; }
  uint64_t LongestWaitMicros() const override { return UINT64_MAX; }
};

// Speed codes are the camera's own numbers.
namespace speed_code {
inline constexpr uint8_t k115200 = 0;
inline constexpr uint8_t k38400 = 1;
inline constexpr uint8_t k9600 = 2;
inline constexpr uint8_t k57600 = 3;
inline constexpr uint8_t k19200 = 13;
}  // namespace speed_code

// Bits per second of a speed code; 0 for a code outside the table.
uint32_t LineSpeedOf(int code);
// Whether marker frames go out one byte at a time with a gap at this code.
bool IsBytewiseSpeed(int code);

// Camera types: 1 marker frames; 2, 3 and 4 sequenced frames after the
// identification. 0 = none identified since start-up.
inline constexpr int kNoCamera = 0;

// One picture of a type-1 list: its number as the camera gave it and its
// recording mode.
struct ListedPicture {
  int number = 0;
  uint8_t mode = 0;
};

// Bounds on what the camera announces, checked before anything is
// allocated or indexed. Block numbers travel in 16 bits.
inline constexpr uint32_t kMaxPictureBytes = 16u << 20;
inline constexpr int kMaxType1Pictures = 100;
inline constexpr int kMaxType2Pictures = 65535;  // a 16-bit count: the grid holds them all
inline constexpr int kMaxFolderPictures = 9999;  // four-digit file numbers
inline constexpr int kMaxFolders = 999;
inline constexpr int kMaxFileNumber = 9999;

struct CameraLink {
  CameraLink(SerialPort& port_, Clock& clock_, MessagePump& pump_, Reporter& reporter_)
      : port(port_), clock(clock_), pump(pump_), reporter(reporter_) {}

  std::string port_name = "COM1";
  uint8_t speed_code = speed_code::k38400;
  uint32_t send_length = 0;
  uint32_t reply_length = 0;       // total bytes of the last reply
  uint32_t reply_data_length = 0;  // data length announced by the last marker reply
  uint32_t reply_data_kept = 0;    // data bytes of it actually received
  uint32_t reply_bytes_seen = 0;   // bytes the last receive took off the line, noise included
  uint8_t send_sequence = 0;
  uint8_t expected_sequence = 0;
  int camera_type = kNoCamera;
  std::array<uint8_t, kLinkBufferSize> send{};
  std::array<uint8_t, kLinkBufferSize> receive{};
  // The picture being received (block count × 1024 bytes) or sent.
  std::vector<uint8_t> picture;
  int picture_count = 0;
  // Type-1 recording modes per picture number 1..100 (index 0 = number 1),
  // 255 where nothing was listed; and the list as received.
  std::array<uint8_t, kMaxType1Pictures> picture_modes{};
  std::vector<ListedPicture> listed;
  uint32_t picture_size = 0;
  uint32_t block_count = 0;
  bool last_block_empty = false;  // the type-1 camera sent the last block without data

  // Process-wide line timing: marker frames one byte at a time, and the
  // clock polls of the gap between two such bytes (about 200 µs).
  bool bytewise = false;
  uint32_t gap_polls = 0;

  // A quit message ended a wait: commands stop retrying.
  bool quit_seen = false;

  // Quiet period between two connections.
  bool status_shown_before = false;
  uint64_t status_removed_at_ms = 0;

  SerialPort& port;
  Clock& clock;
  MessagePump& pump;
  Reporter& reporter;

  // Messages shown since the link was made: a flow compares counts to know
  // whether a failure has been reported already.
  int messages_shown = 0;
  void Show(int message) {
    ++messages_shown;
    reporter.ShowMessage(message);
  }
};

// Reads the port name and speed code from the settings ("ORXAPP", keys
// "com" and "baudrate"), normalised, and prepares the first frame header.
void LoadPortSettings(CameraLink& link, settings::SettingsStore& settings);

// Opens the port named in the link at 9600 bit/s with the fixed line
// settings. 0, or 10 (message 0), 13, 15, 16, 17 (message 4); the port is
// left closed on failure.
int OpenPort(CameraLink& link);
// The same without any message (the port search).
int OpenPortQuietly(CameraLink& link);
void ClosePort(CameraLink& link);

// Changes only the line speed. -1 for a code outside the table, 15 or 16,
// each with message 4. Marker frames go byte by byte at 115200 and 57600.
int SetLineSpeed(CameraLink& link, int code);

// Waits without dispatching messages. Recalibrates the inter-byte gap.
void BusyWait(CameraLink& link, uint32_t ms);
// Waits dispatching messages until `ms` have passed since `start_ms` (on
// the link's clock); false when a quit message ended it early.
bool PumpWait(CameraLink& link, uint32_t ms, uint64_t start_ms);
inline bool PumpWait(CameraLink& link, uint32_t ms) {
  return PumpWait(link, ms, link.clock.NowMillis());
}

// Marker frames: purges, writes the prepared frame (send_length bytes),
// receives the marker reply within `timeout_ms`; bytes before the camera's
// marker text are dropped. 0, 14, 18, 20, 40 (message 9), 100.
int SendAndReceive(CameraLink& link, uint32_t timeout_ms);
// Sequenced frames: purges, writes the prepared frame one byte per call,
// receives a sequenced reply. 0, 14, 18, 20, 40 (message 11), 100, 106.
int SendBytewiseAndReceive(CameraLink& link, uint32_t timeout_ms);

// The receive halves on their own (the upload writes its frame itself).
int ReceiveMarkerReply(CameraLink& link, uint32_t timeout_ms);
int ReceiveSequencedReply(CameraLink& link, uint32_t timeout_ms);

// Prepares a frame in the send buffer and sets the length to send.
void PrepareMarker(CameraLink& link, uint8_t command, const uint8_t* data = nullptr,
                   size_t n = 0);
void PrepareSequenced(CameraLink& link, uint8_t kind, uint8_t sequence, uint8_t command,
                      const uint8_t* data = nullptr, size_t n = 0);

// Quiet period: the connection status is being shown. Sleeps (without
// pumping) for the rest of the 8 s since it was last removed.
void BeginConnectStatus(CameraLink& link);
void EndConnectStatus(CameraLink& link);

}  // namespace fq::cam
