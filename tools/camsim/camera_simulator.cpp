#include "camsim/camera_simulator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "camsim/sim_frames.h"
#include "camsim/sim_jpeg.h"
#include "image/image_record.h"

namespace fq::camsim {
namespace {

constexpr char kFromProgram[] = "ORX DSC PC  ";
constexpr size_t kMarkerHeader = 17;
constexpr size_t kLargestMarkerData = 1024;     // anything longer is not a command
constexpr size_t kLargestUpload = 16u << 20;

// Marker acknowledgement bytes.
constexpr uint8_t kAccepted = 0, kBusy = 1, kCannot = 2, kRetry = 3, kFull = 4;
// Sequenced refusal: the camera has no thumbnail; medium already current.
constexpr uint8_t kNoThumbnail = 6, kAlreadyCurrent = 8;

uint32_t GetBe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
         static_cast<uint32_t>(p[2]) << 8 | p[3];
}

int Digits(std::span<const uint8_t> s) {
  int v = 0;
  for (uint8_t c : s) {
    if (c < '0' || c > '9') return -1;
    v = v * 10 + (c - '0');
  }
  return v;
}

// "NNN\0": a folder number as sent by the program.
int ParseFolder(std::span<const uint8_t> d) {
  if (d.size() < 4 || d[3] != 0) return -1;
  return Digits(d.subspan(0, 3));
}

// Days since 1970-01-01 of a civil date and back (proleptic Gregorian).
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

}  // namespace

uint32_t SpeedForCode(uint8_t code) {
  switch (code) {
    case 0: return 115200;
    case 1: return 38400;
    case 2: return 9600;
    case 3: return 57600;
    case 13: return 19200;
  }
  return 0;
}

int64_t CivilSeconds(int year, int month, int day, int hour, int minute, int second) {
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
}

CameraSimulator::CameraSimulator(SimOptions options, CameraContent content)
    : options_(std::move(options)), content_(std::move(content)) {
  if (options_.max_pictures == 0) options_.max_pictures = options_.type == 1 ? 100 : 999;
  clock_base_ = options_.clock_start;
  if (!content_.media[0].present && content_.media[1].present) medium_ = 1;
}

void CameraSimulator::Log(const std::string& text) {
  if (log) log(text);
}

// ---- Transport --------------------------------------------------------------

void CameraSimulator::Receive(const uint8_t* data, size_t n, uint64_t now_us) {
  Poll(now_us);
  if (n == 0) return;
  if (options_.device == SimOptions::Device::kSilent) return;
  if (options_.device == SimOptions::Device::kGarbage) {
    // Bytes that never start a frame: no marker letter, no frame kind.
    Outgoing o;
    while (o.bytes.size() < std::min<size_t>(n, 32)) {
      garbage_seed_ = garbage_seed_ * 1664525u + 1013904223u;
      uint8_t b = static_cast<uint8_t>(garbage_seed_ >> 24);
      if (b == 1 || b == 8 || b == 16 || b == 'O') continue;
      o.bytes.push_back(b);
    }
    o.not_before_us = now_us + options_.reply_delay_us;
    out_.push_back(std::move(o));
    return;
  }
  if (line_speed_ != camera_speed_) {
    // Characters sent at another speed arrive as framing errors.
    stats_.garbled_bytes += n;
    return;
  }
  last_rx_ = now_us;
  if (discarding_) return;
  in_.insert(in_.end(), data, data + n);
  while (!in_.empty()) {
    Parse result;
    uint8_t b = in_[0];
    if (b == static_cast<uint8_t>(kFromProgram[0])) {
      result = TryMarker();
    } else if (options_.type != 1 && SequencedFrameLength(b) != 0) {
      result = TrySequenced();
    } else {
      ++stats_.noise_bytes;
      in_.erase(in_.begin());
      continue;
    }
    if (result == Parse::kNeedMore) break;
  }
}

void CameraSimulator::Poll(uint64_t now_us) {
  now_ = std::max(now_, now_us);
  if (!clock_anchored_) {
    clock_anchor_us_ = now_;
    clock_anchored_ = true;
  }
  if ((!in_.empty() || discarding_) && now_ - last_rx_ > options_.frame_idle_us) {
    if (!in_.empty()) Log("dropped " + std::to_string(in_.size()) + " bytes of an unfinished frame");
    stats_.noise_bytes += in_.size();
    in_.clear();
    discarding_ = false;
  }
}

void CameraSimulator::LineSpeed(uint32_t bps) {
  line_speed_ = bps;
  if (bps == 0) {
    if (identified_) Log("port closed: connection forgotten");
    EndSession();
  }
}

std::vector<Outgoing> CameraSimulator::TakeOutput() {
  std::vector<Outgoing> out;
  out.swap(out_);
  return out;
}

