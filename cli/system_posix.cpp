// The operating system on Linux and other POSIX systems.
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "cli/system.h"

namespace quillora::cli {

namespace {

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

class StandardOutput : public Output {
 public:
  // A reader that goes away shows as EPIPE instead of killing the process.
  StandardOutput() { ::signal(SIGPIPE, SIG_IGN); }
  Status Write(std::string_view bytes, bool) override {
    if (WriteAll(STDOUT_FILENO, bytes)) return Status::kOk;
    if (errno == EPIPE) return Status::kClosed;
    failure_ = std::string("cannot write to standard output: ") + std::strerror(errno);
    return Status::kFailed;
  }
  Status Commit() override { return Status::kOk; }
  std::string Failure() const override { return failure_; }

 private:
  std::string failure_;
};

// The temporary file of the one file output, for the handler below: an interrupted run
// (Ctrl+C, kill, a closed terminal) removes it, so nothing half written stays behind.
char g_temp_to_remove[4096];
volatile sig_atomic_t g_temp_armed = 0;

void RemoveTempAndDie(int sig) {
  if (g_temp_armed) ::unlink(g_temp_to_remove);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

void ArmTempRemoval(const std::string& temp) {
  if (temp.size() >= sizeof g_temp_to_remove) return;
  std::memcpy(g_temp_to_remove, temp.c_str(), temp.size() + 1);
  g_temp_armed = 1;
  for (const int sig : {SIGINT, SIGTERM, SIGHUP}) ::signal(sig, RemoveTempAndDie);
}

class FileOutput : public Output {
 public:
  FileOutput(std::string path, std::string temp, int fd)
      : path_(std::move(path)), temp_(std::move(temp)), fd_(fd) {
    ArmTempRemoval(temp_);
  }
  ~FileOutput() override {
    if (fd_ >= 0) ::close(fd_);
    if (!committed_) ::unlink(temp_.c_str());
    g_temp_armed = 0;
  }
  Status Write(std::string_view bytes, bool) override {
    if (WriteAll(fd_, bytes)) return Status::kOk;
    return Fail();
  }
  Status Commit() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return Fail();
    if (::rename(temp_.c_str(), path_.c_str()) != 0) return Fail();
    g_temp_armed = 0;  // the name is the user's file now
    committed_ = true;
    return Status::kOk;
  }
  std::string Failure() const override { return failure_; }

 private:
  Status Fail() {
    failure_ = "cannot write " + path_ + ": " + std::strerror(errno);
    return Status::kFailed;
  }
  std::string path_, temp_;
  int fd_;
  bool committed_ = false;
  std::string failure_;
};

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& reason) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return std::nullopt;
  }
  std::string content;
  char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      reason = std::strerror(errno);
      ::close(fd);
      return std::nullopt;
    }
    content.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return content;
}

bool PathExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

std::string ExecutableDirectory() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  const std::string path(buffer, static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool SystemRandom(std::uint64_t& value) {
  std::size_t got = 0;
  auto* bytes = reinterpret_cast<unsigned char*>(&value);
  while (got < sizeof value) {
    const ssize_t n = ::getrandom(bytes + got, sizeof value - got, 0);
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    got += static_cast<std::size_t>(n);
  }
  if (got == sizeof value) return true;
  // Kernels without getrandom: the device.
  const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::read(fd, &value, sizeof value) == static_cast<ssize_t>(sizeof value);
  ::close(fd);
  return ok;
}

void WriteError(std::string_view utf8) { WriteAll(STDERR_FILENO, utf8); }

std::unique_ptr<Output> OpenStandardOutput() { return std::make_unique<StandardOutput>(); }

std::unique_ptr<Output> OpenFileOutput(const std::string& path, std::string& reason) {
  std::string temp = path + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    reason = "cannot write " + path + ": " + std::strerror(errno);
    return nullptr;
  }
  // mkstemp makes the file private; give it the mode a plain new file would get.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, 0666 & ~mask);
  return std::make_unique<FileOutput>(path, temp, fd);
}

}  // namespace quillora::cli
