// "Data out to Camera": JPEG files sent from disk to the camera. Every file
// is judged first (upload_rules.h); those the camera cannot take as they are
// are re-encoded into a temporary copy, judged again and sent with the
// recording mode of what is actually sent; files that cannot be made to fit
// are refused with a message and the others still go.
//
// The flow is portable: what it shows and asks goes through UploadUi (the
// window layer: message boxes and the progress dialog; fqtool: the console).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "camera/camera_link.h"
#include "camera/upload_rules.h"
#include "base/temp_file.h"
#include "image/jpeg_upload.h"

namespace fq::settings {
class SettingsStore;
}

namespace fq::cam {

inline constexpr size_t kMaxUploadFiles = 100;
inline constexpr std::string_view kReencodingText = "Now Changing JPEG to JPEG. Please wait.";
inline constexpr std::string_view kSendingText = "Now transferring image(PC->Digital Camera).";
// Line 302 of the progress dialog: "File Name: " and the file's name.
std::string FileNameLine(const std::string& path);
// The name of a file without its folder.
std::string BaseName(const std::string& path);

// The files of the file dialog's answer: one full path, or the folder
// and then the names, each ended by a zero, an empty text ending the list
// (or the end of the buffer). In the dialog's order.
std::vector<std::string> SelectedFiles(std::span<const char> answer);

// One file of the command and what became of it.
struct UploadFile {
  enum class State { kWaiting, kRefused, kSent, kFailed };
  std::string path;
  uint8_t attribute = kRefused;   // the acceptance verdict
  Refusal refusal = Refusal::kNone;
  State state = State::kWaiting;
  bool reencoded = false;
  uint8_t mode_sent = 0;
  uint64_t bytes_sent = 0;
  std::string sampling_sent;      // luminance factors of what was sent, "HxV"
};

class UploadUi {
 public:
  virtual ~UploadUi() = default;
  // The connection status window, while the connection is being made.
  virtual void ConnectionStatus(bool /*on*/) {}
  // A refused file, shown once: the message of `why` (21 with the name
  // filled in; the plain box for kSegmentsUnreadable).
  virtual void Refused(const UploadFile& file, Refusal why) = 0;
  // The progress dialog while files are re-encoded and sent.
  virtual void Progress(bool on) = 0;
  virtual void Lines(std::string_view operation, std::string_view detail) = 0;
  // The bar of the progress dialog; also moved by the re-encoding.
  virtual UploadMeter& Meter() = 0;
  virtual void SetMeterRange(int range) = 0;
  // Cancel is offered before each file but the last; for the last one it
  // is hidden and a pending request dropped.
  virtual void OfferCancel(bool more_files_follow) = 0;
  // "Cancel image transfer?": true for Yes.
  virtual bool ConfirmCancel() = 0;
  // A file sent or failed (for the command-line tool's verdicts).
  virtual void Finished(const UploadFile& /*file*/) {}
  // The camera memory is full and the link has read what the memory list
  // needs: opens the memory list of the camera type. True when a list now
  // owns the connection (it will end it and close the port itself).
  virtual bool OpenMemoryList(CameraLink& /*link*/) { return false; }
};

// A meter that shows nothing (for callers without a dialog).
class SilentMeter final : public UploadMeter {
 public:
  int Position() override { return position_; }
  int Range() override { return range_; }
  void SetPosition(int p) override { position_ = p; }
  void Pump() override {}
  void Linger() override {}
  void SetRange(int r) { range_ = r; }

 private:
  int position_ = 0, range_ = 25;
};

// The files of a selection, judged and sent over a connection made by
// ConnectForUpload. Result: 0; -1 when no file was accepted (or a type-4
// file's segments could not be read); 92 memory full; 101 cancelled; or the
// link's code of the first failure (the files before it stay sent).
int UploadFiles(CameraLink& link, std::vector<UploadFile>& files, UploadUi& ui);

// The whole command from the chosen files on: port settings (57600 runs as
// 38400 for this connection), port, connection, UploadFiles, memory full,
// end of the connection, port closed. More than 100 files: message 19,
// nothing is sent.
int RunUpload(CameraLink& link, settings::SettingsStore& store, std::vector<UploadFile>& files,
              UploadUi& ui);

// The same after the port settings: the link names the port and the
// configured speed code. A type-1 camera that connected writes the speed
// code into `store` when one is given.
int UploadOverLink(CameraLink& link, std::vector<UploadFile>& files, UploadUi& ui,
                   settings::SettingsStore* store);

// Re-encodes `path` for the camera of the link into a new temporary file
// (deleted when the returned object goes): type 1 with quarter-width chroma
// fitted to the file's size class, types 2 to 4 in one pass with half-width
// chroma (type 2 is probed again first; type 4 gets the generated Exif
// segment). `type_used` receives the type it was encoded for (3 when the
// probe found one); the link's type goes back from 3 to 2.
Result<temp::TempFile> ReencodeForCamera(CameraLink& link, const std::string& path,
                                         UploadUi& ui, int& type_used);

}  // namespace fq::cam