void CameraSimulator::OnReceive(cam::MemoryLine& line, const uint8_t* data, size_t n) {
  Receive(data, n, line.clock().NowMicros());
  for (Outgoing& o : TakeOutput()) line.Send(o.bytes, o.not_before_us);
}

void CameraSimulator::OnPoll(cam::MemoryLine& line) {
  Poll(line.clock().NowMicros());
  for (Outgoing& o : TakeOutput()) line.Send(o.bytes, o.not_before_us);
}

void CameraSimulator::OnSpeed(cam::MemoryLine&, uint32_t bps) { LineSpeed(bps); }

void CameraSimulator::EndSession() {
  identified_ = false;
  camera_speed_ = 9600;
  object_ = nullptr;
  upload_open_ = false;
  upload_.clear();
  upload_mode_ = 0xFF;
  folder_page_ = 0;
  in_.clear();
  discarding_ = false;
  last_key_.clear();
  delete_reply_.clear();
}

// ---- Frames -----------------------------------------------------------------

CameraSimulator::Parse CameraSimulator::TryMarker() {
  size_t have = std::min(in_.size(), size_t{12});
  if (std::memcmp(in_.data(), kFromProgram, have) != 0) {
    ++stats_.noise_bytes;
    in_.erase(in_.begin());
    return Parse::kProgress;
  }
  if (in_.size() < kMarkerHeader) return Parse::kNeedMore;
  uint32_t n = GetBe32(&in_[12]);
  uint8_t code = in_[16];
  if (code == 0) {  // a picture follows the header
    if (n > kLargestUpload) {
      Log("upload of " + std::to_string(n) + " bytes refused");
      in_.clear();
      discarding_ = true;
      MarkerAck(kFull);
      return Parse::kProgress;
    }
  } else if (n > kLargestMarkerData) {
    ++stats_.noise_bytes;
    in_.erase(in_.begin());
    return Parse::kProgress;
  }
  if (in_.size() < kMarkerHeader + n) return Parse::kNeedMore;
  std::vector<uint8_t> data(in_.begin() + kMarkerHeader, in_.begin() + static_cast<long>(kMarkerHeader + n));
  in_.erase(in_.begin(), in_.begin() + static_cast<long>(kMarkerHeader + n));
  Command(Format::kMarker, code, 0, data);
  return Parse::kProgress;
}

CameraSimulator::Parse CameraSimulator::TrySequenced() {
  if (in_.size() < 4) return Parse::kNeedMore;
  if (in_[2] != static_cast<uint8_t>(~in_[1])) {
    ++stats_.noise_bytes;
    in_.erase(in_.begin());
    return Parse::kProgress;
  }
  size_t total = SequencedFrameLength(in_[0]);
  if (in_.size() < total) return Parse::kNeedMore;
  uint8_t sequence = in_[1], code = in_[3];
  unsigned sum = 0;
  for (size_t i = 1; i < total - 2; ++i) sum += in_[i];
  bool good = static_cast<uint8_t>(sum) == in_[total - 2];
  std::vector<uint8_t> data(in_.begin() + 4, in_.begin() + static_cast<long>(total - 2));
  in_.erase(in_.begin(), in_.begin() + static_cast<long>(total));
  if (!good) {
    ++stats_.bad_checksums;
    Log("command " + std::to_string(code) + " arrived with a wrong checksum: asking again");
    SequencedAck(code == 5 ? 0 : sequence, kRetry);
    return Parse::kProgress;
  }
  Command(Format::kSequenced, code, sequence, data);
  return Parse::kProgress;
}

void CameraSimulator::MarkerReply(uint8_t code, std::span<const uint8_t> data) {
  Outgoing o;
  o.bytes = MarkerFrameToProgram(code, data);
  o.not_before_us = now_ + options_.reply_delay_us;
  out_.push_back(std::move(o));
}

void CameraSimulator::MarkerAck(uint8_t value) {
  uint8_t d[1] = {value};
  MarkerReply(1, d);
}

void CameraSimulator::SequencedReply(uint8_t kind, uint8_t sequence, uint8_t code,
                                     std::span<const uint8_t> data) {
  Outgoing o;
  o.bytes = SequencedFrameToProgram(kind, sequence, code, data);
  o.not_before_us = now_ + options_.reply_delay_us;
  out_.push_back(std::move(o));
}

void CameraSimulator::SequencedAck(uint8_t sequence, uint8_t value) {
  uint8_t d[1] = {value};
  SequencedReply(8, sequence, 1, d);
}

// ---- Commands ---------------------------------------------------------------

