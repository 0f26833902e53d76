#pragma once
// Owns one POSIX file descriptor and closes it when destroyed. Move-only; any thread that owns it.
namespace platform {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  // Gives up ownership without closing.
  int Release();
  // Closes the held descriptor (if any) and takes `fd`; returns false when close() reported an
  // error, which for a written file means the data may not have reached it.
  bool Reset(int fd = -1);

 private:
  int fd_ = -1;
};

}  // namespace platform
