// The input's lines read and coded on a second thread, a batch at a time,
// while the calling thread files the batch before into the scratch store.
// The lines come out in order and exactly as LineSource and the line coder
// give them one by one; only the time they take overlaps.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "core/input_lines.hpp"

namespace zatrel {

// One line as handed over: coded, or as read when it must be shaped in the
// line buffer first (see coded_as_read).
struct HandedLine {
  bool coded = false;
  std::string_view bytes;  // the coded line, or the head of the line as read
  InputLine line;          // as read; its head is empty when coded
};

class CodedLineStream {
 public:
  // Starts reading fd. The descriptor must stay open until the stream is gone.
  explicit CodedLineStream(int fd);
  // Stops the reading thread, wherever it is, and waits for it.
  ~CodedLineStream();
  CodedLineStream(const CodedLineStream&) = delete;
  CodedLineStream& operator=(const CodedLineStream&) = delete;

  // The next line, valid until the next call; false at the end of the input.
  // Rethrows what the reading thread met, other than a failed read.
  bool next(HandedLine& out);

  // The errno of the read that ended the input, 0 if none did.
  int read_error() const { return read_error_; }

 private:
  static constexpr int kBatches = 4;
  static constexpr std::size_t kBatchBytes = std::size_t{1} << 18;
  static constexpr std::size_t kBatchLines = 8192;

  struct Entry {
    bool coded;
    std::uint32_t offset;
    std::uint32_t size;
    std::int64_t length;
    std::int64_t significant;
  };
  struct Batch {
    std::unique_ptr<char[]> bytes;  // touched only as far as filled
    std::vector<Entry> entries;
    bool last = false;  // nothing follows
    int read_error = 0;
    std::exception_ptr failure;
  };

  // A ring of batch numbers, guarded by the stream's mutex.
  struct Queue {
    std::array<int, kBatches> slots{};
    int first = 0;
    int count = 0;
    void push(int b) {
      slots[static_cast<std::size_t>((first + count) % kBatches)] = b;
      ++count;
    }
    int pop() {
      const int b = slots[static_cast<std::size_t>(first)];
      first = (first + 1) % kBatches;
      --count;
      return b;
    }
  };

  void read_and_code();
  bool fill(Batch& batch);
  int take(Queue& from);  // -1 once stopping
  void give(Queue& to, int b);
  bool next_batch();

  LineSource source_;
  std::array<Batch, kBatches> batches_;
  std::mutex mutex_;
  std::condition_variable changed_;
  Queue free_;
  Queue full_;
  bool stopping_ = false;

  // The calling thread's side.
  int current_ = -1;
  std::size_t next_entry_ = 0;
  bool ended_ = false;
  int read_error_ = 0;

  std::thread worker_;  // last: started once everything above exists
};

}  // namespace zatrel