void CameraSimulator::Command(Format format, uint8_t code, uint8_t sequence, std::span<const uint8_t> data) {
  if (format == Format::kMarker) ++stats_.marker_commands[code];
  else ++stats_.sequenced_commands[code];
  uint8_t reply_sequence = code == 5 ? 0 : sequence;

  CommandFault* hit = nullptr;
  for (CommandFault& f : options_.faults) {
    if (f.kind == FaultKind::kEmptyLastBlock || f.kind == FaultKind::kShortBlock) continue;
    if (f.command >= 0 && f.command != code) continue;
    if (f.Hit() && !hit) hit = &f;
  }
  if (hit) {
    ++stats_.faults_committed;
    Log(std::string("fault ") + FaultName(hit->kind) + " on command " + std::to_string(code));
    switch (hit->kind) {
      case FaultKind::kSilence:
        return;
      case FaultKind::kBusy:
        if (format == Format::kMarker) MarkerAck(kBusy);
        else SequencedAck(reply_sequence, kCannot);
        return;
      case FaultKind::kRetry:
        if (format == Format::kMarker) MarkerAck(kRetry);
        else SequencedAck(reply_sequence, kRetry);
        return;
      default:
        break;
    }
  }

  // A deletion repeated as the very next command is the program trying
  // again after a lost reply: answer again, do not delete a second picture.
  std::vector<uint8_t> key;
  if (code == 17) {
    key.assign(data.size() + 1, format == Format::kMarker ? 0 : 1);
    std::copy(data.begin(), data.end(), key.begin() + 1);
  }
  bool repeated_delete = code == 17 && key == last_key_ && !delete_reply_.empty();
  last_key_ = std::move(key);

  size_t first = out_.size();
  if (repeated_delete) {
    Log("deletion repeated: answered again");
    Outgoing o;
    o.bytes = delete_reply_;
    o.not_before_us = now_ + options_.reply_delay_us;
    out_.push_back(std::move(o));
  } else {
    delete_reply_.clear();
    if (format == Format::kMarker) ActMarker(code, data);
    else ActSequenced(code, sequence, data);
    if (code == 17 && out_.size() == first + 1) delete_reply_ = out_[first].bytes;
  }

  if (hit && out_.size() > first) {
    Outgoing& o = out_[first];
    if (hit->kind == FaultKind::kChecksum) {
      if (format == Format::kMarker) o.bytes[1] ^= 0x20;  // "OrX": a damaged header
      else o.bytes[o.bytes.size() - 2] ^= 0x5A;
    } else if (hit->kind == FaultKind::kNoise) {
      // Noise that never looks like the start of a frame.
      std::vector<uint8_t> noise;
      uint32_t x = 0x9E3779B9u ^ static_cast<uint32_t>(stats_.faults_committed);
      while (noise.size() < hit->noise_bytes) {
        x = x * 1664525u + 1013904223u;
        uint8_t b = static_cast<uint8_t>(x >> 24);
        if (b == 1 || b == 8 || b == 16 || b == 'O') continue;
        noise.push_back(b);
      }
      o.bytes.insert(o.bytes.begin(), noise.begin(), noise.end());
    }
  }
  if (end_pending_) {
    end_pending_ = false;
    ++stats_.sessions_ended;
    Log("connection ended");
    EndSession();
  }
}

