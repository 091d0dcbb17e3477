#include "base/messages.h"

#include <array>
#include <cstdio>

namespace fq {
namespace {

constexpr std::array<std::string_view, err::kLast + 1> kErrors = {
    "Failed to open COM Port.",
    "COM Port is invalid.",
    "Command cannot be executed.",
    "Unexpected error has occurred during image transfer.",
    "Unexpected error has occurred during COM Port open.",
    "Data error has occurred.",
    "Data error has occurred.\nPlease turn off the camera and turn on again.",
    "Camera error has occurred.",
    "Camera memory is full.",
    "Cannot access Camera.\nMake sure Camera is turned on and properly connected.",
    "Failed to read from the COM Port.",
    "Failed to write to the COM Port.",
    "This function is not available on this camera.",
    "This camera cannot connect with this baudrate.\nChange lower baudrate and connect again.",
    "File does not exist.",
    "Failed to read the file.",
    "File cannot be opened.",
    "Can't Create File.",
    "Disk is full.",
    "The file Name is too long.",
    "This is not a Jpeg file.",
    "This JPEG file cannot be transferred to the Camera.\nFile Name : %s\n",
    "This JPEG file type cannot be supported.\nFile Name : %s\n",
    "There is no correspondence between this file.",
    "Memory cannot be allocated.",
    "This BMP file cannot be allocated.",
    "This Camera has no stored images.",
    "This Camera has no stored images in this folder.",
    "Cannot copy This Directory. Please Change Directory.\n",
    "Not Ready or Cannot Write to Drive.",
    "This file is not album file.",
    "It failed in the creating the album.",
    "The photo putting album is not selected.",
    "This image is registered already to this album.",
    "This album is full.",
    "It failed in the creating the album.",
    "It failed in the creating the bitmap.",
    "It failed in the getting bitmap.",
    "Can not open the Clip board.",
    "No available data exists in the Clip board.",
    "It failed in the creating bitmap.",
    "It failed in the creating JPEG.",
    "This image cannot be printed.",
    "It failed to print.",
    "The error not to expect occurred.",
    "File with same name has already been opened.",
    "Image not saved because it already existed.",
};

constexpr std::array<std::string_view, ask::kLast + 1> kQuestions = {
    "Are you sure you want to delete Image No.%d?",
    "Cancel Delete Really?",
    "Cancel image preview?",
    "Delete all images?",
    "Cancel image transfer?",
    "OK to close window?",
    "Cancel image transfer?",
    "Does it Transfer Only Image(s)?",
};

}  // namespace

bool IsErrorIndex(int index) { return index >= 0 && index <= err::kLast; }
bool IsQuestionIndex(int index) { return index >= 0 && index <= ask::kLast; }

std::string_view ErrorText(int index) {
  return IsErrorIndex(index) ? kErrors[static_cast<size_t>(index)] : kUndefinedMessage;
}

std::string_view QuestionText(int index) {
  return IsQuestionIndex(index) ? kQuestions[static_cast<size_t>(index)] : kUndefinedMessage;
}

std::string FormatQuestion(int index, int number) {
  if (index != ask::kDeleteImageNo) return std::string(kUndefinedMessage);
  char buf[96];
  std::snprintf(buf, sizeof buf, "Are you sure you want to delete Image No.%d?", number);
  return buf;
}

std::optional<int> MessageForResult(int code) {
  switch (code) {
    case 1: case 2: case 11: case 12: case 13: case 14:
      return err::kTransferError;
    case 10: case 15: case 16:
      return err::kOpenComPort;
    case 17: case 20:
      return err::kCannotAccessCamera;
    case 30: case 31: case 32: case 33: case 40:
      return err::kDataError;
    case 90:
      return err::kCommandCannotExecute;
    case 91: case 93:
      return err::kCameraError;
    case 92:
      return err::kCameraMemoryFull;
    default:
      return std::nullopt;
  }
}

}  // namespace fq
