#include "camera/win/win32_port.h"

#include <algorithm>
#include <string>

#include "camera/camera_link.h"
#include "camera/link_codes.h"

namespace fq::win {
namespace {

constexpr DWORD kQueueBytes = 6000;
constexpr DWORD kWriteMsPerByte = 5;
constexpr DWORD kWriteMsConstant = 4000;
constexpr WORD kPropertiesPacketLength = 62;
constexpr DWORD kSerialPropertiesVersion = 2;

HANDLE OpenDevice(const std::string& name) {
  std::string path = name.rfind("\\\\.\\", 0) == 0 ? name : "\\\\.\\" + name;
  return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int Win32Port::Open(const std::string& name) {
  Close();
  handle_ = OpenDevice(name);
  if (handle_ == INVALID_HANDLE_VALUE) return cam::rc::kPortOpen;
  int code = cam::rc::kOk;
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  COMMTIMEOUTS timeouts{};
  if (!SetupComm(handle_, kQueueBytes, kQueueBytes)) {
    code = cam::rc::kQueueSizes;
  } else if (!GetCommState(handle_, &dcb)) {
    code = cam::rc::kStateRead;
  } else {
    dcb.BaudRate = CBR_9600;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    dcb.fAbortOnError = FALSE;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    if (!SetCommState(handle_, &dcb)) {
      code = cam::rc::kStateSet;
    } else {
      timeouts.ReadIntervalTimeout = MAXDWORD;  // reads return at once
      timeouts.ReadTotalTimeoutMultiplier = 0;
      timeouts.ReadTotalTimeoutConstant = 0;
      timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
      timeouts.WriteTotalTimeoutConstant = kWriteMsConstant;
      if (!SetCommTimeouts(handle_, &timeouts)) code = cam::rc::kTimeouts;
    }
  }
  if (code != cam::rc::kOk) Close();
  return code;
}

int Win32Port::SetSpeed(uint32_t bps) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!IsOpen() || !GetCommState(handle_, &dcb)) return cam::rc::kStateRead;
  dcb.BaudRate = bps;
  return SetCommState(handle_, &dcb) ? cam::rc::kOk : cam::rc::kStateSet;
}

bool Win32Port::Purge() {
  return IsOpen() &&
         PurgeComm(handle_, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
}

size_t Win32Port::Write(const uint8_t* data, size_t n) {
  DWORD written = 0;
  if (!IsOpen() || !WriteFile(handle_, data, static_cast<DWORD>(n), &written, nullptr)) return 0;
  return written;
}

bool Win32Port::Status(cam::LineStatus& status) {
  DWORD errors = 0;
  COMSTAT stat{};
  if (!IsOpen() || !ClearCommError(handle_, &errors, &stat)) return false;
  status.queued = stat.cbInQue;
  status.overrun = (errors & CE_OVERRUN) != 0;
  status.overflow = (errors & CE_RXOVER) != 0;
  return true;
}

size_t Win32Port::Read(uint8_t* data, size_t n) {
  DWORD got = 0;
  if (!IsOpen() || !ReadFile(handle_, data, static_cast<DWORD>(n), &got, nullptr)) return 0;
  return got;
}

bool Win32Port::WaitForInput(uint64_t micros) {
  cam::LineStatus status;
  if (Status(status) && status.queued) return true;
  // The driver offers no wait here without overlapped input; a short
  // message wait keeps the windows answering and the thread idle. Input
  // does not end it, so it lasts one poll at most, however long the caller
  // would wait.
  micros = std::min<uint64_t>(micros, cam::kReceivePollMicros);
  DWORD ms = static_cast<DWORD>((micros + 999) / 1000);
  MsgWaitForMultipleObjects(0, nullptr, FALSE, ms ? ms : 1, QS_ALLINPUT);
  return Status(status) && status.queued;
}

void Win32Port::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

DWORD ProbePortSpeeds(const char* port_name) {
  HANDLE h = OpenDevice(port_name);
  if (h == INVALID_HANDLE_VALUE) return 0;
  COMMPROP props{};
  props.wPacketLength = kPropertiesPacketLength;
  DWORD mask = 0;
  if (GetCommProperties(h, &props))
    mask = props.wPacketVersion == kSerialPropertiesVersion ? props.dwSettableBaud
                                                            : static_cast<DWORD>(-1);
  CloseHandle(h);
  return mask;
}

}  // namespace fq::win