void CameraSimulator::ActMarker(uint8_t code, std::span<const uint8_t> data) {
  switch (code) {
    case 2: {  // identification
      uint8_t id[4] = {'D', 'S', 'C', static_cast<uint8_t>(options_.type == 1 ? '1' : options_.type == 4 ? '3' : '2')};
      MarkerReply(3, id);
      identified_ = true;
      Log("identified as type " + std::to_string(options_.type));
      return;
    }
    case 4: {  // line speed
      uint32_t bps = data.empty() ? 0 : SpeedForCode(data[0]);
      if (bps == 0) {
        MarkerAck(kCannot);
        return;
      }
      MarkerAck(kAccepted);
      camera_speed_ = bps;  // from the end of this reply on
      Log("speed " + std::to_string(bps) + " bit/s");
      return;
    }
    case 16:  // start
      MarkerAck(kAccepted);
      return;
    case 31:  // end of connection
      MarkerAck(kAccepted);
      end_pending_ = true;
      return;
  }
  if (options_.type != 1) {  // later cameras speak marker frames only to be identified
    MarkerAck(kCannot);
    return;
  }
  StoredFolder* folder = FlatFolder();
  switch (code) {
    case 0: {  // a picture upload: the header announced it, the bytes followed
      if (!LooksLikeJpeg(data)) {
        MarkerAck(kCannot);
        return;
      }
      if (!HasRoom(data.size())) {
        MarkerAck(kFull);
        return;
      }
      uint8_t mode = upload_mode_ != 0xFF ? upload_mode_ : ModeForSize(data.size());
      upload_mode_ = 0xFF;
      std::string why;
      if (options_.check_uploads && !CameraCanHold(data, 1, mode, why)) {
        Log("refused an upload of " + std::to_string(data.size()) + " bytes in mode " +
            std::to_string(mode) + ": " + why);
        MarkerAck(kCannot);
        return;
      }
      Store(std::vector<uint8_t>(data.begin(), data.end()), mode);
      MarkerAck(kAccepted);
      return;
    }
    case 7: {  // picture list: (number, mode) pairs
      std::vector<uint8_t> list;
      size_t n = folder ? std::min<size_t>(folder->entries.size(), 100) : 0;
      for (size_t i = 0; i < n; ++i) {
        list.push_back(static_cast<uint8_t>(folder->entries[i].file));
        list.push_back(folder->entries[i].mode);
      }
      MarkerReply(8, list);
      return;
    }
    case 17: {  // delete; the later pictures move down one number
      int number = data.empty() ? 0 : data[0];
      if (!ByNumber(number)) {
        MarkerAck(kCannot);
        return;
      }
      const std::string name = ByNumber(number)->name;
      RemoveEntry(*folder, static_cast<size_t>(ByNumber(number) - folder->entries.data()));
      MarkerAck(kAccepted);
      Log("deleted picture " + std::to_string(number) + " (" + name + ")");
      return;
    }
    case 20: {  // show on the viewfinder
      int number = data.empty() ? 0 : data[0];
      if (!ByNumber(number)) {
        MarkerAck(kCannot);
        return;
      }
      viewfinder_ = number;
      MarkerAck(kAccepted);
      Log("viewfinder shows picture " + std::to_string(number) + " (" + ByNumber(number)->name + ")");
      return;
    }
    case 21:  // recording mode of the next upload
      if (data.empty()) {
        MarkerAck(kCannot);
        return;
      }
      if (!HasRoom(1)) {
        MarkerAck(kFull);
        return;
      }
      upload_mode_ = data[0] & 0x0F;
      MarkerAck(kAccepted);
      return;
    case 26: {  // picture size, most significant byte first
      StoredEntry* e = ByNumber(data.empty() ? 0 : data[0]);
      if (!e) {
        MarkerAck(kCannot);
        return;
      }
      SizeReply(Format::kMarker, 0, &e->data, e->announced_size);
      return;
    }
    case 30:  // picture block, block number most significant byte first
      if (data.size() < 2) {
        MarkerAck(kCannot);
        return;
      }
      BlockReply(Format::kMarker, 0, static_cast<uint32_t>(data[0] << 8 | data[1]));
      return;
  }
  MarkerAck(kCannot);
}

void CameraSimulator::SizeReply(Format format, uint8_t sequence, const std::vector<uint8_t>* object,
                                uint32_t announced) {
  object_ = object;
  uint32_t size = announced ? announced : static_cast<uint32_t>(object->size());
  if (format == Format::kMarker) {
    uint8_t d[4] = {static_cast<uint8_t>(size >> 24), static_cast<uint8_t>(size >> 16),
                    static_cast<uint8_t>(size >> 8), static_cast<uint8_t>(size)};
    MarkerReply(29, d);
  } else {
    uint8_t d[4];
    PutU32(d, size);
    SequencedReply(8, sequence, 29, d);
  }
}

void CameraSimulator::BlockReply(Format format, uint8_t sequence, uint32_t block) {
  size_t start = static_cast<size_t>(block) * 1024;
  if (!object_ || start >= object_->size()) {
    if (format == Format::kMarker) MarkerAck(kCannot);
    else SequencedAck(sequence, kCannot);
    return;
  }
  size_t n = std::min<size_t>(1024, object_->size() - start);
  std::span<const uint8_t> bytes(object_->data() + start, n);
  if (format == Format::kMarker) {
    for (CommandFault& f : options_.faults) {
      if (f.kind == FaultKind::kShortBlock && f.Hit()) {
        ++stats_.faults_committed;
        const size_t keep = std::min<size_t>(f.noise_bytes, n - 1);
        Log("fault shortblock on block " + std::to_string(block) + ": " + std::to_string(keep) + " of " +
            std::to_string(n) + " bytes");
        MarkerReply(0, bytes.first(keep));
        return;
      }
    }
    bool last = start + n == object_->size();
    if (last) {
      for (CommandFault& f : options_.faults) {
        if (f.kind == FaultKind::kEmptyLastBlock && f.Hit()) {
          ++stats_.faults_committed;
          Log("fault emptyblock on block " + std::to_string(block));
          bytes = {};
          break;
        }
      }
    }
    MarkerReply(0, bytes);
  } else {
    SequencedReply(1, sequence, 5, bytes);
  }
}

