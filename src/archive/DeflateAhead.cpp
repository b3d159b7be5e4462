// Deflating a run's files on worker threads, ahead of the archive writer.
#include "archive/DeflateAhead.h"

#include <algorithm>
#include <cstring>

#include <zlib.h>

namespace ziplib {

namespace {
constexpr std::size_t kWindow = 32 * 1024;
constexpr int kMemLevel = 9;  // as libzip's own compressor
}  // namespace

DeflateAhead::DeflateAhead(std::vector<Input> files, int level, unsigned workers)
    : inputs_(std::move(files)), level_(level), files_(inputs_.size()) {
  if (workers == 0) workers = std::max(1u, std::min(8u, std::thread::hardware_concurrency()));
  maxQueued_ = (2 * workers + 2) * kBlock;
  maxSpare_ = 2 * workers + 4;
  batches_.assign(workers, 0);
  for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this, i] { Work(i); });
}

DeflateAhead::~DeflateAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stop_ = true;
  }
  space_.notify_all();
  for (std::thread& t : threads_) t.join();
}

DeflateAhead::Buffer DeflateAhead::Spare(std::size_t size) {
  Buffer b;
  for (std::size_t i = spare_.size(); i-- > 0;) {
    if (spare_[i].capacity >= size) {
      b = std::move(spare_[i]);
      spare_.erase(spare_.begin() + static_cast<std::ptrdiff_t>(i));
      break;
    }
  }
  b.Reserve(size);
  b.size = 0;
  return b;
}

void DeflateAhead::GiveBack(Buffer& b) {
  if (b.capacity >= 64 * 1024 && spare_.size() < maxSpare_) spare_.push_back(std::move(b));
  b = Buffer();
}

std::shared_ptr<DeflateAhead::Block> DeflateAhead::NextBlock() {
  if (reading_ >= inputs_.size()) return nullptr;
  auto b = std::make_shared<Block>();
  b->file = reading_;
  if (!streamOpen_) {
    b->first = true;
    tail_.clear();
    readSoFar_ = 0;
    if (!stream_.OpenRead(inputs_[reading_].path)) {
      b->failed = b->last = b->openFailed = true;
      ++reading_;
      return b;
    }
    streamOpen_ = true;
  }
  // What is left as listed, and one byte more to see the end: a small
  // file takes a small buffer. One that grew goes on in whole blocks.
  std::uint64_t listed = inputs_[reading_].size;
  std::uint64_t left = listed > readSoFar_ ? listed - readSoFar_ : 0;
  std::size_t want = left == 0 && readSoFar_ > 0 ? kBlock
                                                  : static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, left + 1));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    b->input = Spare(want);
  }
  std::size_t got = 0;
  while (got < want) {
    std::int64_t n = stream_.Read(b->input.bytes.get() + got, want - got);
    if (n < 0) {
      b->failed = true;
      break;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  b->input.size = got;
  readSoFar_ += got;
  b->last = b->failed || got < want;
  if (b->last && inputs_[reading_].fixedSize && readSoFar_ != listed) b->failed = true;
  const unsigned char* in = b->input.bytes.get();
  if (!b->last || !b->first) {  // a file of one block needs no dictionary
    b->dictionary = tail_;
    if (got >= kWindow) {
      tail_.assign(in + got - kWindow, in + got);
    } else {
      tail_.insert(tail_.end(), in, in + got);
      if (tail_.size() > kWindow) tail_.erase(tail_.begin(), tail_.end() - kWindow);
    }
  }
  if (b->last) {
    stream_.Close();
    streamOpen_ = false;
    ++reading_;
  }
  return b;
}

void DeflateAhead::Claim(std::vector<std::shared_ptr<Block>>& batch) {
  std::size_t bytes = 0;
  while (batch.size() < kBatchFiles && bytes < kBlock && reading_ < inputs_.size()) {
    if (!streamOpen_ && inputs_[reading_].size < kBlock) {
      auto b = std::make_shared<Block>();
      b->file = reading_++;
      b->first = b->last = b->whole = true;
      bytes += static_cast<std::size_t>(inputs_[b->file].size) + 1;
      batch.push_back(std::move(b));
      continue;
    }
    if (batch.empty()) batch.push_back(NextBlock());  // a large file's block goes alone
    break;
  }
}

void DeflateAhead::ReadWhole(Block& b) {
  fs::Stream in;
  if (!in.OpenRead(inputs_[b.file].path)) {
    b.failed = b.openFailed = true;
    return;
  }
  std::size_t want = static_cast<std::size_t>(inputs_[b.file].size) + 1;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    b.input = Spare(want);
  }
  for (;;) {
    if (b.input.size == b.input.capacity) {  // it grew since it was listed
      if (b.input.capacity >= kMaxWhole || inputs_[b.file].fixedSize) {
        // Still growing: it is not held whole in memory; the file fails
        // as one that cannot be read, and the writer says so.
        b.failed = true;
        return;
      }
      Buffer larger;
      larger.Reserve(std::min(b.input.capacity * 2, kMaxWhole));
      std::memcpy(larger.bytes.get(), b.input.bytes.get(), b.input.size);
      larger.size = b.input.size;
      b.input = std::move(larger);
    }
    std::int64_t n = in.Read(b.input.bytes.get() + b.input.size, b.input.capacity - b.input.size);
    if (n < 0) {
      b.failed = true;
      return;
    }
    if (n == 0) {
      b.failed = inputs_[b.file].fixedSize && b.input.size != inputs_[b.file].size;  // it shrank
      return;
    }
    b.input.size += static_cast<std::size_t>(n);
  }
}

