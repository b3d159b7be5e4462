// The files deflated on worker threads: each file's joined blocks must be one
// valid deflate stream of exactly its bytes, with the right CRC, whatever the
// sizes against the block size and however many workers there are.
#include "archive/DeflateAhead.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <chrono>
#include <random>
#include <thread>

#include "support/file_lock.h"
#include "support/sandbox.h"

using ziplib::DeflateAhead;

namespace {

constexpr std::size_t kBlock = DeflateAhead::kBlock;

// Text that repeats at distances of up to some tens of KB, so that matches
// reach back across block boundaries, with random stretches between.
std::string MailLike(std::size_t size, unsigned seed) {
  std::mt19937 rnd(seed);
  std::string out;
  while (out.size() < size) {
    if (rnd() % 5 == 0) {
      for (int i = 0; i < 300; ++i) out += static_cast<char>(rnd());
    } else {
      out += "Subject: meeting\r\nplease find the report attached, regards Anna\r\n" + std::to_string(rnd() % 1000);
    }
  }
  out.resize(size);
  return out;
}

std::string Inflate(const std::string& raw) {
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, -MAX_WBITS), Z_OK);
  std::string out;
  char buffer[65536];
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
  z.avail_in = static_cast<uInt>(raw.size());
  int r;
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    r = inflate(&z, Z_NO_FLUSH);
    out.append(buffer, sizeof buffer - z.avail_out);
  } while (r == Z_OK);
  EXPECT_EQ(r, Z_STREAM_END) << "the joined blocks are not one complete deflate stream";
  EXPECT_EQ(z.avail_in, 0u) << "bytes after the final block";
  inflateEnd(&z);
  return out;
}

// The file's compressed bytes in small pieces, as the writer asks; `n` the last answer (< 0: failed).
std::string ReadAll(DeflateAhead& ahead, std::size_t k, std::int64_t* last = nullptr) {
  std::string raw;
  char piece[3000];
  std::int64_t n;
  while ((n = ahead.Read(k, piece, sizeof piece)) > 0) raw.append(piece, static_cast<std::size_t>(n));
  if (last) *last = n;
  else EXPECT_EQ(n, 0);
  return raw;
}

class DeflateAheadTest : public ::testing::TestWithParam<unsigned> {
 protected:
  void SetUp() override { ziplib::fs::BeginRun(); }  // as every run of the library starts
  testsupport::Sandbox box;
};

TEST_P(DeflateAheadTest, EveryFileIsOneStreamOfItsBytesWithItsCrc) {
  const std::vector<std::size_t> sizes = {0, 1, kBlock - 1, kBlock, kBlock + 1, 3 * kBlock + 17, 40000, 5};
  std::vector<std::string> contents;
  std::vector<DeflateAhead::Input> paths;
  for (std::size_t i = 0; i < sizes.size(); ++i) {
    contents.push_back(MailLike(sizes[i], static_cast<unsigned>(i)));
    box.WriteFile("f" + std::to_string(i), contents.back());
    // Listed sizes that are off (a file that grew or shrank) change nothing.
    paths.push_back({box.Path("f" + std::to_string(i)), i % 3 == 0 ? sizes[i] : (i % 3 == 1 ? 0 : sizes[i] * 2)});
  }
  DeflateAhead ahead(paths, 6, GetParam());
  for (std::size_t k = 0; k < sizes.size(); ++k) {
    SCOPED_TRACE("file of " + std::to_string(sizes[k]) + " bytes");
    ASSERT_TRUE(ahead.Open(k));
    std::string raw = ReadAll(ahead, k);
    ASSERT_TRUE(ahead.Finished(k));
    EXPECT_EQ(Inflate(raw), contents[k]);
    EXPECT_EQ(ahead.SizeRead(k), sizes[k]);
    EXPECT_EQ(ahead.Crc(k), crc32(0L, reinterpret_cast<const Bytef*>(contents[k].data()),
                                  static_cast<uInt>(contents[k].size())));
    if (sizes[k] > 10000) { EXPECT_LT(raw.size(), sizes[k]); }  // it did compress
  }
}