void CameraSimulator::ActSequenced(uint8_t code, uint8_t sequence, std::span<const uint8_t> data) {
  const bool four = options_.type == 4;
  switch (code) {
    case 5:
      UploadData(sequence, data);
      return;
    case 7: {  // picture count (type 4: of a folder, or of the medium)
      size_t count = 0;
      if (!four) {
        StoredFolder* f = FlatFolder();
        count = f ? f->entries.size() : 0;
      } else if (data[0] == 0 && data[1] == 0 && data[2] == 0 && data[3] == 0) {
        for (const StoredFolder& f : content_.media[medium_].folders) count += f.entries.size();
      } else {
        StoredFolder* f = FindFolder(ParseFolder(data));
        if (!f) {
          SequencedAck(sequence, kCannot);
          return;
        }
        count = f->entries.size();
      }
      uint8_t d[2];
      PutU16(d, static_cast<uint16_t>(std::min<size_t>(count, 65535)));
      SequencedReply(8, sequence, 8, d);
      return;
    }
    case 16:  // start
      SequencedAck(sequence, kAccepted);
      return;
    case 17: {  // delete
      if (!four) {
        int number = GetU16(data.data());
        if (!ByNumber(number)) {
          SequencedAck(sequence, kCannot);
          return;
        }
        const std::string name = ByNumber(number)->name;
        RemoveEntry(*FlatFolder(), static_cast<size_t>(number - 1));
        Log("deleted picture " + std::to_string(number) + " (" + name + ")");
      } else {
        StoredFolder* folder = nullptr;
        StoredEntry* e = FindEntry(data, &folder);
        if (!e) {
          SequencedAck(sequence, kCannot);
          return;
        }
        Log("deleted file " + std::to_string(e->file) + " of folder " + std::to_string(folder->number) +
            " (" + e->name + ")");
        RemoveEntry(*folder, static_cast<size_t>(e - folder->entries.data()));
      }
      SequencedAck(sequence, kAccepted);
      return;
    }
    case 21: {  // upload start: the picture size
      uint32_t size = GetU32(data.data());
      if (size == 0 || size > kLargestUpload) {
        SequencedAck(sequence, kCannot);
        return;
      }
      if (!HasRoom(size)) {
        SequencedAck(sequence, kFull);
        return;
      }
      upload_open_ = true;
      upload_size_ = size;
      upload_next_ = 0;
      upload_.assign((static_cast<size_t>(size) + 1023) / 1024 * 1024, 0);
      SequencedAck(sequence, kAccepted);
      return;
    }
    case 22:  // thumbnail size
    case 26: {  // picture size
      StoredEntry* e = nullptr;
      if (!four) e = ByNumber(code == 22 ? static_cast<int>(std::min<uint32_t>(GetU32(data.data()), 65535))
                                         : GetU16(data.data()));
      else e = FindEntry(data);
      if (!e || (code == 26 && e->movie)) {
        SequencedAck(sequence, kCannot);
        return;
      }
      if (code == 26) {
        SizeReply(Format::kSequenced, sequence, &e->data, e->announced_size);
        return;
      }
      if (!e->thumbnail_made) {
        e->thumbnail = MakeThumbnail(e->Face());
        e->thumbnail_made = true;
      }
      if (e->thumbnail.empty()) {
        object_ = nullptr;
        SequencedAck(sequence, kNoThumbnail);
        return;
      }
      SizeReply(Format::kSequenced, sequence, &e->thumbnail);
      return;
    }
    case 30:  // picture block, least significant byte first
      BlockReply(Format::kSequenced, sequence, GetU16(data.data()));
      return;
    case 31:  // end of connection
      SequencedAck(sequence, kAccepted);
      end_pending_ = true;
      return;
    case 52: {  // set a clock item
      bool family = options_.type == 2 ? data[1] == 0 : data[1] == 1;
      if (!family || !SetClockItem(data[0], GetU16(data.data() + 2))) {
        SequencedAck(sequence, kCannot);
        return;
      }
      SequencedAck(sequence, kAccepted);
      return;
    }
    case 53: {  // read a clock item
      uint8_t value[2];
      bool family = options_.type == 2 || data[1] == 1;
      if (!family || !ReadClockItem(data[0], value)) {
        SequencedAck(sequence, kCannot);
        return;
      }
      SequencedReply(8, sequence, 54, value);
      return;
    }
    case 56: {  // the probe that tells type 3 from type 2
      uint8_t value[2] = {0, 0};
      if (options_.type == 3) value[0] = value[1] = 0xFF;
      SequencedReply(8, sequence, 54, value);
      return;
    }
  }
  if (!four) {
    SequencedAck(sequence, kCannot);
    return;
  }
  Medium& medium = content_.media[medium_];
  switch (code) {
    case 10: {  // number of folders on the current medium
      folder_page_ = 0;
      uint8_t d[4];
      PutU32(d, static_cast<uint32_t>(medium.folders.size()));
      SequencedReply(8, sequence, 11, d);
      return;
    }
    case 12: {  // the next page of up to 256 folder numbers
      std::vector<uint8_t> d;
      for (size_t i = folder_page_ * 256; i < medium.folders.size() && d.size() < 1024; ++i) {
        char text[8];
        std::snprintf(text, sizeof text, "%03d", medium.folders[i].number);
        d.insert(d.end(), text, text + 3);
        d.push_back(0);
      }
      ++folder_page_;
      SequencedReply(1, sequence, 13, d);
      return;
    }
    case 14: {  // next file number after the one given
      StoredFolder* f = FindFolder(ParseFolder(data));
      int after = Digits(data.subspan(4, 4));
      if (!f || after < 0) {
        SequencedAck(sequence, kCannot);
        return;
      }
      uint32_t next = 0;
      for (const StoredEntry& e : f->entries) {
        if (e.file > after) {
          next = static_cast<uint32_t>(e.file);
          break;
        }
      }
      uint8_t d[4];
      PutU32(d, next);
      SequencedReply(8, sequence, 15, d);
      return;
    }
    case 18: {  // media status
      uint8_t d[6] = {1, static_cast<uint8_t>(content_.media[0].present ? 1 : 0),
                      2, static_cast<uint8_t>(content_.media[1].present ? 1 : 0),
                      3, static_cast<uint8_t>(medium_ + 1)};
      SequencedReply(8, sequence, 19, d);
      return;
    }
    case 23: {  // size of one part of a movie: folder, file, 0, "NNN"
      StoredEntry* e = FindEntry(data);
      int part = data.size() >= 12 && data[8] == 0 ? Digits(data.subspan(9, 3)) : -1;
      if (!e || !e->movie || part < 1 || static_cast<size_t>(part) > e->frames.size()) {
        SequencedAck(sequence, kCannot);
        return;
      }
      SizeReply(Format::kSequenced, sequence, &e->frames[static_cast<size_t>(part - 1)]);
      return;
    }
    case 24: {  // entry kind, as tagged items
      StoredEntry* e = FindEntry(data);
      if (!e) {
        SequencedAck(sequence, kCannot);
        return;
      }
      PixelSize px = ReadJpegSize(e->Face()).value_or(PixelSize{});
      uint8_t d[20] = {};
      d[0] = 1;  // tag 1: recording mode, two reserved bytes
      d[1] = e->mode;
      d[4] = 2;  // tag 2: 0 movie, 1 still
      d[5] = e->movie ? 0 : 1;
      d[6] = 3;  // tag 3: width, height
      PutU32(d + 7, static_cast<uint32_t>(px.width));
      PutU32(d + 11, static_cast<uint32_t>(px.height));
      d[15] = 4;  // tag 4: frame-rate parameter (0: 10 frames per second, 1: 8)
      d[16] = e->rate_mode;
      d[17] = 5;  // tag 5: part count
      PutU16(d + 18, static_cast<uint16_t>(!e->movie              ? 1
                                           : e->announced_parts >= 0 ? e->announced_parts
                                                                : e->frames.size()));
      SequencedReply(16, sequence, 25, d);
      return;
    }
    case 28: {  // choose the medium
      int m = data[0];
      if ((m != 1 && m != 2) || !content_.media[m - 1].present) {
        SequencedAck(sequence, kCannot);
        return;
      }
      if (m - 1 == medium_) {
        SequencedAck(sequence, kAlreadyCurrent);
        return;
      }
      medium_ = m - 1;
      folder_page_ = 0;
      object_ = nullptr;
      SequencedAck(sequence, kAccepted);
      Log("medium " + std::to_string(m) + " chosen");
      return;
    }
  }
  SequencedAck(sequence, kCannot);
}

