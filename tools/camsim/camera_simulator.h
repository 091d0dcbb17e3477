// The camera's side of the serial protocol. A CameraSimulator reads the
// program's frames (marker frames, and sequenced frames for cameras of
// type 2 and later), acts on the picture store and answers. It is a
// LineDevice for the in-memory line of the tests, and its transport-neutral
// half (Receive / Poll / LineSpeed / TakeOutput) also drives the
// pseudo-terminal of the fqcamsim program.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "camera/memory_line.h"
#include "camsim/faults.h"
#include "camsim/picture_store.h"

namespace fq::camsim {

struct SimOptions {
  int type = 2;                         // 1, 2, 3 (answers the probe with FF FF) or 4
  std::vector<CommandFault> faults;
  uint64_t reply_delay_us = 2000;       // time the camera takes before it answers
  uint64_t frame_idle_us = 1'000'000;   // a partial frame idle this long is dropped
  size_t capacity_bytes = 16u << 20;    // memory for pictures
  size_t max_pictures = 0;              // 0: 100 for type 1, 999 for the others
  int64_t clock_start = 1'000'000'000;  // camera clock at start, seconds since 1970 (no time zone)
  // Refuse (acknowledgement 2) an uploaded picture this type cannot hold:
  // beyond its largest size, with sampling it does not decode, or (type 1)
  // larger than the class of the recording mode announced for it.
  bool check_uploads = false;
  // Not a camera at all: a device that never answers, or one that answers
  // every byte it gets with bytes that are no frame.
  enum class Device { kCamera, kSilent, kGarbage };
  Device device = Device::kCamera;
};

// Bytes to put on the line toward the program, not before a given time
// (microseconds on the clock the simulator is driven with).
struct Outgoing {
  std::vector<uint8_t> bytes;
  uint64_t not_before_us = 0;
};

struct SimStats {
  std::map<int, int> marker_commands;     // code → count, acted upon or faulted
  std::map<int, int> sequenced_commands;
  int bad_checksums = 0;                  // sequenced frames received with a wrong sum
  size_t noise_bytes = 0;                 // bytes skipped while looking for a frame
  size_t garbled_bytes = 0;               // bytes that came at another speed than the camera's
  int faults_committed = 0;
  int uploads = 0;
  int sessions_ended = 0;                 // end commands answered
};

class CameraSimulator : public cam::LineDevice {
 public:
  CameraSimulator(SimOptions options, CameraContent content);

  // Transport-neutral side.
  void Receive(const uint8_t* data, size_t n, uint64_t now_us);
  void Poll(uint64_t now_us);
  // The program's end of the line changed speed; 0 = it closed the port
  // (the camera then forgets the connection and returns to 9600 bit/s).
  void LineSpeed(uint32_t bits_per_second);
  std::vector<Outgoing> TakeOutput();

  // LineDevice.
  void OnReceive(cam::MemoryLine& line, const uint8_t* data, size_t n) override;
  void OnPoll(cam::MemoryLine& line) override;
  void OnSpeed(cam::MemoryLine& line, uint32_t bits_per_second) override;

  // What the camera is doing and holds.
  int type() const { return options_.type; }
  uint32_t camera_speed() const { return camera_speed_; }
  bool identified() const { return identified_; }
  const CameraContent& content() const { return content_; }
  int viewfinder_picture() const { return viewfinder_; }  // 0 = none shown
  int current_medium() const { return medium_ + 1; }
  const SimStats& stats() const { return stats_; }
  // The camera clock now, as (year, month, day, hour, minute, second).
  struct ClockFields {
    int year, month, day, hour, minute, second;
  };
  ClockFields ClockNow() const;
  // What the camera holds, one line per picture: "NUMBER NAME BYTES MODE"
  // for types 1 to 3, "FOLDER/FILE NAME BYTES MODE" (with "movie" for a
  // movie) for type 4, medium 2 after medium 1.
  std::string Holdings() const;

