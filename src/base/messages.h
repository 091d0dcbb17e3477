// The numbered message tables every subsystem reports its failures through,
// and the small result type that carries a message index out of the portable
// core to the window layer, which shows it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace fq {

// Indexes into the error table (ErrorText). Named once here; callers never
// use bare numbers.
namespace err {
inline constexpr int kOpenComPort = 0;
inline constexpr int kComPortInvalid = 1;
inline constexpr int kCommandCannotExecute = 2;
inline constexpr int kTransferError = 3;
inline constexpr int kComPortOpenError = 4;
inline constexpr int kDataError = 5;
inline constexpr int kDataErrorRestart = 6;
inline constexpr int kCameraError = 7;
inline constexpr int kCameraMemoryFull = 8;
inline constexpr int kCannotAccessCamera = 9;
inline constexpr int kComPortRead = 10;
inline constexpr int kComPortWrite = 11;
inline constexpr int kNotAvailableOnCamera = 12;
inline constexpr int kBaudrateTooHigh = 13;
inline constexpr int kFileDoesNotExist = 14;
inline constexpr int kFailedToReadFile = 15;
inline constexpr int kFileCannotBeOpened = 16;
inline constexpr int kCannotCreateFile = 17;
inline constexpr int kDiskFull = 18;
inline constexpr int kFileNameTooLong = 19;
inline constexpr int kNotJpeg = 20;
inline constexpr int kJpegNotTransferable = 21;
inline constexpr int kJpegNotSupported = 22;
inline constexpr int kNoCorrespondence = 23;
inline constexpr int kMemory = 24;
inline constexpr int kBmpCannotBeAllocated = 25;
inline constexpr int kNoStoredImages = 26;
inline constexpr int kNoStoredImagesInFolder = 27;
inline constexpr int kCannotCopyDirectory = 28;
inline constexpr int kDriveNotReady = 29;
inline constexpr int kNotAlbumFile = 30;
inline constexpr int kAlbumCreateFailed = 31;
inline constexpr int kAlbumNotSelected = 32;
inline constexpr int kAlreadyInAlbum = 33;
inline constexpr int kAlbumFull = 34;
inline constexpr int kAlbumCreateFailed2 = 35;
inline constexpr int kCreateBitmap = 36;
inline constexpr int kGetBitmap = 37;
inline constexpr int kOpenClipboard = 38;
inline constexpr int kNoClipboardData = 39;
inline constexpr int kCreatingBitmap = 40;
inline constexpr int kCreatingJpeg = 41;
inline constexpr int kCannotPrint = 42;
inline constexpr int kPrintFailed = 43;
inline constexpr int kUnexpected = 44;
inline constexpr int kSameNameOpen = 45;
inline constexpr int kNotSavedExists = 46;
inline constexpr int kLast = 46;
}  // namespace err

// Indexes into the question table (QuestionText).
namespace ask {
inline constexpr int kDeleteImageNo = 0;  // has a %d: use FormatDeleteQuestion
inline constexpr int kCancelDelete = 1;
inline constexpr int kCancelPreview = 2;
inline constexpr int kDeleteAll = 3;
inline constexpr int kCancelTransfer = 4;
inline constexpr int kCloseWindow = 5;
inline constexpr int kCancelTransfer2 = 6;
inline constexpr int kTransferOnlyImages = 7;
inline constexpr int kLast = 7;
}  // namespace ask

inline constexpr std::string_view kAppCaption = "Fotaquill";
inline constexpr std::string_view kUndefinedMessage = "It is a non-definition error.";

// The error text of an index; kUndefinedMessage outside the table.
std::string_view ErrorText(int index);
bool IsErrorIndex(int index);

// The question text of an index; kUndefinedMessage outside the table.
std::string_view QuestionText(int index);
bool IsQuestionIndex(int index);

// The formatted three-way question: only index 0 is defined, with the
// picture number filled in. Other indexes give kUndefinedMessage.
std::string FormatQuestion(int index, int number);

// The error index a camera result code is shown as, or nothing for codes
// that show no message.
std::optional<int> MessageForResult(int result_code);

// A failure carried by its error-table index.
struct Failure {
  int message = err::kUnexpected;
  friend bool operator==(const Failure&, const Failure&) = default;
};

// A value or the failure that prevented it. The core never shows a message
// itself: the window layer shows `failure().message` once, where the
// operation was started.
template <class T>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Failure f) : v_(f) {}

  bool ok() const { return std::holds_alternative<T>(v_); }
  explicit operator bool() const { return ok(); }
  T& value() & { return std::get<T>(v_); }
  const T& value() const& { return std::get<T>(v_); }
  T&& value() && { return std::get<T>(std::move(v_)); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  // The error index; only meaningful when !ok().
  int message() const { return ok() ? -1 : std::get<Failure>(v_).message; }
  Failure failure() const { return std::get<Failure>(v_); }

 private:
  std::variant<T, Failure> v_;
};

// Success or a failure, for operations that return nothing.
class Status {
 public:
  Status() = default;
  Status(Failure f) : failure_(f) {}
  static Status Ok() { return {}; }
  bool ok() const { return !failure_; }
  explicit operator bool() const { return ok(); }
  int message() const { return failure_ ? failure_->message : -1; }

 private:
  std::optional<Failure> failure_;
};

}  // namespace fq