void CameraSimulator::UploadData(uint8_t sequence, std::span<const uint8_t> data) {
  if (!upload_open_) {
    SequencedAck(0, kCannot);
    return;
  }
  uint32_t blocks = static_cast<uint32_t>(upload_.size() / 1024);
  if (upload_next_ > 0 && sequence == static_cast<uint8_t>(upload_next_ - 1)) {
    SequencedAck(0, kAccepted);  // the same block again: its answer was lost
    return;
  }
  if (sequence != static_cast<uint8_t>(upload_next_) || data.size() < 1024) {
    SequencedAck(0, kRetry);
    return;
  }
  std::copy_n(data.begin(), 1024, upload_.begin() + static_cast<long>(upload_next_) * 1024);
  ++upload_next_;
  if (upload_next_ < blocks) {
    SequencedAck(0, kAccepted);
    return;
  }
  upload_open_ = false;
  upload_.resize(upload_size_);
  std::string why;
  if (!LooksLikeJpeg(upload_) ||
      (options_.check_uploads && !CameraCanHold(upload_, options_.type, 0, why))) {
    if (!why.empty())
      Log("refused an upload of " + std::to_string(upload_.size()) + " bytes: " + why);
    upload_.clear();
    SequencedAck(0, kCannot);
    return;
  }
  bool stored = Store(std::move(upload_), 0);
  upload_.clear();
  SequencedAck(0, stored ? kAccepted : kFull);
}