bool DeflateAhead::Compress(Block& b, void* stream) {
  auto* z = static_cast<z_stream*>(stream);
  if (deflateReset(z) != Z_OK) return false;
  if (!b.dictionary.empty() &&
      deflateSetDictionary(z, b.dictionary.data(), static_cast<uInt>(b.dictionary.size())) != Z_OK)
    return false;
  std::size_t inSize = b.input.size;
  b.length = inSize;
  b.crc = static_cast<std::uint32_t>(crc32(0L, b.input.bytes.get(), static_cast<uInt>(inSize)));
  std::size_t bound = deflateBound(z, static_cast<uLong>(inSize)) + 64;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    b.output = Spare(bound);
  }
  z->next_in = b.input.bytes.get();
  z->avail_in = static_cast<uInt>(inSize);
  z->next_out = b.output.bytes.get();
  z->avail_out = static_cast<uInt>(b.output.capacity);
  const int flush = b.last ? Z_FINISH : Z_SYNC_FLUSH;
  for (;;) {
    int r = deflate(z, flush);
    if (r == Z_STREAM_ERROR) return false;
    if (b.last ? r == Z_STREAM_END : (z->avail_in == 0 && z->avail_out > 0)) break;
    if (z->avail_out == 0) {  // beyond the bound: carry on in a larger buffer
      std::size_t used = b.output.capacity;
      Buffer larger;
      larger.Reserve(used + 64 * 1024);
      std::memcpy(larger.bytes.get(), b.output.bytes.get(), used);
      b.output = std::move(larger);
      z->next_out = b.output.bytes.get() + used;
      z->avail_out = static_cast<uInt>(b.output.capacity - used);
    } else if (r == Z_BUF_ERROR) {
      return false;
    }
  }
  b.output.size = b.output.capacity - z->avail_out;
  std::vector<unsigned char>().swap(b.dictionary);
  return true;
}

