// A read-only libzip source over an archive file that reads ahead in blocks.
#include <algorithm>
#include <cstring>
#include <vector>

#include "archive/zipfs.h"

namespace ziplib::fs {

namespace {
constexpr std::size_t kBlock = 1024 * 1024;

struct ReadAhead {
  std::string path;
  Item item;
  Stream stream;
  std::vector<char> block;
  std::uint64_t blockStart = 0, position = 0;
  std::size_t blockLength = 0;
  zip_error_t error{};
};

zip_int64_t ReadAt(ReadAhead& r, char* out, zip_uint64_t len) {
  zip_uint64_t done = 0;
  while (done < len && r.position < r.item.size) {
    if (r.position < r.blockStart || r.position >= r.blockStart + r.blockLength) {
      if (!r.stream.SeekTo(r.position)) return -1;
      std::int64_t n = r.stream.Read(r.block.data(), r.block.size());
      if (n < 0) return -1;
      if (n == 0) break;
      r.blockStart = r.position;
      r.blockLength = static_cast<std::size_t>(n);
    }
    std::size_t at = static_cast<std::size_t>(r.position - r.blockStart);
    std::size_t take = std::min<std::size_t>(r.blockLength - at, static_cast<std::size_t>(len - done));
    std::memcpy(out + done, r.block.data() + at, take);
    done += take;
    r.position += take;
  }
  return static_cast<zip_int64_t>(done);
}

zip_int64_t Callback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto& r = *static_cast<ReadAhead*>(state);
  switch (cmd) {
    case ZIP_SOURCE_OPEN:
      if (!r.stream.OpenRead(r.path)) {
        zip_error_set(&r.error, ZIP_ER_OPEN, 0);
        return -1;
      }
      // Never more than the file: small archives are opened often.
      r.block.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, std::max<std::uint64_t>(r.item.size, 1))));
      r.position = r.blockStart = 0;
      r.blockLength = 0;
      return 0;
    case ZIP_SOURCE_READ: {
      zip_int64_t n = ReadAt(r, static_cast<char*>(data), len);
      if (n < 0) zip_error_set(&r.error, ZIP_ER_READ, 0);
      return n;
    }
    case ZIP_SOURCE_CLOSE:
      r.stream.Close();
      std::vector<char>().swap(r.block);
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &r.error);
      if (!st) return -1;
      zip_stat_init(st);
      st->size = r.item.size;
      st->mtime = r.item.mtime;
      st->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
      return sizeof(*st);
    }
    case ZIP_SOURCE_SEEK: {
      zip_int64_t to = zip_source_seek_compute_offset(r.position, r.item.size, data, len, &r.error);
      if (to < 0) return -1;
      r.position = static_cast<std::uint64_t>(to);
      return 0;
    }
    case ZIP_SOURCE_TELL:
      return static_cast<zip_int64_t>(r.position);
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&r.error, data, len);
    case ZIP_SOURCE_FREE:
      delete &r;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                            -1);
    default:
      zip_error_set(&r.error, ZIP_ER_OPNOTSUPP, 0);
      return -1;
  }
}
}  // namespace

zip_source_t* BufferedArchiveSource(const std::string& path, zip_error_t* error) {
  auto* r = new ReadAhead;
  r->path = path;
  if (!Stat(path, r->item) || r->item.folder) {
    delete r;
    zip_error_set(error, ZIP_ER_NOENT, 0);
    return nullptr;
  }
  zip_error_init(&r->error);
  zip_source_t* src = zip_source_function_create(Callback, r, error);
  if (!src) delete r;
  return src;
}

}  // namespace ziplib::fs