// ---- Store ------------------------------------------------------------------

StoredFolder* CameraSimulator::FlatFolder() {
  auto& folders = content_.media[0].folders;
  return folders.empty() ? nullptr : &folders.front();
}

StoredEntry* CameraSimulator::ByNumber(int number) {
  StoredFolder* f = FlatFolder();
  if (!f || number < 1) return nullptr;
  if (options_.type == 1) {
    for (StoredEntry& e : f->entries)
      if (e.file == number) return &e;
    return nullptr;
  }
  if (static_cast<size_t>(number) > f->entries.size()) return nullptr;
  return &f->entries[static_cast<size_t>(number - 1)];
}

StoredFolder* CameraSimulator::FindFolder(int number) {
  for (StoredFolder& f : content_.media[medium_].folders)
    if (f.number == number) return &f;
  return nullptr;
}

StoredEntry* CameraSimulator::FindEntry(std::span<const uint8_t> d, StoredFolder** folder) {
  StoredFolder* f = FindFolder(ParseFolder(d));
  int file = Digits(d.subspan(4, 4));
  if (!f || file < 1) return nullptr;
  for (StoredEntry& e : f->entries) {
    if (e.file == file) {
      if (folder) *folder = f;
      return &e;
    }
  }
  return nullptr;
}

bool CameraSimulator::HasRoom(size_t bytes) const {
  return content_.Count() < options_.max_pictures && content_.Bytes() + bytes <= options_.capacity_bytes;
}

bool CameraSimulator::Store(std::vector<uint8_t> picture, uint8_t mode) {
  if (!HasRoom(picture.size())) return false;
  object_ = nullptr;
  StoredEntry e;
  e.data = std::move(picture);
  e.mode = mode;
  e.name = "upload" + std::to_string(stats_.uploads + 1);
  int medium = options_.type == 4 ? medium_ : 0;
  auto& folders = content_.media[medium].folders;
  if (folders.empty()) folders.push_back(StoredFolder{});
  StoredFolder* f = &folders.back();
  int file = f->entries.empty() ? 1 : f->entries.back().file + 1;
  if (options_.type != 4) {
    file = options_.type == 1 && !f->entries.empty() ? f->entries.back().file + 1
                                                     : static_cast<int>(f->entries.size()) + 1;
  } else if (file > 9999) {
    if (f->number >= 999) return false;
    StoredFolder next;
    next.number = f->number + 1;
    folders.push_back(std::move(next));
    f = &folders.back();
    file = 1;
  }
  e.file = file;
  f->entries.push_back(std::move(e));
  ++stats_.uploads;
  Log("stored an uploaded picture of " + std::to_string(f->entries.back().data.size()) + " bytes as file " +
      std::to_string(file) + " of folder " + std::to_string(f->number));
  if (on_upload) on_upload(f->entries.back(), *f, medium + 1);
  return true;
}

void CameraSimulator::RemoveEntry(StoredFolder& folder, size_t index) {
  object_ = nullptr;
  folder.entries.erase(folder.entries.begin() + static_cast<long>(index));
  if (options_.type != 4)  // the later pictures move down one number
    for (size_t i = index; i < folder.entries.size(); ++i) --folder.entries[i].file;
  viewfinder_ = 0;
}

// ---- Clock ------------------------------------------------------------------

int64_t CameraSimulator::ClockSeconds() const {
  uint64_t elapsed = clock_anchored_ ? (now_ - clock_anchor_us_) / 1'000'000 : 0;
  return clock_base_ + static_cast<int64_t>(elapsed);
}

void CameraSimulator::SetClockSeconds(int64_t seconds) {
  clock_base_ = seconds;
  clock_anchor_us_ = now_;
  clock_anchored_ = true;
}

