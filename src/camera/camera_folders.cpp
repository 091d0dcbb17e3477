#include "camera/camera_folders.h"

#include <cstdio>

#include "base/file_io.h"
#include "base/messages.h"
#include "camera/block_loops.h"
#include "camera/link_codes.h"
#include "image/bmp_file.h"
#include "image/jpeg_file.h"

namespace fq::cam {
namespace {

constexpr int kFoldersPerPage = 256;
// A thumbnail far larger than any camera makes is not one.
constexpr uint32_t kMaxThumbnailBytes = 1u << 20;

int DataError(CameraLink& link) {
  link.Show(err::kDataError);
  return rc::kBadHeader;
}

int FirstPresent(const CameraMedia& m) { return m.Present(1) ? 1 : m.Present(2) ? 2 : 0; }

}  // namespace

int ReadMedia(CameraLink& link, CameraMedia& media) {
  MediaStatus status;
  if (int r = SequencedMediaStatus(link, status)) return r;
  media.status = status;
  media.current = 0;
  if (media.AnyPresent())
    media.current = media.Present(status.current) ? status.current : FirstPresent(media);
  return rc::kOk;
}

int ReadFolderList(CameraLink& link, CameraMedia& media) {
  int total = 0;
  if (int r = SequencedFolderTotal(link, total)) return r;
  if (total == 0) {
    const int other = media.current == 1 ? 2 : 1;
    if (!media.Present(other))
      link.Show(media.current == 1 ? err::kNoStoredImages : err::kTransferError);
    media.folders.clear();
    media.chosen = -1;
    return rc::kNothing;
  }
  std::vector<CameraFolder> folders;
  const int pages = (total + kFoldersPerPage - 1) / kFoldersPerPage;
  for (int page = 0; page < pages; ++page) {
    std::vector<int> numbers;
    if (int r = SequencedFolderPage(link, numbers)) return r;
    for (int n : numbers) {
      if (static_cast<int>(folders.size()) == total) break;
      if (n < 1 || n > kMaxFolders) return DataError(link);
      CameraFolder folder;
      folder.number = n;
      folders.push_back(std::move(folder));
    }
  }
  if (static_cast<int>(folders.size()) != total) return DataError(link);
  for (size_t i = 0; i < folders.size(); ++i) {
    if (i > 0 && !PumpWait(link, kFolderPauseMs)) return rc::kTimeout;
    int count = 0;
    int r = SequencedFolderCount(link, folders[i].number, count);
    if (r != rc::kOk && r != rc::kNothing) return r;
    folders[i].count = count;
  }
  size_t first = 0;
  while (first < folders.size() && folders[first].count == 0) ++first;
  folders.erase(folders.begin(), folders.begin() + static_cast<std::ptrdiff_t>(first));
  media.folders = std::move(folders);
  media.chosen = media.folders.empty() ? -1 : 0;
  return rc::kOk;
}

int OpenFolder(CameraLink& link, CameraFolder& folder) {
  if (folder.opened) return rc::kOk;
  int count = 0;
  int r = SequencedFolderCount(link, folder.number, count);
  if (r != rc::kOk && r != rc::kNothing) return r;
  std::vector<int> files;
  int file = 0;
  for (int i = 0; i < count; ++i) {
    int next = 0;
    r = SequencedNextFile(link, folder.number, file, next);
    if (r == rc::kNothing) break;  // the folder holds fewer than it said
    if (r) return r;
    if (next <= file) return DataError(link);
    files.push_back(next);
    file = next;
  }
  folder.count = static_cast<int>(files.size());
  folder.files = std::move(files);
  folder.opened = true;
  return rc::kOk;
}

int ChangeMedium(CameraLink& link, CameraMedia& media, int medium) {
  if (medium == media.current || !media.Present(medium)) return rc::kOk;
  int r = SequencedSelectMedium(link, medium);
  if (r != rc::kOk && r != rc::kMediumChanged) return r;
  if (!PumpWait(link, kMediumSettleMs)) return rc::kTimeout;
  CameraMedia next = media;
  next.current = medium;
  if ((r = ReadFolderList(link, next))) return r;
  if (CameraFolder* f = next.Chosen())
    if ((r = OpenFolder(link, *f))) return r;
  media = std::move(next);
  return rc::kOk;
}

int FillPage(ThumbnailCache& cache, std::span<const int> numbers, const ThumbnailFetch& fetch) {
  for (int number : numbers) {
    if (number <= 0 || cache.Find(number)) continue;
    Thumbnail t;
    if (int r = fetch(number, t)) return r;
    cache.Store(number, std::move(t.picture), t.date);
  }
  return rc::kOk;
}

std::string ThumbnailFileName(int number) {
  char name[32];
  std::snprintf(name, sizeof name, "dt%d.jpg", number);
  return name;
}

int FetchThumbnailBytes(CameraLink& link, int number, int folder, int file, Thumbnail& out) {
  out = Thumbnail{};
  int r = folder > 0 ? SequencedThumbnailSizeOf(link, folder, file)
                     : SequencedThumbnailSize(link, number);
  if (r == rc::kNothing) return rc::kOk;
  if (r) return r;
  if (link.picture_size > kMaxThumbnailBytes) return DataError(link);
  if ((r = AllocatePicture(link))) return r;
  r = FetchBlocksSequenced(link, BlockTarget::kThumbnail);
  if (r == rc::kNothing) return rc::kOk;
  if (r) return r;
  out.exists = true;
  out.jpeg.assign(link.picture.begin(), link.picture.begin() + link.picture_size);
  link.picture.clear();
  return rc::kOk;
}

int FetchThumbnail(CameraLink& link, int number, int folder, int file, Thumbnail& out) {
  if (int r = FetchThumbnailBytes(link, number, folder, file, out)) return r;
  if (!out.exists) return rc::kOk;
  io::FileSystem& fs = io::Fs();
  const std::string path = fs.TempFolder() + ThumbnailFileName(number);
  std::vector<uint8_t> bytes;
  if (auto f = fs.Create(path)) {
    const bool whole = f->Write(out.jpeg.data(), out.jpeg.size()) == out.jpeg.size() && f->Close();
    f.reset();
    if (whole) {
      auto back = io::ReadWholeFile(path);
      if (back) bytes = std::move(*back);
    }
    fs.Remove(path);
  }
  if (bytes.empty()) bytes = out.jpeg;  // no temporary folder: decode what came
  auto bmp = JpegToBitmapBytes(bytes);
  if (!bmp) return rc::kOk;  // shown as a picture without thumbnail
  auto read = ReadBitmapBytes(*bmp);
  if (!read) return rc::kOk;
  ImageRecord picture = std::move(read->record);
  if (ImageBitCount(picture) == 8) {
    auto wide = Expand8To24(picture);
    if (!wide) return rc::kOk;
    picture = std::move(*wide);
  }
  out.picture = std::move(picture);
  out.date = ThumbnailDateOf(out.jpeg);
  return rc::kOk;
}

}  // namespace fq::cam