  // Called after a picture has been stored by an upload (medium 1 or 2).
  std::function<void(const StoredEntry&, const StoredFolder&, int medium)> on_upload;
  // One line per noteworthy event, when set.
  std::function<void(const std::string&)> log;

 private:
  enum class Format { kMarker, kSequenced };
  enum class Parse { kNeedMore, kProgress };

  Parse TryMarker();
  Parse TrySequenced();
  void Command(Format format, uint8_t code, uint8_t sequence, std::span<const uint8_t> data);
  void ActMarker(uint8_t code, std::span<const uint8_t> data);
  void ActSequenced(uint8_t code, uint8_t sequence, std::span<const uint8_t> data);
  void UploadData(uint8_t sequence, std::span<const uint8_t> data);

  // Replies.
  void MarkerReply(uint8_t code, std::span<const uint8_t> data);
  void MarkerAck(uint8_t value);
  void SequencedReply(uint8_t kind, uint8_t sequence, uint8_t code, std::span<const uint8_t> data);
  void SequencedAck(uint8_t sequence, uint8_t value);
  // `announced`: the size the reply names instead of the object's own (0: its own).
  void SizeReply(Format format, uint8_t sequence, const std::vector<uint8_t>* object, uint32_t announced = 0);
  void BlockReply(Format format, uint8_t sequence, uint32_t block);

  void EndSession();
  void Log(const std::string& text);

  // Store access.
  StoredFolder* FlatFolder();
  // Types 2 and 3: position from 1; type 1: the picture's own number (its
  // position too, unless the content was given gaps).
  StoredEntry* ByNumber(int number);
  StoredFolder* FindFolder(int number);
  StoredEntry* FindEntry(std::span<const uint8_t> folder_file, StoredFolder** folder = nullptr);
  bool HasRoom(size_t bytes) const;
  bool Store(std::vector<uint8_t> picture, uint8_t mode);
  void RemoveEntry(StoredFolder& folder, size_t index);

  // Clock.
  int64_t ClockSeconds() const;
  void SetClockSeconds(int64_t seconds);
  bool SetClockItem(int item, uint16_t value);
  bool ReadClockItem(int item, uint8_t out[2]) const;

  SimOptions options_;
  CameraContent content_;
  SimStats stats_;
  std::vector<uint8_t> in_;
  std::vector<Outgoing> out_;
  uint64_t now_ = 0;
  uint64_t last_rx_ = 0;
  bool discarding_ = false;       // swallowing an oversized upload until the line is idle
  uint32_t line_speed_ = 9600;    // the program's end
  uint32_t camera_speed_ = 9600;  // the camera's end
  bool identified_ = false;
  int medium_ = 0;                // current medium (type 4)
  size_t folder_page_ = 0;        // next page of the folder list (type 4)
  const std::vector<uint8_t>* object_ = nullptr;  // what block requests read
  int viewfinder_ = 0;
  uint8_t upload_mode_ = 0xFF;    // mode announced for the next marker upload
  bool upload_open_ = false;      // sequenced upload in progress
  std::vector<uint8_t> upload_;
  uint32_t upload_size_ = 0;
  uint32_t upload_next_ = 0;      // next block index expected
  std::vector<uint8_t> last_key_;       // the previous command frame's content
  std::vector<uint8_t> delete_reply_;   // the reply to it when it was a deletion
  uint32_t garbage_seed_ = 0x2545F491u;
  int64_t clock_base_ = 0;
  uint64_t clock_anchor_us_ = 0;
  bool clock_anchored_ = false;
  bool end_pending_ = false;
};

// Whether a camera of `type` can hold `picture` sent to it with the
// recording mode `mode` (type 1); `why` tells what it cannot.
bool CameraCanHold(std::span<const uint8_t> picture, int type, uint8_t mode, std::string& why);

// The line speed of a speed code of the camera, or 0 for an unknown code.
uint32_t SpeedForCode(uint8_t code);

// Seconds since 1970-01-01 00:00 of a date and time without time zone, the
// camera clock's reckoning.
int64_t CivilSeconds(int year, int month, int day, int hour, int minute, int second);

}  // namespace fq::camsim
