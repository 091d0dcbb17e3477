#ifndef _WIN32
#include "camera/posix_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include "camera/link_codes.h"

namespace fq::cam {
namespace {

speed_t SpeedConstant(uint32_t bps) {
  switch (bps) {
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    default: return B0;
  }
}

// Writes may take 5 ms per byte plus 4 s, as on the Windows port.
int WriteBudgetMillis(size_t n) { return static_cast<int>(5 * n + 4000); }

}  // namespace

int PosixPort::Open(const std::string& name) {
  Close();
  fd_ = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return rc::kPortOpen;
  termios t{};
  if (tcgetattr(fd_, &t) != 0) {
    Close();
    return rc::kStateRead;
  }
  // Raw bytes, 8 data bits, no parity, one stop bit, no software flow
  // control; reads return at once with whatever is queued. Hardware
  // handshake stays off: termios cannot ask for RTS handshake without also
  // holding output on CTS, which a cable without modem lines never raises.
  cfmakeraw(&t);
  t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB | CRTSCTS | HUPCL);
  t.c_cflag |= CS8 | CLOCAL | CREAD;
  t.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY | INPCK);
  t.c_cc[VMIN] = 0;
  t.c_cc[VTIME] = 0;
  if (cfsetspeed(&t, B9600) != 0 || tcsetattr(fd_, TCSANOW, &t) != 0) {
    Close();
    return rc::kStateSet;
  }
  return rc::kOk;
}

int PosixPort::SetSpeed(uint32_t bps) {
  termios t{};
  if (fd_ < 0 || tcgetattr(fd_, &t) != 0) return rc::kStateRead;
  speed_t s = SpeedConstant(bps);
  if (s == B0 || cfsetspeed(&t, s) != 0 || tcsetattr(fd_, TCSADRAIN, &t) != 0) return rc::kStateSet;
  return rc::kOk;
}

bool PosixPort::Purge() { return fd_ >= 0 && tcflush(fd_, TCIOFLUSH) == 0; }

size_t PosixPort::Write(const uint8_t* data, size_t n) {
  if (fd_ < 0) return 0;
  timespec start{};
  clock_gettime(CLOCK_MONOTONIC, &start);
  const int budget = WriteBudgetMillis(n);
  size_t done = 0;
  while (done < n) {
    ssize_t k = ::write(fd_, data + done, n - done);
    if (k > 0) {
      done += static_cast<size_t>(k);
      continue;
    }
    if (k < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) break;
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    long passed = (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
    if (passed >= budget) break;
    pollfd p{fd_, POLLOUT, 0};
    ::poll(&p, 1, static_cast<int>(budget - passed));
  }
  return done;
}

bool PosixPort::Status(LineStatus& status) {
  int queued = 0;
  if (fd_ < 0 || ioctl(fd_, FIONREAD, &queued) != 0) return false;
  status.queued = queued > 0 ? static_cast<size_t>(queued) : 0;
  status.overrun = false;  // not reported through termios
  status.overflow = false;
  return true;
}

size_t PosixPort::Read(uint8_t* data, size_t n) {
  if (fd_ < 0) return 0;
  size_t done = 0;
  while (done < n) {
    ssize_t k = ::read(fd_, data + done, n - done);
    if (k > 0) {
      done += static_cast<size_t>(k);
    } else if (k < 0 && errno == EINTR) {
      continue;
    } else {
      break;
    }
  }
  return done;
}

bool PosixPort::WaitForInput(uint64_t micros) {
  if (fd_ < 0) return false;
  pollfd p{fd_, POLLIN, 0};
  timespec ts{static_cast<time_t>(micros / 1000000), static_cast<long>(micros % 1000000) * 1000};
  return ::ppoll(&p, 1, &ts, nullptr) > 0;
}

void PosixPort::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace fq::cam
#endif
