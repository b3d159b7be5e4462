#pragma once
// Compresses the files of one packing run ahead of the archive writer, on
// worker threads, while libzip writes (and encrypts) what is ready.
//
// Each file is cut into blocks that are deflated independently and joined
// into one raw deflate stream: every block but the file's last ends on a
// byte boundary without the final-block bit (a sync flush), and each block
// starts with the 32 KB before it as its dictionary, so the joined stream is
// what one compressor would have written, give or take a few bytes per block.
// The CRC of the file is combined from the blocks' CRCs.
//
// At most a fixed number of blocks are in flight, whatever the files' sizes.
// The consumer takes the files in the order they were given, each once.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "archive/zipfs.h"

namespace ziplib {

class DeflateAhead {
 public:
  struct Input {
    std::string path;
    std::uint64_t size = 0;  // as listed; the file may have changed since
    // A file that must be read at its listed size: one that has grown or
    // shrunk fails as a file that cannot be read.
    bool fixedSize = false;
  };
  // `workers` 0: one per processor (at most 8).
  DeflateAhead(std::vector<Input> files, int level, unsigned workers = 0);
  ~DeflateAhead();
  DeflateAhead(const DeflateAhead&) = delete;
  DeflateAhead& operator=(const DeflateAhead&) = delete;

  // Waits until file `k` (the next one in order) is open; false when it
  // could not be opened (or `k` is not the next file).
  bool Open(std::size_t k);
  // Next bytes of file k's deflate stream: how many were copied into `out`,
  // 0 at its end, -1 when the file could not be read.
  std::int64_t Read(std::size_t k, void* out, std::size_t len);
  // The uncompressed bytes of file k taken so far (all of them once Read
  // gave 0), and, once Read gave 0, their CRC-32.
  std::uint64_t SizeRead(std::size_t k) const;
  std::uint32_t Crc(std::size_t k) const;
  bool Finished(std::size_t k) const;
  // Drops what is left of file k (the writer gave up on it).
  void Close(std::size_t k);

  // How many blocks or batches each worker has compressed so far: both
  // should share the work of a large file.
  std::vector<std::size_t> BatchesByWorker() const;

  static constexpr std::size_t kBlock = 256 * 1024;
  static constexpr std::size_t kBatchFiles = 16;
  // A file listed as smaller than a block is read whole by its worker; one
  // that has grown past this since it was listed fails.
  static constexpr std::size_t kMaxWhole = 4 * kBlock;

 private:
  // Bytes without the zero-filling of a vector: a block's buffers are
  // written before they are read, and reused from block to block (each
  // fresh large allocation would be a mapping of its own under Wine).
  struct Buffer {
    std::unique_ptr<unsigned char[]> bytes;
    std::size_t capacity = 0, size = 0;
    void Reserve(std::size_t n) {
      if (capacity < n) {
        bytes.reset(new unsigned char[n]);
        capacity = n;
      }
    }
  };
  struct Block {
    std::size_t file = 0;
    bool first = false, last = false, failed = false, openFailed = false, ready = false;
    bool compressed = false;                // by the worker, before `ready`
    bool whole = false;                     // a small file, read by its worker
    std::size_t queued = 0;                 // counted against maxQueued_
    Buffer input;                           // given back once compressed
    std::vector<unsigned char> dictionary;  // up to 32 KB before the block
    Buffer output;
    std::size_t taken = 0;                  // bytes of output handed out
    std::uint32_t crc = 0;
    std::uint64_t length = 0;
  };
  struct FileState {
    bool done = false;
    std::uint64_t size = 0;
    std::uint32_t crc = 0;
  };

  void Work(std::size_t worker);
  // Reads the next block (under readMutex_); null when every file is read.
  std::shared_ptr<Block> NextBlock();
  // Takes the next files for one worker (under readMutex_): several small
  // files, read later without the lock, or one block of a large file.
  void Claim(std::vector<std::shared_ptr<Block>>& batch);
  void ReadWhole(Block& b);
  bool Compress(Block& b, void* stream);
  Buffer Spare(std::size_t size);  // under mutex_
  void GiveBack(Buffer& b);        // under mutex_
  // Drops blocks of files before `upTo` and of files that are over.
  void Discard(std::size_t upTo);  // under mutex_
  void Pop();                      // under mutex_
  template <class Pred>
  void WaitForBlocks(std::unique_lock<std::mutex>& lock, Pred done);

  std::vector<Input> inputs_;
  std::vector<Buffer> spare_;
  std::size_t maxSpare_ = 0;
  int level_;
  mutable std::mutex mutex_;
  std::condition_variable space_;  // workers wait for room in the queue
  std::condition_variable ready_;  // the writer waits for blocks
  bool readerWaiting_ = false;
  std::deque<std::shared_ptr<Block>> queue_;  // in file and block order
  std::vector<FileState> files_;
  std::size_t queuedBytes_ = 0, maxQueued_ = 0;  // read and not yet handed out
  // The reading position, under readMutex_ (taken before mutex_).
  std::mutex readMutex_;
  bool readingDone_ = false;  // under mutex_
  std::size_t reading_ = 0;  // index of the file being read
  std::uint64_t readSoFar_ = 0;  // of that file
  fs::Stream stream_;
  bool streamOpen_ = false, streamStarted_ = false;
  std::vector<unsigned char> tail_;  // last 32 KB read of the current file
  bool stop_ = false;
  std::vector<std::size_t> batches_;  // per worker, under mutex_
  std::vector<std::thread> threads_;
};

}  // namespace ziplib
