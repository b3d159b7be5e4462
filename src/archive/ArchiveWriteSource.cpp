// The libzip source a new archive is written through: straight into the
// file it is given (the backup's own temporary file, noted before it was
// made and moved into place once whole). libzip's own file sources write
// through a temporary of their choosing beside the file, which a killed run
// would leave behind under a name the program never knew.
#include "archive/zipfs.h"

namespace ziplib::fs {

namespace {

struct Output {
  std::string path;
  bool existed = false;  // an empty file was there: it is left empty on failure
  Stream stream;
  std::uint64_t position = 0, end = 0;
  zip_error_t error{};
};

zip_int64_t Fail(Output& o, int code) {
  zip_error_set(&o.error, code, 0);
  return -1;
}

zip_int64_t Callback(void* state, void* data, zip_uint64_t len, zip_source_cmd_t cmd) {
  auto& o = *static_cast<Output*>(state);
  switch (cmd) {
    // Opened only to be replaced (the archive is created afresh): nothing
    // of the file is read.
    case ZIP_SOURCE_OPEN:
    case ZIP_SOURCE_CLOSE:
      return 0;
    case ZIP_SOURCE_READ:
      return 0;
    case ZIP_SOURCE_SEEK:
      return 0;
    case ZIP_SOURCE_TELL:
      return 0;
    case ZIP_SOURCE_STAT: {
      auto* st = ZIP_SOURCE_GET_ARGS(zip_stat_t, data, len, &o.error);
      if (!st) return -1;
      Item item;
      zip_stat_init(st);
      st->size = Stat(o.path, item) ? item.size : 0;
      st->valid |= ZIP_STAT_SIZE;
      return sizeof(*st);
    }
    case ZIP_SOURCE_BEGIN_WRITE:
      if (!o.stream.Create(o.path)) return Fail(o, ZIP_ER_OPEN);
      o.position = o.end = 0;
      return 0;
    case ZIP_SOURCE_WRITE:
      if (!o.stream.Write(data, static_cast<std::size_t>(len))) return Fail(o, ZIP_ER_WRITE);
      o.position += len;
      if (o.position > o.end) o.end = o.position;
      return static_cast<zip_int64_t>(len);
    case ZIP_SOURCE_SEEK_WRITE: {
      const zip_int64_t to = zip_source_seek_compute_offset(o.position, o.end, data, len, &o.error);
      if (to < 0) return -1;
      if (!o.stream.SeekTo(static_cast<std::uint64_t>(to))) return Fail(o, ZIP_ER_SEEK);
      o.position = static_cast<std::uint64_t>(to);
      return 0;
    }
    case ZIP_SOURCE_TELL_WRITE:
      return static_cast<zip_int64_t>(o.position);
    case ZIP_SOURCE_COMMIT_WRITE:
      return o.stream.Close() ? 0 : Fail(o, ZIP_ER_WRITE);
    case ZIP_SOURCE_ROLLBACK_WRITE:
      o.stream.Close();
      if (!o.existed) RemoveFile(o.path);
      else if (o.stream.Create(o.path)) o.stream.Close();
      return 0;
    case ZIP_SOURCE_REMOVE:
      o.stream.Close();
      return RemoveFile(o.path) ? 0 : Fail(o, ZIP_ER_REMOVE);
    case ZIP_SOURCE_ERROR:
      return zip_error_to_data(&o.error, data, len);
    case ZIP_SOURCE_FREE:
      delete &o;
      return 0;
    case ZIP_SOURCE_SUPPORTS:
      return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                            ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                            ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE,
                                            ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_COMMIT_WRITE,
                                            ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_REMOVE, ZIP_SOURCE_SUPPORTS, -1);
    default:
      return Fail(o, ZIP_ER_OPNOTSUPP);
  }
}

}  // namespace

zip_source_t* ArchiveSource(const std::string& path, zip_error_t* error) {
  Item item;
  const bool existed = Stat(path, item);
  if (existed && (item.folder || item.size > 0)) return ReplacingSource(path, error);
  auto* o = new Output;
  o->path = path;
  o->existed = existed;
  zip_source_t* src = zip_source_function_create(Callback, o, error);
  if (!src) delete o;
  return src;
}

}  // namespace ziplib::fs
