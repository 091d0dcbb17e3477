// fqtool: the picture functions of the core from the command line.
//   fqtool info FILE
//   fqtool convert IN OUT [--bits 8|24] [--size WxH]
//                 [--quality standard|low|high|N] [--sampling HxV,HxV,HxV]
//   (JPEG output is written as Save As writes it: with the generated Exif
//   segment and thumbnail; info on a JPEG adds the Image Information fields)
//   fqtool raw IN OUT      (pixels as red, green, blue bytes, top row first)
//   fqtool album list FILE (album_commands.cpp)
//   fqtool album make OUT.alb PICTURE...
//   fqtool album thumbnails FILE DIR
//   fqtool camera identify|list --port DEV (camera_commands.cpp)
//   fqtool camera put|delete|clock|detect ... (camera_ops.cpp)
//   fqtool camera get|thumbs --port DEV --folder DIR ... (camera_get.cpp)
//   fqtool edit IN OUT [--rotate right|left] [--resize WxH] [--adjust B,C,S,P]
//                      [--auto] [--cutout X0,Y0,X1,Y1 [--zoom Z]] (edit_commands.cpp)
//   fqtool calendar info|render|photo|make ... (calendar_commands.cpp)
// Failures print the program's own message text on stderr and exit 1; a
// wrong command line prints the usage and exits 2.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "album_commands.h"
#include "calendar_commands.h"
#include "camera_commands.h"
#include "edit_commands.h"
#include "base/messages.h"
#include "exif_commands.h"
#include "image/image_record.h"
#include "jpeg_commands.h"
#include "picture_io.h"
#include "tool_platform.h"
#include "base/file_io.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

struct UsageError {};

int Fail(int message) {
  std::string_view text = fq::ErrorText(message);
  std::fprintf(stderr, "fqtool: %.*s\n", static_cast<int>(text.size()), text.data());
  return kExitFailure;
}

int Info(const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError{};
  auto kind = fqtool::ProbePicture(args[0]);
  if (!kind) return Fail(kind.message());
  if (*kind == fqtool::PictureKind::kUnknown) return Fail(fq::err::kNoCorrespondence);
  std::printf("kind: %s\n", std::string(fqtool::KindName(*kind)).c_str());
  if (*kind == fqtool::PictureKind::kJpeg) {
    const int status = fqtool::PrintJpegInfo(args[0]);
    return status != 0 ? status : fqtool::PrintImageInformation(args[0]);
  }
  auto pic = fqtool::LoadPicture(args[0]);
  if (!pic) return Fail(pic.message());
  const fq::ImageRecord& r = pic->record;
  std::printf("width: %d\nheight: %d\nbits: %u\ncompression: %u\npalette: %u\n",
              fq::ImageWidth(r), fq::ImageHeight(r), fq::ImageBitCount(r),
              fq::ImageCompression(r), fq::ImageColorCount(r));
  return 0;
}

bool ParseSize(const std::string& s, int32_t& w, int32_t& h) {
  size_t x = s.find_first_of("xX");
  if (x == std::string::npos || x == 0 || x + 1 >= s.size()) return false;
  char* end = nullptr;
  long lw = std::strtol(s.c_str(), &end, 10);
  if (end != s.c_str() + x) return false;
  long lh = std::strtol(s.c_str() + x + 1, &end, 10);
  if (*end != '\0') return false;
  if (lw <= 0 || lh <= 0 || lw > fq::kMaxImageDimension || lh > fq::kMaxImageDimension) return false;
  w = static_cast<int32_t>(lw);
  h = static_cast<int32_t>(lh);
  return true;
}

