// The transfer folder: numbering from what the folder holds, the checks
// before a batch, and saving that never replaces a file.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/file_io.h"
#include "camera/transfer_folder.h"
#include "support/faulty_file_system.h"
#include "support/scratch_dir.h"

namespace fq::cam {
namespace {

using testing_support::ScratchDir;

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

std::vector<uint8_t> ReadAll(const std::string& path) {
  auto r = io::ReadWholeFile(path);
  return r ? *r : std::vector<uint8_t>{};
}

TEST(TransferFolderTest, NumbersFollowTheHighestDscFileAndNeverFillGaps) {
  ScratchDir dir;
  const std::string folder = dir.path().string();
  EXPECT_EQ(NextFileNumber(folder), 0);
  Touch(dir / "DSC0007.jpg");
  Touch(dir / "DSC0003.avi");
  Touch(dir / "dsc0005.JPG");    // any letter case
  Touch(dir / "DSC0042.jpeg");   // extension too long: not one of ours
  Touch(dir / "DSC00x9.jpg");    // counts as 0
  Touch(dir / "IMG0099.jpg");
  std::filesystem::create_directory(dir / "DSC0500.dir");  // a folder is no file
  EXPECT_EQ(NextFileNumber(folder), 7);
  EXPECT_EQ(*CheckNumberSpace(folder, 5), 7);
  EXPECT_EQ(CheckNumberSpace(folder, 9993).message(), err::kCannotCopyDirectory);  // 7 + 9993 = 10000
  EXPECT_TRUE(CheckNumberSpace(folder, 9992).ok());

  int counter = 7;
  const std::vector<uint8_t> bytes(70000, 0x5A);  // more than one write
  auto saved = SaveNewFile(folder, counter, kStillExtension, bytes);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(*saved, dir / "DSC0008.jpg");
  EXPECT_EQ(counter, 8);
  EXPECT_EQ(ReadAll(*saved), bytes);

  // A file that appeared meanwhile under the next name is left alone.
  Touch(dir / "DSC0009.jpg");
  saved = SaveNewFile(folder, counter, kStillExtension, bytes);
  ASSERT_TRUE(saved.ok());
  EXPECT_EQ(*saved, dir / "DSC0010.jpg");
  EXPECT_EQ(ReadAll(dir / "DSC0009.jpg"), std::vector<uint8_t>{'x'});
  // Nothing but our files and the ones put there.
  size_t files = 0;
  for (auto& e : std::filesystem::directory_iterator(dir.path())) files += e.is_regular_file();
  EXPECT_EQ(files, 9u);
}

TEST(TransferFolderTest, FullOrUnwritableFoldersAndLongNamesAreRefused) {
  ScratchDir dir;
  Touch(dir / "DSC9999.jpg");
  EXPECT_EQ(NextFileNumber(dir.path().string()), 9999);
  EXPECT_EQ(CheckNumberSpace(dir.path().string(), 1).message(), err::kCannotCopyDirectory);

  ScratchDir avi;
  Touch(avi / "DSC9999.avi");
  EXPECT_EQ(NextFileNumber(avi.path().string()), 9999);

  // A folder name that leaves no room for "/DSCnnnn.jpg" in 259 characters.
  EXPECT_EQ(CheckNumberSpace(std::string(248, 'a'), 1).message(), err::kFileNameTooLong);
  EXPECT_TRUE(CheckNumberSpace(std::string(247, 'a'), 1).ok() ||
              CheckNumberSpace(std::string(247, 'a'), 1).message() != err::kFileNameTooLong);

  if (geteuid() != 0) {  // root writes anywhere
    ScratchDir ro;
    chmod(ro.path().c_str(), 0555);
    EXPECT_EQ(NextFileNumber(ro.path().string()), 9999);
    chmod(ro.path().c_str(), 0755);
  }
  EXPECT_EQ(NextFileNumber((dir / "missing")), 9999);
}

TEST(TransferFolderTest, AFullDiskLeavesNoFileAndTheCounterAsItWas) {
  ScratchDir dir;
  testing_support::FaultyFileSystem faulty;
  faulty.write_budget = 1000;
  io::SetFileSystem(&faulty);
  int counter = 3;
  auto saved = SaveNewFile(dir.path().string(), counter, kStillExtension, std::vector<uint8_t>(5000, 1));
  io::SetFileSystem(nullptr);
  EXPECT_EQ(saved.message(), err::kDiskFull);
  EXPECT_EQ(counter, 3);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(TransferFolderTest, DriveChecksAndTheChosenFolder) {
  EXPECT_TRUE(CheckDrive(DriveKind::kNetwork, false).ok());
  EXPECT_EQ(CheckDrive(DriveKind::kCdRom, true).message(), err::kCannotCopyDirectory);
  EXPECT_EQ(CheckDrive(DriveKind::kOther, false).message(), err::kDriveNotReady);
  EXPECT_TRUE(CheckDrive(DriveKind::kOther, true).ok());
  EXPECT_EQ(FolderOfChosenPath("C:\\pictures\\camera\\x.jpg"), "C:\\pictures\\camera");
  EXPECT_EQ(FolderOfChosenPath("C:\\x.jpg"), "C:\\");
  EXPECT_EQ(FolderOfChosenPath("/tmp/x"), "/tmp");
  EXPECT_EQ(DscName(12, kMovieExtension), "DSC0012.avi");
}

}  // namespace
}  // namespace fq::cam