CameraSimulator::ClockFields CameraSimulator::ClockNow() const {
  int64_t s = ClockSeconds();
  int64_t days = s >= 0 ? s / 86400 : (s - 86399) / 86400;
  int64_t rest = s - days * 86400;
  ClockFields c{};
  CivilFromDays(days, c.year, c.month, c.day);
  c.hour = static_cast<int>(rest / 3600);
  c.minute = static_cast<int>(rest / 60 % 60);
  c.second = static_cast<int>(rest % 60);
  return c;
}

bool CameraSimulator::SetClockItem(int item, uint16_t value) {
  int base = options_.type == 2 ? 192 : 64;
  ClockFields c = ClockNow();
  switch (item - base) {
    case 0:  // year
      if (value < 1980 || value > 2099) return false;
      c.year = value;
      c.day = std::min(c.day, DaysInMonth(c.year, c.month));
      break;
    case 1: {  // date: day in the low byte, month in the high byte
      int day = value & 0xFF, month = value >> 8;
      if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(c.year, month)) return false;
      c.month = month;
      c.day = day;
      break;
    }
    case 2: {  // time: minute in the low byte, hour in the high byte
      int minute = value & 0xFF, hour = value >> 8;
      if (hour > 23 || minute > 59) return false;
      c.hour = hour;
      c.minute = minute;
      c.second = 0;
      break;
    }
    default:
      return false;
  }
  SetClockSeconds(DaysFromCivil(c.year, c.month, c.day) * 86400 + c.hour * 3600 + c.minute * 60 + c.second);
  Log("clock set to " + std::to_string(c.year) + "-" + std::to_string(c.month) + "-" + std::to_string(c.day) +
      " " + std::to_string(c.hour) + ":" + std::to_string(c.minute));
  return true;
}

bool CameraSimulator::ReadClockItem(int item, uint8_t out[2]) const {
  int base = options_.type == 2 ? 192 : 64;
  ClockFields c = ClockNow();
  switch (item - base) {
    case 0:
      PutU16(out, static_cast<uint16_t>(c.year));
      return true;
    case 1:
      out[0] = static_cast<uint8_t>(c.day);
      out[1] = static_cast<uint8_t>(c.month);
      return true;
    case 2:
      out[0] = static_cast<uint8_t>(c.minute);
      out[1] = static_cast<uint8_t>(c.hour);
      return true;
  }
  return false;
}

// ---- What the camera holds -------------------------------------------------

std::string CameraSimulator::Holdings() const {
  std::string out;
  char line[64];
  for (int m = 0; m < 2; ++m) {
    const Medium& medium = content_.media[m];
    if (!medium.present) continue;
    int number = 0;
    for (const StoredFolder& f : medium.folders) {
      for (const StoredEntry& e : f.entries) {
        if (options_.type == 4)
          std::snprintf(line, sizeof line, "%03d/%04d ", f.number, e.file);
        else
          std::snprintf(line, sizeof line, "%d ", ++number);
        out += line;
        out += e.name + " " + std::to_string(e.movie ? 0 : e.data.size()) + " " +
               (e.movie ? std::string("movie") : std::to_string(e.mode)) + "\n";
      }
    }
  }
  return out;
}

bool CameraCanHold(std::span<const uint8_t> picture, int type, uint8_t mode, std::string& why) {
  auto f = ReadFrameLayout(picture);
  if (!f) {
    why = "no frame header";
    return false;
  }
  if (!f->sequential || f->components != 3 || f->precision != 8) {
    why = "not a baseline colour picture";
    return false;
  }
  struct Limits {
    int width, height;
    bool quarter;   // luminance 4 x 1 (type 1), otherwise 2 x 1
    bool two_by_two;
  };
  static constexpr Limits kLimits[] = {
      {640, 480, true, false}, {640, 480, false, false}, {2560, 1920, false, true}, {1280, 960, false, true}};
  if (type < 1 || type > 4) {
    why = "unknown type";
    return false;
  }
  const Limits& l = kLimits[type - 1];
  if (f->width > l.width || f->height > l.height) {
    why = std::to_string(f->width) + " x " + std::to_string(f->height) + " is too large";
    return false;
  }
  const bool sampling = l.quarter ? (f->luma_h == 4 && f->luma_v == 1)
                                  : (f->luma_h == 2 && (f->luma_v == 1 || (l.two_by_two && f->luma_v == 2)));
  if (!sampling) {
    why = "sampling " + std::to_string(f->luma_h) + "x" + std::to_string(f->luma_v);
    return false;
  }
  if (type == 1) {
    static constexpr size_t kClassLimit[] = {21503, 64511, 131071, 262143};
    if (mode > 3 || picture.size() > kClassLimit[mode] ||
        (mode == 0 && (f->width > 320 || f->height > 240))) {
      why = "does not fit mode " + std::to_string(mode);
      return false;
    }
  }
  return true;
}

}  // namespace fq::camsim
