// A file system for tests: the standard one, with faults switched on by
// fields — a disk that fills up after a budget of bytes, files that cannot
// be created or read, a rename that is refused, no temporary names.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "base/file_io.h"

namespace fq::testing_support {

class FaultyFileSystem final : public io::FileSystem {
 public:
  size_t write_budget = SIZE_MAX;  // bytes all new files together may take
  bool refuse_create = false;
  bool refuse_open_read = false;
  bool refuse_replace = false;
  bool refuse_remove = false;
  bool refuse_unique = false;
  std::optional<std::string> temp_folder;

  std::unique_ptr<io::File> OpenRead(const std::string& p) override {
    return refuse_open_read ? nullptr : base_.OpenRead(p);
  }
  std::unique_ptr<io::File> Create(const std::string& p) override {
    if (refuse_create) return nullptr;
    auto f = base_.Create(p);
    return f ? std::make_unique<Limited>(std::move(f), write_budget) : nullptr;
  }
  bool Exists(const std::string& p) override { return base_.Exists(p); }
  bool Remove(const std::string& p) override { return !refuse_remove && base_.Remove(p); }
  bool Replace(const std::string& a, const std::string& b) override {
    return !refuse_replace && base_.Replace(a, b);
  }
  std::optional<std::string> NewUniqueFile(const std::string& f, const std::string& p) override {
    if (refuse_unique) return std::nullopt;
    return base_.NewUniqueFile(f, p);
  }
  std::string TempFolder() override { return temp_folder ? *temp_folder : base_.TempFolder(); }
  char Separator() const override { return base_.Separator(); }
  std::optional<std::vector<std::string>> ListFiles(const std::string& f) override {
    return base_.ListFiles(f);
  }
  bool IsFolder(const std::string& p) override { return base_.IsFolder(p); }
  bool MoveToNewName(const std::string& a, const std::string& b) override {
    return !refuse_replace && base_.MoveToNewName(a, b);
  }

 private:
  // A file whose writes stop when the shared budget runs out.
  class Limited final : public io::File {
   public:
    Limited(std::unique_ptr<io::File> f, size_t& budget) : f_(std::move(f)), budget_(budget) {}
    size_t Read(void* b, size_t n) override { return f_->Read(b, n); }
    size_t Write(const void* b, size_t n) override {
      size_t k = std::min(n, budget_);
      budget_ -= k;
      return f_->Write(b, k);
    }
    bool Seek(uint64_t o) override { return f_->Seek(o); }
    std::optional<uint64_t> Size() override { return f_->Size(); }
    bool Close() override { return f_->Close(); }

   private:
    std::unique_ptr<io::File> f_;
    size_t& budget_;
  };

  io::FileSystem& base_ = io::StdFileSystem();
};

// Installs a file system for the life of a scope.
class ScopedFileSystem {
 public:
  explicit ScopedFileSystem(io::FileSystem& fs) { io::SetFileSystem(&fs); }
  ~ScopedFileSystem() { io::SetFileSystem(nullptr); }
  ScopedFileSystem(const ScopedFileSystem&) = delete;
  ScopedFileSystem& operator=(const ScopedFileSystem&) = delete;
};

}  // namespace fq::testing_support