int Convert(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  int bits = 24;
  int32_t width = 0, height = 0;
  fqtool::SaveOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--bits" && i + 1 < args.size()) {
      std::string b = args[++i];
      if (b != "8" && b != "24") throw UsageError{};
      bits = std::stoi(b);
    } else if (args[i] == "--size" && i + 1 < args.size()) {
      if (!ParseSize(args[++i], width, height)) throw UsageError{};
    } else if (args[i] == "--quality" && i + 1 < args.size()) {
      if (!fqtool::ParseJpegQuality(args[++i], options.quality)) throw UsageError{};
    } else if (args[i] == "--sampling" && i + 1 < args.size()) {
      options.sampling = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      throw UsageError{};
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) throw UsageError{};

  auto pic = fqtool::LoadPicture(files[0]);
  if (!pic) return Fail(pic.message());
  fq::ImageRecord record = std::move(pic->record);
  if (width > 0) {
    auto full = fqtool::NormalizedForSave(std::move(record), 24);
    if (!full) return Fail(full.message());
    auto sized = fq::ResampleBilinear(*full, width, height);
    if (!sized) return Fail(sized.message());
    record = std::move(*sized);
  }
  auto out = fqtool::NormalizedForSave(std::move(record), bits);
  if (!out) return Fail(out.message());
  options.bits = bits;
  fq::Status s = fqtool::SavePicture(files[1], *out, options);
  if (!s) return Fail(s.message());
  return 0;
}

// The pixels as plain red, green, blue bytes, top row first, without
// padding: the form other programs can dump a picture in for comparison.
int Raw(const std::vector<std::string>& args) {
  if (args.size() != 2) throw UsageError{};
  auto pic = fqtool::LoadPicture(args[0]);
  if (!pic) return Fail(pic.message());
  auto full = fqtool::NormalizedForSave(std::move(pic->record), 24);
  if (!full) return Fail(full.message());
  const int64_t width = fq::ImageWidth(*full), height = fq::ImageHeight(*full);
  const uint64_t stride = fq::ImageRowStride(width, 24);
  std::vector<uint8_t> rgb;
  rgb.reserve(static_cast<size_t>(width * height * 3));
  for (int64_t y = height - 1; y >= 0; --y) {
    const uint8_t* p = fq::ImageBits(*full) + y * stride;
    for (int64_t x = 0; x < width; ++x, p += 3) rgb.insert(rgb.end(), {p[2], p[1], p[0]});
  }
  fq::io::ReplacingWriter out(args[1]);
  fq::Status s = out.Open();
  if (s) s = out.Write(rgb);
  if (s) s = out.Commit();
  if (!s) return Fail(s.message());
  return 0;
}

struct Command {
  std::string_view name;
  int (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"info", Info},
    {"convert", Convert},
    {"raw", Raw},
    {"camera", fqtool::CameraCommand},
    {"album", fqtool::RunAlbumCommand},
    {"edit", fqtool::EditCommand},
    {"calendar", fqtool::RunCalendarCommand},
};

int Usage() {
  std::fputs(
      "usage: fqtool info FILE\n"
      "       fqtool convert IN OUT [--bits 8|24] [--size WxH]\n"
      "                      [--quality standard|low|high|N] [--sampling HxV,HxV,HxV]\n"
      "       fqtool raw IN OUT\n"
      "       fqtool album list FILE\n"
      "       fqtool album make OUT.alb PICTURE...\n"
      "       fqtool album thumbnails FILE DIR\n"
      "       fqtool camera identify|list --port DEV [--speed BPS]\n"
      "       fqtool camera put FILE... | delete --range 3,5-7|--all | clock [--set 'YYYY-MM-DD HH:MM'|--now]\n"
      "                     --port DEV [--speed BPS]; fqtool camera detect [--ports DEV,...]\n"
      "       fqtool camera get --port DEV --folder DIR (--all | --range LIST | --new) [--speed BPS]\n"
      "       fqtool camera thumbs --port DEV --folder DIR [--all | --range LIST] [--speed BPS]\n"
      "       fqtool edit IN OUT [--rotate right|left]... [--resize WxH] [--adjust B,C,S,P]\n"
      "                  [--auto] [--cutout X0,Y0,X1,Y1 [--zoom 25|50|100|200|400]]\n"
      "       fqtool calendar info|render|items|photo|make ...\n",
      stderr);
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  fqtool::UsePlatformFileSystem();
  if (argc < 2) return Usage();
  std::string_view name = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  for (const Command& c : kCommands) {
    if (c.name != name) continue;
    try {
      return c.run(args);
    } catch (const UsageError&) {
      return Usage();
    }
  }
  return Usage();
}