// A file that cannot be read, or is not there, fails alone; a file is handed
// out once; a run given up mid-way (the writer cancelled) ends without
// waiting for its full queue; a file the writer skipped is dropped when a
// later one is opened.
TEST_P(DeflateAheadTest, UnreadableSkippedAndAbandonedFiles) {
  box.WriteFile("a", "first");
  box.WriteFile("b", MailLike(kBlock + 100, 7));
  box.WriteFile("c", "third");
  {
    testsupport::FileLock lock(box.Path("b"));
    ASSERT_TRUE(lock.ok());
    DeflateAhead ahead({{box.Path("a"), 5}, {box.Path("b"), kBlock + 100}, {box.Path("c"), 5}, {box.Path("gone"), 0}},
                       6, GetParam());
    ASSERT_TRUE(ahead.Open(0));
    EXPECT_EQ(Inflate(ReadAll(ahead, 0)), "first");
    // Held by someone else: refused at opening (Windows) or failing at the first read.
    if (ahead.Open(1)) {
      char piece[100];
      EXPECT_EQ(ahead.Read(1, piece, sizeof piece), -1);
    }
    ahead.Close(1);
    ASSERT_TRUE(ahead.Open(2));
    EXPECT_EQ(Inflate(ReadAll(ahead, 2)), "third");
    EXPECT_FALSE(ahead.Open(3));
    EXPECT_FALSE(ahead.Open(2)) << "a file is handed out once";
  }
  std::vector<DeflateAhead::Input> paths;
  for (int i = 0; i < 40; ++i) {
    box.WriteFile("m" + std::to_string(i), MailLike(kBlock / 2 + 1000 * i, i));
    paths.push_back({box.Path("m" + std::to_string(i)), kBlock / 2 + 1000 * i});
  }
  {
    DeflateAhead ahead(paths, 6, GetParam());
    ASSERT_TRUE(ahead.Open(0));
    char piece[10];
    EXPECT_EQ(ahead.Read(0, piece, sizeof piece), 10);
  }
  DeflateAhead ahead(paths, 6, GetParam());
  ASSERT_TRUE(ahead.Open(5));
  EXPECT_EQ(Inflate(ReadAll(ahead, 5)).size(), kBlock / 2 + 5000);
}

// A file whose size is not the listed one: a file that must keep its size
// (packed from where it lies) fails, grown or shrunk, small or in blocks;
// another is packed as it is now, unless it grew past what is held whole in
// memory. The next file follows either way.
TEST_P(DeflateAheadTest, FileThatChangedSinceItWasListed) {
  struct Case {
    std::size_t now, listed;
    bool fixedSize, fails;
  } cases[] = {
      {DeflateAhead::kMaxWhole + kBlock, 10, false, true}, {100, 10, false, false}, {100, 10, true, true},
      {10, 100, true, true}, {3 * kBlock, 2 * kBlock, true, true}, {2 * kBlock, 3 * kBlock, true, true},
      {2 * kBlock + 5, 2 * kBlock + 5, true, false},
  };
  box.WriteFile("next", "next");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.now) + " bytes listed as " + std::to_string(c.listed) + (c.fixedSize ? ", fixed" : ""));
    box.WriteFile("changed", MailLike(c.now, 3));
    DeflateAhead ahead({{box.Path("changed"), c.listed, c.fixedSize}, {box.Path("next"), 4}}, 6, GetParam());
    ASSERT_TRUE(ahead.Open(0));
    std::int64_t last = 0;
    std::string raw = ReadAll(ahead, 0, &last);
    EXPECT_EQ(last < 0, c.fails);
    if (!c.fails) { EXPECT_EQ(Inflate(raw).size(), c.now); }
    ahead.Close(0);
    ASSERT_TRUE(ahead.Open(1));
    EXPECT_EQ(Inflate(ReadAll(ahead, 1)), "next");
  }
}

// Workers that waited for room while the writer was held up all go back to
// work once it takes the blocks: the rest of a large file is shared, not
// left to the one worker that was woken first.
TEST_P(DeflateAheadTest, WorkersThatWaitedForRoomAllGoBackToWork) {
  if (GetParam() < 2) GTEST_SKIP() << "one worker";
  constexpr std::size_t kBlocks = 96;
  const std::string content = MailLike(kBlocks * kBlock, 7);
  box.WriteFile("big", content);
  DeflateAhead ahead({{box.Path("big"), content.size()}}, 6, GetParam());
  ASSERT_TRUE(ahead.Open(0));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the queue fills; every worker waits
  EXPECT_EQ(Inflate(ReadAll(ahead, 0)), content);
  for (std::size_t batches : ahead.BatchesByWorker()) EXPECT_GE(batches, kBlocks / GetParam() / 4);
}

INSTANTIATE_TEST_SUITE_P(Workers, DeflateAheadTest, ::testing::Values(1u, 3u));

}  // namespace
