#include "base/temp_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/file_io.h"
#include "support/faulty_file_system.h"

namespace fq::temp {
namespace {

namespace fs = std::filesystem;

std::string NameOf(const std::string& p) { return fs::path(p).filename().string(); }

TEST(TempFile, MakeAndRemove) {
  auto p = MakeTempFileName();
  ASSERT_TRUE(p);
  std::string path = *p;
  EXPECT_EQ(path.rfind(io::Fs().TempFolder(), 0), 0u);
  EXPECT_EQ(NameOf(path).rfind("ORX", 0), 0u);
  EXPECT_EQ(path.substr(path.size() - 4), ".TMP");
  ASSERT_TRUE(fs::exists(path));
  EXPECT_EQ(fs::file_size(path), 0u);
  auto q = MakeTempFileName();
  ASSERT_TRUE(q);
  EXPECT_NE(*q, path);
  RemoveTempFile(path);
  EXPECT_TRUE(path.empty());
  EXPECT_FALSE(fs::exists(*p));
  std::string empty;
  RemoveTempFile(empty);  // nothing to do
  std::string other = *q;
  RemoveTempFile(other);
}

TEST(TempFile, JpegVariantLeavesNoTmpBehind) {
  auto p = MakeTempJpegName();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->substr(p->size() - 4), ".jpg");
  EXPECT_TRUE(fs::exists(*p));
  std::string tmp = p->substr(0, p->size() - 3) + "TMP";
  EXPECT_FALSE(fs::exists(tmp));
  std::string path = *p;
  RemoveTempFile(path);
  EXPECT_FALSE(fs::exists(*p));
}

TEST(TempFile, DeletedWhenTheOwnerGoes) {
  std::string kept;
  std::string released;
  {
    auto t = TempFile::Create();
    ASSERT_TRUE(t);
    kept = t->path();
    EXPECT_TRUE(fs::exists(kept));
    TempFile moved = std::move(*t);
    EXPECT_TRUE(t->path().empty());
    EXPECT_EQ(moved.path(), kept);
    auto r = TempFile::CreateJpeg();
    ASSERT_TRUE(r);
    released = r->Release();
  }
  EXPECT_FALSE(fs::exists(kept));
  EXPECT_TRUE(fs::exists(released));
  RemoveTempFile(released);
}

TEST(TempFile, FailureIsReported) {
  testing_support::FaultyFileSystem none;
  none.refuse_unique = none.refuse_create = true;
  none.temp_folder = "/nonexistent/";
  io::SetFileSystem(&none);
  EXPECT_EQ(MakeTempFileName().message(), err::kCannotCreateFile);
  EXPECT_EQ(MakeTempJpegName().message(), err::kCannotCreateFile);
  EXPECT_FALSE(TempFile::Create());
  io::SetFileSystem(nullptr);
}

}  // namespace
}  // namespace fq::temp