// A worker reads a batch (one block, or several small files up to a block's
// worth) and compresses it, then hands it over at once: under Wine every
// wake-up of another thread is a round trip to the server.
void DeflateAhead::Work(std::size_t worker) {
  z_stream z{};
  bool zOk = deflateInit2(&z, level_, Z_DEFLATED, -MAX_WBITS, kMemLevel, Z_DEFAULT_STRATEGY) == Z_OK;
  std::vector<std::shared_ptr<Block>> batch;
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      space_.wait(lock, [this] { return stop_ || readingDone_ || queuedBytes_ < maxQueued_; });
      if (stop_ || readingDone_) break;
    }
    batch.clear();
    {
      // Blocks join the queue in the order of the files and of their bytes.
      std::lock_guard<std::mutex> reading(readMutex_);
      Claim(batch);
      std::lock_guard<std::mutex> lock(mutex_);
      if (batch.empty()) readingDone_ = true;
      for (const auto& b : batch) {
        b->queued = b->whole ? static_cast<std::size_t>(inputs_[b->file].size) + 1 : b->input.size + 1;
        queuedBytes_ += b->queued;
        queue_.push_back(b);
      }
    }
    if (batch.empty()) {
      ready_.notify_all();  // a waiting reader learns that nothing more comes
      space_.notify_all();
      break;
    }
    for (const auto& b : batch) {
      if (b->whole) ReadWhole(*b);
      if (!b->failed) b->compressed = zOk && Compress(*b, &z);
    }
    bool wake;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ++batches_[worker];
      for (const auto& b : batch) {
        GiveBack(b->input);
        b->failed = !b->compressed;
        b->ready = true;
      }
      wake = readerWaiting_;
    }
    if (wake) ready_.notify_all();
  }
  if (zOk) deflateEnd(&z);
}

void DeflateAhead::Pop() {
  bool wasFull = queuedBytes_ >= maxQueued_;
  queuedBytes_ -= queue_.front()->queued;
  queue_.pop_front();
  // Every worker that waited for room goes back to work: woken one at a
  // time, the others slept on while the writer took the rest of the queue,
  // and one worker was left to compress the whole store.
  if (wasFull && queuedBytes_ < maxQueued_) space_.notify_all();
}

void DeflateAhead::Discard(std::size_t upTo) {
  while (!queue_.empty() && (queue_.front()->file < upTo || files_[queue_.front()->file].done)) Pop();
}

// Waits (with the lock held by `lock`) until `done` holds.
template <class Pred>
void DeflateAhead::WaitForBlocks(std::unique_lock<std::mutex>& lock, Pred done) {
  while (!done()) {
    readerWaiting_ = true;
    ready_.wait(lock);
    readerWaiting_ = false;
  }
}

bool DeflateAhead::Open(std::size_t k) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (k >= files_.size() || files_[k].done) return false;
  // Files before k that the writer skipped are dropped, also blocks of
  // theirs that are read only now.
  WaitForBlocks(lock, [&] {
    Discard(k);
    return (!queue_.empty() && queue_.front()->ready) || (readingDone_ && queue_.empty());
  });
  return !queue_.empty() && queue_.front()->file == k && !queue_.front()->openFailed;
}

std::int64_t DeflateAhead::Read(std::size_t k, void* out, std::size_t len) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (k >= files_.size()) return -1;
  auto* to = static_cast<unsigned char*>(out);
  std::size_t copied = 0;
  while (copied < len && !files_[k].done) {
    WaitForBlocks(lock, [&] { return (!queue_.empty() && queue_.front()->ready) || (readingDone_ && queue_.empty()); });
    if (queue_.empty() || queue_.front()->file != k) return -1;
    Block& b = *queue_.front();
    if (b.failed) return copied > 0 ? static_cast<std::int64_t>(copied) : -1;
    std::size_t take = std::min(len - copied, b.output.size - b.taken);
    std::memcpy(to + copied, b.output.bytes.get() + b.taken, take);
    b.taken += take;
    copied += take;
    if (b.taken == b.output.size) {
      FileState& f = files_[k];
      f.crc = b.first ? b.crc
                      : static_cast<std::uint32_t>(crc32_combine(f.crc, b.crc, static_cast<z_off_t>(b.length)));
      f.size = (b.first ? 0 : f.size) + b.length;
      f.done = b.last;
      GiveBack(b.output);
      Pop();
    }
  }
  return static_cast<std::int64_t>(copied);
}

std::vector<std::size_t> DeflateAhead::BatchesByWorker() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return batches_;
}

std::uint64_t DeflateAhead::SizeRead(std::size_t k) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return k < files_.size() ? files_[k].size : 0;
}

std::uint32_t DeflateAhead::Crc(std::size_t k) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return k < files_.size() ? files_[k].crc : 0;
}

bool DeflateAhead::Finished(std::size_t k) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return k < files_.size() && files_[k].done;
}

void DeflateAhead::Close(std::size_t k) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (k < files_.size()) Discard(k + 1);
}

}  // namespace ziplib
