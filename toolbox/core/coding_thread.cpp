#include "core/coding_thread.hpp"

#include <pthread.h>
#include <signal.h>

#include <cstring>

#include "core/record_file.hpp"
#include "core/scratch_store.hpp"

namespace zatrel {

CodedLineStream::CodedLineStream(int fd) : source_(fd) {
  for (int b = 0; b < kBatches; ++b) {
    Batch& batch = batches_[static_cast<std::size_t>(b)];
    batch.bytes = std::make_unique_for_overwrite<char[]>(kBatchBytes);
    batch.entries.reserve(kBatchLines);
    free_.push(b);
  }
  // The caller's signal handlers keep running on the caller's thread: the
  // reading thread is born with every signal blocked.
  sigset_t all;
  sigset_t before;
  sigfillset(&all);
  pthread_sigmask(SIG_SETMASK, &all, &before);
  try {
    worker_ = std::thread([this] { read_and_code(); });
  } catch (...) {
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    throw;
  }
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

CodedLineStream::~CodedLineStream() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

int CodedLineStream::take(Queue& from) {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return stopping_ || from.count > 0; });
  return stopping_ ? -1 : from.pop();
}

void CodedLineStream::give(Queue& to, int b) {
  {
    const std::lock_guard lock(mutex_);
    to.push(b);
  }
  changed_.notify_all();
}

// The reading thread: fills free batches until the input ends.
void CodedLineStream::read_and_code() {
  for (bool more = true; more;) {
    const int b = take(free_);
    if (b < 0) return;
    Batch& batch = batches_[static_cast<std::size_t>(b)];
    try {
      more = fill(batch);
    } catch (...) {  // nothing here allocates; kept so that nothing is lost if it did
      batch.failure = std::current_exception();
      batch.last = true;
      more = false;
    }
    give(full_, b);
  }
}

// Lines until the batch is full or the input ends (then false). Every line
// leaves room for the longest coding, so coding never reaches past the end.
bool CodedLineStream::fill(Batch& batch) {
  batch.entries.clear();
  batch.last = false;
  batch.read_error = 0;
  batch.failure = nullptr;
  std::size_t used = 0;
  InputLine line;
  while (batch.entries.size() < kBatchLines && used + kRecordLength <= kBatchBytes) {
    if (!source_.next(line)) {
      batch.last = true;
      batch.read_error = source_.read_error();
      return false;
    }
    char* at = batch.bytes.get() + used;
    const bool coded = coded_as_read(line);
    std::size_t size = line.head.size();
    if (coded)
      size = static_cast<std::size_t>(code_line_as_read(line, at));
    else
      std::memcpy(at, line.head.data(), size);
    batch.entries.push_back(Entry{coded, static_cast<std::uint32_t>(used), static_cast<std::uint32_t>(size),
                                  line.length, line.significant});
    used += size;
  }
  return true;
}

bool CodedLineStream::next(HandedLine& out) {
  for (;;) {
    if (current_ >= 0) {
      Batch& batch = batches_[static_cast<std::size_t>(current_)];
      if (next_entry_ < batch.entries.size()) {
        const Entry& e = batch.entries[next_entry_++];
        out.coded = e.coded;
        out.bytes = std::string_view(batch.bytes.get() + e.offset, e.size);
        out.line.head = e.coded ? std::string_view() : out.bytes;
        out.line.length = e.length;
        out.line.significant = e.significant;
        return true;
      }
      const std::exception_ptr failure = batch.failure;
      if (batch.last) {
        ended_ = true;
        read_error_ = batch.read_error;
      }
      give(free_, current_);
      current_ = -1;
      if (failure) std::rethrow_exception(failure);
    }
    if (ended_) return false;
    current_ = take(full_);
    if (current_ < 0) return false;  // only while the stream is being destroyed
    next_entry_ = 0;
  }
}

}  // namespace zatrel
