// The text of a number while it is composed: a small buffer that never
// grows past its capacity (what does not fit is dropped).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace zatrel {

class NumberText {
 public:
  static constexpr int kCapacity = 96;

  int size() const noexcept { return n_; }
  bool empty() const noexcept { return n_ == 0; }
  std::string_view view() const noexcept { return {chars_.data(), static_cast<std::size_t>(n_)}; }
  // Characters from position `from` (0-based), at most count of them.
  std::string_view part(int from, int count = kCapacity) const noexcept {
    return view().substr(static_cast<std::size_t>(from), static_cast<std::size_t>(count));
  }
  char back() const noexcept { return n_ > 0 ? chars_.data()[n_ - 1] : '\0'; }
  // 0-based position of the character, -1 when absent.
  int find(char c) const noexcept {
    // A plain loop: these texts are too short for a library search to pay.
    for (int i = 0; i < n_; ++i)
      if (chars_.data()[i] == c) return i;
    return -1;
  }

  void push(char c) noexcept {
    if (n_ < kCapacity) chars_.data()[n_++] = c;
  }
  void append(std::string_view s) noexcept {
    for (char c : s) push(c);
  }
  void append_repeated(char c, int count) noexcept {
    for (int i = 0; i < count; ++i) push(c);
  }
  void append_int(long long value) noexcept;
  // Inserts count copies of c before position `at` (0-based).
  void insert(int at, char c, int count) noexcept;
  void resize(int n) noexcept {
    if (n >= 0 && n <= n_) n_ = n;
  }
  void assign(std::string_view s) noexcept {
    n_ = 0;
    append(s);
  }

 private:
  std::array<char, kCapacity> chars_{};
  int n_ = 0;
};

}  // namespace zatrel
