// What the simulated camera holds: up to two storage media, each with
// numbered folders of numbered files (still pictures and movies). Cameras
// of types 1 to 3 use only the first folder of the first medium and number
// its entries by position from 1; type 4 addresses entries by folder and
// file number.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace fq::camsim {

struct StoredEntry {
  int file = 0;       // file number within its folder, 1..9999
  bool movie = false;
  std::vector<uint8_t> data;                 // a still picture (JPEG)
  std::vector<std::vector<uint8_t>> frames;  // a movie: one JPEG per part
  uint8_t mode = 0;   // recording mode shown in the type-1 list
  std::string name;   // where it came from (file name), for the log
  uint32_t announced_size = 0;  // a size the camera names instead of the real one (0: the real one)
  int announced_parts = -1;     // a part count the camera names for a movie (-1: its frames)
  uint8_t rate_mode = 0;        // a movie's frame-rate parameter
  bool thumbnail_made = false;
  std::vector<uint8_t> thumbnail;            // empty: the camera has none

  // Bytes this entry takes in the camera's memory.
  size_t Bytes() const;
  // The picture the thumbnail is made of: the still, or the first frame.
  const std::vector<uint8_t>& Face() const;
};

struct StoredFolder {
  int number = 100;   // 100..999
  std::string dir;    // folder on disk it was read from (or "" when made up)
  std::vector<StoredEntry> entries;  // in file-number order
};

struct Medium {
  bool present = true;
  std::vector<StoredFolder> folders;  // in folder-number order
};

struct CameraContent {
  Medium media[2];
  CameraContent() { media[1].present = false; }
  size_t Bytes() const;
  size_t Count() const;
};

// Recording mode by file size, the camera's quality classes: 0 up to 21504
// bytes, 1 up to 64512, 2 up to 131072, 3 above.
uint8_t ModeForSize(size_t bytes);

// Reads the camera's content from a folder on disk:
//   DIR/*.jpg              medium 1, folder 100
//   DIR/NNN/*.jpg          medium 1, folder NNN (100..999)
//   DIR/card2/...          medium 2, laid out the same way
//   <folder>/NAME.movie/   a movie whose parts are the *.jpg files inside,
//                          in name order
// Files are taken in name order and numbered from 1 within their folder.
// Only type 4 keeps movies, medium 2 and the numbered sub-folders; the
// other types take every still picture into one list (at most 100 for
// type 1). Files larger than 16 MiB are skipped. `log` receives one line
// per thing skipped.
CameraContent LoadFolder(const std::string& dir, int type, std::vector<std::string>* log = nullptr);

// A few small pictures made on the spot, for a folder that holds none:
// types 1 to 3: four pictures of 320 × 240; type 4: folder 100 of medium 1
// with three pictures, folder 101 with one picture and a movie of four
// 160 × 120 frames, and medium 2 with folder 100 holding two pictures.
CameraContent DemoContent(int type);

// Changes the content as `spec` asks, a comma-separated list of:
//   many=N      N more tiny pictures (16 x 16), made on the spot
//   hidden      type 1: every third picture in a recording mode of 4 to 255
//   gaps        type 1: pictures numbered 1, 3, 5, ... instead of 1, 2, 3
//   bigsize     the second picture (type 4: the second still) names a size
//               of 4,294,967,040 bytes
//   parts=N     every movie names N parts (it holds as many as it has)
//   rate=R      every movie's frame-rate parameter is R (0 to 255)
// False with `error` on a malformed list or one the type cannot have.
bool ApplyContent(const std::string& spec, int type, CameraContent& content, std::string& error);

// Writes an uploaded picture into the folder on disk that stands for
// `folder` (creating it when needed) under the first free name
// "UPLDnnnn.jpg". Returns the path written, or nothing on failure.
std::optional<std::string> WriteUpload(const std::string& root, int medium, const StoredFolder& folder,
                                       const StoredEntry& entry);

}  // namespace fq::camsim
