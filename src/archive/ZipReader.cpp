// The unzip library: Wiz_SingleEntryUnzip over libzip. Lists an archive or
// extracts its entries below one folder, never outside it; an entry that
// fails leaves no file behind and an earlier file of its name untouched.
#include <cstring>
#include <ctime>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <random>
#include <set>
#include <thread>
#include <string>
#include <unordered_map>
#include <vector>

#include "archive/EntryNames.h"
#include "archive/textcodes.h"
#include "archive/ziplib.h"
#include "archive/zipfs.h"

namespace ziplib {

namespace {
constexpr std::size_t kChunk = 256 * 1024;

// What the threads of the run share (one run at a time, as the owner's
// callbacks are): the bytes of entries read so far, and whether the owner
// asked to stop, which gives up the entries being read.
std::atomic<std::uint64_t> g_bytesRead{0};
std::atomic<bool> g_stopping{false};

void CountRead(zip_int64_t n) {
  if (n > 0) g_bytesRead += static_cast<std::uint64_t>(n);
}

// The owner's tick, on the calling thread only (the workers have none), at
// most every 50 ms; the first one as soon as the run reads.
thread_local UzTickFn t_tick = nullptr;
thread_local std::chrono::steady_clock::time_point t_lastTick;
constexpr std::chrono::milliseconds kTickEvery{50};

void Tick() {
  if (!t_tick) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - t_lastTick < kTickEvery) return;
  t_lastTick = now;
  if (t_tick(g_bytesRead.load()) != 0) g_stopping = true;
}

struct TickScope {
  explicit TickScope(UzTickFn tick) {
    t_tick = tick;
    t_lastTick = {};
    g_bytesRead = 0;
    g_stopping = false;
  }
  ~TickScope() { t_tick = nullptr; }
};
constexpr int kPasswordTries = 3;
constexpr std::size_t kPasswordSize = 256;

// The password as the entry's cipher was keyed with it.
std::string KeyFor(zip_t* za, zip_uint64_t i, const std::string& password) {
  zip_stat_t st;
  const bool aes = zip_stat_index(za, i, 0, &st) == 0 &&
                   (st.encryption_method == ZIP_EM_AES_128 || st.encryption_method == ZIP_EM_AES_192 ||
                    st.encryption_method == ZIP_EM_AES_256);
  return CipherKey(password, aes);
}

zip_file_t* OpenEncrypted(zip_t* za, zip_uint64_t i, const std::string& password) {
  return zip_fopen_index_encrypted(za, i, 0, KeyFor(za, i, password).c_str());
}

// What a run knows of the folders it extracts into: each is read once and
// kept up to date, so that finding whether a file is there costs no call
// (under Wine every look-up of a name that is not there reads the folder).
// Names are compared without regard to letter case; a name it misses is
// still caught when the file is created.
class FolderIndex {
 public:
  enum What { kNothing, kFile, kFolder };
  What Lookup(const std::string& path) {
    std::string folder, leaf;
    if (!Split(path, folder, leaf)) return Stat(path);
    Names* names = Load(folder);
    if (!names) return kNothing;
    auto it = names->find(Folded(leaf));
    return it == names->end() ? kNothing : it->second ? kFolder : kFile;
  }
  void Added(const std::string& path, bool folder) {
    std::string parent, leaf;
    if (!Split(path, parent, leaf)) return;
    auto found = folders_.find(Folded(parent));
    if (found != folders_.end()) found->second[Folded(leaf)] = folder;
    if (folder) folders_.emplace(Folded(path), Names());  // made by this run: empty
  }

 private:
  using Names = std::map<std::string, bool>;  // folded name -> is a folder
  static std::string Folded(const std::string& s) { return FoldedName(s); }
  static bool Split(const std::string& path, std::string& folder, std::string& leaf) {
    std::size_t cut = path.find_last_of('\\');
    if (cut == std::string::npos || cut + 1 >= path.size()) return false;
    folder = path.substr(0, cut);
    leaf = path.substr(cut + 1);
    return !folder.empty() && folder.back() != ':';  // a drive's root is looked up as it is
  }
  static What Stat(const std::string& path) {
    fs::Item it;
    return !fs::Stat(path, it) ? kNothing : it.folder ? kFolder : kFile;
  }
  Names* Load(const std::string& folder) {
    auto found = folders_.find(Folded(folder));
    if (found != folders_.end()) return &found->second;
    std::vector<fs::Item> items;
    if (!fs::List(folder, items)) return nullptr;
    Names& names = folders_[Folded(folder)];
    for (const fs::Item& it : items) names[Folded(it.name)] = it.folder;
    return &names;
  }
  std::map<std::string, Names> folders_;
};

// kUnreadable: the entry's data did not read back (damage, or a wrong
// password that passed the one-byte check in the entry's header); kFailed:
// its file could not be made or written; kNotOpened: a worker could not open
// the entry (its password, or damage), which the calling thread then tries
// again where the owner can be asked.
enum class Outcome { kExtracted, kKept, kFailed, kUnreadable, kAsk, kNotOpened };

Outcome Inflate(std::vector<char>& buffer, zip_file_t* zf, const std::string& target, std::time_t mtime,
                std::uint64_t size, bool there);
bool ReadsBack(std::vector<char>& buffer, zip_file_t* zf, std::uint64_t size);

// Extracts entries on worker threads, each with its own handle on the
// archive, so that decompressing, decrypting and creating files overlap.
// Everything that talks to the owner stays on the calling thread.
class ExtractPool {
 public:
  struct Job {
    zip_uint64_t index = 0;
    std::string name, target, password;
    std::time_t mtime = 0;
    std::uint64_t size = 0;  // as the archive declares it
    bool there = false, encrypted = false, test = false;
  };
  struct Done {
    Job job;
    Outcome outcome = Outcome::kFailed;
  };

  ExtractPool(std::string archive, unsigned workers) : archive_(std::move(archive)) {
    for (unsigned k = 0; k < workers; ++k) threads_.emplace_back([this] { Work(); });
  }
  ~ExtractPool() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    for (std::thread& t : threads_) t.join();
  }
  ExtractPool(const ExtractPool&) = delete;
  ExtractPool& operator=(const ExtractPool&) = delete;

  void Add(Job job) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      pending_.insert(FoldedName(job.target));
      jobs_.push_back(std::move(job));
      ++outstanding_;
    }
    work_.notify_one();
  }
  bool Pending(const std::string& target) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pending_.count(FoldedName(target)) > 0;
  }
  // Waits for every entry handed over so far; what became of them.
  std::vector<Done> Drain() {
    Tick();
    std::unique_lock<std::mutex> lock(mutex_);
    while (!idle_.wait_for(lock, kTickEvery, [this] { return outstanding_ == 0; })) {
      lock.unlock();
      Tick();
      lock.lock();
    }
    pending_.clear();
    std::vector<Done> out;
    out.swap(done_);
    return out;
  }

 private:
  void Work() {
    zip_t* za = nullptr;
    std::vector<char> buffer(kChunk);
    for (;;) {
      Job job;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        work_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) break;
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      Done done;
      if (g_stopping) done.job = std::move(job);  // given up: nothing of it is made
      else done = Extract(job, za, buffer);
      {
        std::lock_guard<std::mutex> lock(mutex_);
        done_.push_back(std::move(done));
        if (--outstanding_ == 0) idle_.notify_all();
      }
    }
    if (za) zip_discard(za);
  }

  Done Extract(Job& job, zip_t*& za, std::vector<char>& buffer) {
    Done done;
    if (!za) {
      zip_error_t err;
      zip_error_init(&err);
      zip_source_t* src = fs::BufferedArchiveSource(archive_, &err);
      za = src ? zip_open_from_source(src, ZIP_RDONLY, &err) : nullptr;
      if (!za && src) zip_source_free(src);
      zip_error_fini(&err);
    }
    zip_file_t* zf = !za ? nullptr
                         : job.encrypted ? OpenEncrypted(za, job.index, job.password) : zip_fopen_index(za, job.index, 0);
    if (!zf) {
      done.outcome = Outcome::kNotOpened;
    } else {
      done.outcome = job.test ? (ReadsBack(buffer, zf, job.size) ? Outcome::kExtracted : Outcome::kUnreadable)
                              : Inflate(buffer, zf, job.target, job.mtime, job.size, job.there);
      zip_fclose(zf);
    }
    done.job = std::move(job);
    return done;
  }

  const std::string archive_;
  mutable std::mutex mutex_;
  std::condition_variable work_, idle_;
  std::deque<Job> jobs_;
  std::vector<Done> done_;
  std::set<std::string> pending_;  // folded targets handed over, not yet drained
  std::size_t outstanding_ = 0;
  bool stop_ = false;
  std::vector<std::thread> threads_;
};

struct Run {
  zip_t* za = nullptr;
  FolderIndex index;
  std::unique_ptr<ExtractPool> pool;  // none: extract on the calling thread
  const UzOptions* options = nullptr;
  UzCallbacks* cb = nullptr;
  std::string folder;  // ends in "\"
  std::string password;
  bool havePassword = false;
  bool passwordRefused = false;
  int replaceMode = 0;  // 0 ask, kUzReplaceAll, kUzReplaceNone
  int refused = 0, damaged = 0, badPassword = 0, extracted = 0;
  // Encrypted entries that did not read back although their header took the
  // password: a wrong password unless another encrypted entry read back
  // with it, in which case they are damaged.
  int unreadableEncrypted = 0;
  bool passwordConfirmed = false;
  bool aborted = false;
  std::vector<char> buffer;
};

void Print(const Run& run, const std::string& text) {
  if (run.cb->print) run.cb->print(text.c_str(), static_cast<unsigned long>(text.size()));
}

std::string WithBackslashes(std::string s) {
  for (char& c : s)
    if (c == '/') c = '\\';
  return s;
}

void ReportComment(Run& run) {
  run.cb->commentLength = 0;
  int len = 0;
  const char* raw = zip_get_archive_comment(run.za, &len, ZIP_FL_ENC_RAW);
  std::string comment = raw && len > 0 ? std::string(raw, static_cast<std::size_t>(len)) : std::string();
  if (!IsAscii(comment) && IsUtf8(comment)) comment = Utf8ToAnsi(comment);
  if (!run.cb->commentBuffer || run.cb->commentBufferSize == 0) return;
  std::size_t n = comment.size() < run.cb->commentBufferSize - 1 ? comment.size() : run.cb->commentBufferSize - 1;
  std::memcpy(run.cb->commentBuffer, comment.data(), n);
  run.cb->commentBuffer[n] = '\0';
  run.cb->commentLength = static_cast<unsigned long>(n);
}

void List(Run& run, zip_uint64_t i, const std::string& name) {
  zip_stat_t st;
  if (!run.cb->listing || zip_stat_index(run.za, i, 0, &st) != 0) return;
  std::tm when{};
  std::time_t t = st.mtime;
#ifdef _WIN32
  if (std::tm* p = std::localtime(&t)) when = *p;
#else
  localtime_r(&t, &when);
#endif
  UzListEntry e{};
  e.size = st.size;
  e.compressed = st.comp_size;
  e.factor = st.size == 0 || st.comp_size >= st.size ? 0 : static_cast<int>(100 - st.comp_size * 100 / st.size);
  e.month = when.tm_mon + 1;
  e.day = when.tm_mday;
  e.year = when.tm_year + 1900;
  e.hour = when.tm_hour;
  e.minute = when.tm_min;
  e.name = name.c_str();
  std::string method = MethodName(st.comp_method, 0);
  e.method = method.c_str();
  e.crc = st.crc;
  const bool aes = st.encryption_method == ZIP_EM_AES_128 || st.encryption_method == ZIP_EM_AES_192 ||
                   st.encryption_method == ZIP_EM_AES_256;
  e.encrypted = aes ? 'A' : st.encryption_method != ZIP_EM_NONE ? 'E' : ' ';
  run.cb->listing(&e);
}

// Whether libzip can decrypt the entry (or need not). An entry encrypted by
// a method it has no decoder for is never opened: libzip 1.7 keeps the memory
// of every such attempt.
bool Decryptable(const zip_stat_t& st) {
  return st.encryption_method == ZIP_EM_NONE || zip_encryption_method_supported(st.encryption_method, 0);
}

// Reads an entry to its end, keeping nothing; libzip checks the CRC there,
// and the entry must hold as many bytes as the archive declares.
bool ReadsBack(std::vector<char>& buffer, zip_file_t* zf, std::uint64_t size) {
  std::uint64_t total = 0;
  for (;;) {
    zip_int64_t n = zip_fread(zf, buffer.data(), buffer.size());
    CountRead(n);
    Tick();
    if (n < 0 || g_stopping) return false;
    if (n == 0) return total == size;
    total += static_cast<std::uint64_t>(n);
    if (total > size) return false;
  }
}

// Whether a password offered for the archive is the right one. The check
// byte in an entry's header lets one wrong password in 256 through, so the
// smallest encrypted entries are read back with it: one that reads back with
// the right CRC proves the password, a header that refuses it disproves it.
// When every one tried takes the password but none reads back, the password
// is taken as wrong (the same bytes from damage in all of them are far less
// likely). Entries too large to read twice prove nothing here; their
// outcome is judged at the end of the run.
bool PasswordFits(Run& run, const std::string& password) {
  constexpr std::size_t kCandidates = 3;
  constexpr zip_uint64_t kLargest = 4 * 1024 * 1024;
  std::vector<std::pair<zip_uint64_t, zip_uint64_t>> small;  // size, index
  zip_int64_t entries = zip_get_num_entries(run.za, 0);
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(entries); ++i) {
    zip_stat_t st;
    if (zip_stat_index(run.za, i, 0, &st) != 0 || st.encryption_method == ZIP_EM_NONE || !Decryptable(st)) continue;
    if ((st.valid & ZIP_STAT_SIZE) && st.size <= kLargest) small.emplace_back(st.size, i);
  }
  std::sort(small.begin(), small.end());
  if (small.size() > kCandidates) small.resize(kCandidates);
  std::vector<char> buffer(kChunk);
  bool tried = false;
  for (const auto& candidate : small) {
    zip_file_t* zf = OpenEncrypted(run.za, candidate.second, password);
    if (!zf) {
      const bool wrong = zip_error_code_zip(zip_get_error(run.za)) == ZIP_ER_WRONGPASSWD;
      zip_error_clear(run.za);
      if (wrong) return false;
      continue;
    }
    tried = true;
    const bool ok = ReadsBack(buffer, zf, candidate.first);
    zip_fclose(zf);
    if (ok) {
      run.passwordConfirmed = true;
      return true;
    }
  }
  return !tried;
}

// Opens entry i, asking for the password as often as needed (a few times at most).
zip_file_t* OpenEntry(Run& run, zip_uint64_t i, const std::string& name, bool encrypted) {
  if (!encrypted) return zip_fopen_index(run.za, i, 0);
  for (int asked = 0;;) {
    if (run.havePassword) {
      if (zip_file_t* zf = OpenEncrypted(run.za, i, run.password)) return zf;
      if (zip_error_code_zip(zip_get_error(run.za)) != ZIP_ER_WRONGPASSWD) return nullptr;
      zip_error_clear(run.za);
    }
    if (run.passwordRefused || asked++ >= kPasswordTries || !run.cb->password) {
      run.passwordRefused = true;  // the tries are used up for the whole run
      ++run.badPassword;
      return nullptr;
    }
    char buffer[kPasswordSize + 1] = {};
    if (run.cb->password(buffer, kPasswordSize, "Enter password: ", name.c_str()) != 0) {
      run.passwordRefused = true;
      ++run.badPassword;
      return nullptr;
    }
    std::string offered(buffer, strnlen(buffer, kPasswordSize));
    if (!PasswordFits(run, offered)) continue;  // asked again, a few times at most
    run.password = offered;
    run.havePassword = true;
  }
}

// Makes every missing folder of `relative` ("\\" between folders; the part
// after the last "\\" is a file name) below `base`, which ends in "\\".
void MakeFolders(FolderIndex& index, const std::string& base, const std::string& relative) {
  std::string path = base;
  std::size_t start = 0, end;
  while ((end = relative.find('\\', start)) != std::string::npos) {
    path += relative.substr(start, end - start + 1);
    std::string folder = path.substr(0, path.size() - 1);
    if (index.Lookup(folder) == FolderIndex::kNothing && fs::MakeFolder(folder)) index.Added(folder, true);
    start = end + 1;
  }
}

// The extraction folder itself, every missing level of it.
void MakeExtractionFolder(FolderIndex& index, const std::string& folder) {
  std::size_t root = folder.size() > 2 && folder[1] == ':' ? 3 : folder.rfind("\\\\", 0) == 0 ? folder.find('\\', folder.find('\\', 2) + 1) + 1 : 0;
  if (root == 0 || root > folder.size()) return;
  MakeFolders(index, folder.substr(0, root), folder.substr(root));
}

// Decides about an existing file: true to replace it.
bool MayReplace(Run& run, const std::string& target) {
  if (run.options->overwriteAll || run.replaceMode == kUzReplaceAll) return true;
  if (run.replaceMode == kUzReplaceNone || !run.cb->replace) return false;
  std::string name = target;
  int answer = run.cb->replace(&name[0]);
  if (answer == kUzReplaceAll || answer == kUzReplaceNone) run.replaceMode = answer;
  return answer == kUzReplaceYes || answer == kUzReplaceAll;
}

// Streams the rest of the entry into `out`: kUnreadable when it could not be
// read (a wrong password or damage shows at the end, in the CRC), kFailed
// when it could not be written.
Outcome Copy(std::vector<char>& buffer, zip_file_t* zf, fs::Stream& out, std::time_t mtime, std::uint64_t size) {
  Outcome outcome = Outcome::kExtracted;
  std::uint64_t total = 0;
  for (;;) {
    zip_int64_t n = zip_fread(zf, buffer.data(), buffer.size());
    CountRead(n);
    Tick();
    if (g_stopping) {  // the owner stopped the run: the file goes
      outcome = Outcome::kFailed;
      break;
    }
    if (n < 0) outcome = Outcome::kUnreadable;
    if (n <= 0) break;
    total += static_cast<std::uint64_t>(n);
    if (total > size) {  // more than the archive declares: not to be trusted
      outcome = Outcome::kUnreadable;
      break;
    }
    if (!out.Write(buffer.data(), static_cast<std::size_t>(n))) {
      outcome = Outcome::kFailed;
      break;
    }
  }
  if (outcome == Outcome::kExtracted && total != size) outcome = Outcome::kUnreadable;
  if (outcome == Outcome::kExtracted) out.SetModified(mtime);
  if (!out.Close() && outcome == Outcome::kExtracted) outcome = Outcome::kFailed;
  return outcome;
}

// A file that is not there yet is written under its own name and removed
// again if the entry fails. One that is there (the owner agreed to replace
// it) stays untouched until the whole entry has been read and its CRC
// checked in a temporary file beside it, which is then moved over it. When
// a file turns up that the folder index did not know (spelled in another
// letter case), nothing is read and the owner is to be asked: kAsk; a
// folder in its place fails the entry.
Outcome Inflate(std::vector<char>& buffer, zip_file_t* zf, const std::string& target, std::time_t mtime,
                std::uint64_t size, bool there) {
  fs::Stream out;
  if (!there) {
    if (out.CreateNew(target)) {
      Outcome outcome = Copy(buffer, zf, out, mtime, size);
      if (outcome != Outcome::kExtracted) fs::RemoveFile(target);
      return outcome;
    }
    fs::Item it;
    if (!fs::Stat(target, it)) return Outcome::kFailed;
    return it.folder ? Outcome::kFailed : Outcome::kAsk;
  }
  // The bytes go into a new file of a name nobody else uses: created
  // exclusively, never another entry's or the user's file.
  std::string part;
  bool created = false;
  for (int tries = 0; tries < 16 && !created; ++tries) {
    part = target + ".qm~" + std::to_string(std::random_device{}() & 0xFFFFFF);
    created = out.CreateNew(part);
  }
  if (!created) return Outcome::kFailed;
  Outcome outcome = Copy(buffer, zf, out, mtime, size);
  if (outcome == Outcome::kExtracted && fs::MoveOnto(part, target)) return outcome;
  fs::RemoveFile(part);
  return outcome == Outcome::kExtracted ? Outcome::kFailed : outcome;
}

// Counts an entry's outcome and tells the user of a failure.
void Finish(Run& run, const std::string& name, Outcome outcome, bool encrypted) {
  if (g_stopping) {  // given up, not failed
    run.aborted = true;
    return;
  }
  if (outcome == Outcome::kExtracted) {
    ++run.extracted;
    if (encrypted) run.passwordConfirmed = true;
  } else if (outcome == Outcome::kUnreadable && run.options->testOnly) {
    Print(run, "  error: " + name + " does not read back");
    ++(encrypted ? run.unreadableEncrypted : run.damaged);
  } else if (outcome == Outcome::kFailed || outcome == Outcome::kUnreadable) {
    Print(run, "  error: " + name + " is damaged or could not be written; nothing was kept");
    ++(outcome == Outcome::kUnreadable && encrypted ? run.unreadableEncrypted : run.damaged);
  }
}

// Extracts on the calling thread, asking the owner when a file turns up.
void InflateHere(Run& run, zip_file_t* zf, const std::string& name, const std::string& target, std::time_t mtime,
                 std::uint64_t size, bool there, bool encrypted) {
  Outcome outcome = Inflate(run.buffer, zf, target, mtime, size, there);
  if (outcome == Outcome::kAsk)
    outcome = MayReplace(run, target) ? Inflate(run.buffer, zf, target, mtime, size, true) : Outcome::kKept;
  Finish(run, name, outcome, encrypted);
}

// Opens entry i on the calling thread, asking for the password if need be;
// one that cannot be opened is reported and counted (a wrong password, or
// damage) and gives null.
zip_file_t* OpenOrSkip(Run& run, zip_uint64_t i, const std::string& name, bool encrypted) {
  const int refusedBefore = run.badPassword;
  zip_file_t* zf = OpenEntry(run, i, name, encrypted);
  if (zf) return zf;
  const bool password = run.badPassword > refusedBefore;
  Print(run, "   skipping: " + name + "  " + (password ? "incorrect password" : zip_strerror(run.za)));
  if (!password) ++run.damaged;
  return nullptr;
}

// An entry a worker could not open, opened here as it would have been
// without workers: the owner is asked for another password if need be.
void OpenHere(Run& run, const ExtractPool::Job& job) {
  zip_file_t* zf = OpenOrSkip(run, job.index, job.name, job.encrypted);
  if (!zf) return;
  if (job.test)
    Finish(run, job.name, ReadsBack(run.buffer, zf, job.size) ? Outcome::kExtracted : Outcome::kUnreadable,
           job.encrypted);
  else
    InflateHere(run, zf, job.name, job.target, job.mtime, job.size, job.there, job.encrypted);
  zip_fclose(zf);
}

// What the workers did: entries that turned out to need the owner's answer
// are extracted here, the others counted.
void Apply(Run& run, std::vector<ExtractPool::Done> results) {
  for (ExtractPool::Done& d : results) {
    if (g_stopping || (d.outcome != Outcome::kAsk && d.outcome != Outcome::kNotOpened)) {
      Finish(run, d.job.name, d.outcome, d.job.encrypted);
      continue;
    }
    if (d.outcome == Outcome::kNotOpened) {
      OpenHere(run, d.job);
      continue;
    }
    zip_file_t* zf = d.job.encrypted ? OpenEncrypted(run.za, d.job.index, d.job.password)
                                     : zip_fopen_index(run.za, d.job.index, 0);
    if (!zf) {
      Finish(run, d.job.name, Outcome::kFailed, false);
      continue;
    }
    InflateHere(run, zf, d.job.name, d.job.target, d.job.mtime, d.job.size, false, d.job.encrypted);
    zip_fclose(zf);
  }
}

// With workers and the password known, an entry is opened by the worker
// only: opening an AES entry derives its key, which costs as much as reading
// a few hundred KB, and is done once, on the worker, not also here.
bool OpenOnWorker(const Run& run, bool encrypted) { return run.pool && (!encrypted || run.havePassword); }

// Reads an entry back without writing it anywhere.
void Test(Run& run, zip_uint64_t i, const std::string& name, std::uint64_t size, bool encrypted) {
  if (run.cb->service && run.cb->service(name.c_str(), static_cast<unsigned long>(name.size())) != 0) {
    run.aborted = true;
    return;
  }
  ExtractPool::Job job;
  job.index = i;
  job.name = job.target = name;
  job.encrypted = encrypted;
  job.size = size;
  job.test = true;
  if (!OpenOnWorker(run, encrypted)) {
    zip_file_t* zf = OpenOrSkip(run, i, name, encrypted);
    if (!zf) return;
    if (!run.pool) {
      Print(run, "    testing: " + name);
      Finish(run, name, ReadsBack(run.buffer, zf, size) ? Outcome::kExtracted : Outcome::kUnreadable, encrypted);
      zip_fclose(zf);
      return;
    }
    zip_fclose(zf);
  }
  Print(run, "    testing: " + name);
  job.password = encrypted ? run.password : std::string();
  run.pool->Add(std::move(job));
}

void Extract(Run& run, zip_uint64_t i, const std::string& name) {
  const bool isFolder = !name.empty() && (name.back() == '/' || name.back() == '\\');
  if (!IsSafeEntryName(name)) {
    Print(run, "warning: skipped \"" + name + "\": the name points outside the extraction folder");
    ++run.refused;
    return;
  }
  std::string relative = WithBackslashes(name);
  if (!run.options->restorePaths) relative = relative.substr(relative.find_last_of('\\') + 1);
  if (isFolder) {
    // A test writes nothing, and has no folder to make them in.
    if (run.options->restorePaths && !run.options->testOnly) MakeFolders(run.index, run.folder, relative + "\\");
    return;
  }
  zip_stat_t st;
  if (zip_stat_index(run.za, i, 0, &st) != 0) {
    ++run.damaged;
    return;
  }
  const bool encrypted = st.encryption_method != ZIP_EM_NONE;
  if (!Decryptable(st)) {
    Print(run, "   skipping: " + name + "  Encryption method not supported");
    ++run.damaged;
    return;
  }
  // libzip reads an entry of no compressed bytes as empty without checking
  // its CRC: one whose CRC is not that of no bytes is damaged.
  if ((st.valid & ZIP_STAT_COMP_SIZE) && st.comp_size == 0 && (st.valid & ZIP_STAT_CRC) && st.crc != 0) {
    Print(run, "   skipping: " + name + "  CRC error");
    ++run.damaged;
    return;
  }
  if (run.options->testOnly) {
    Test(run, i, name, st.size, encrypted);
    return;
  }
  const std::string target = run.folder + relative;
  if (run.cb->service && run.cb->service(target.c_str(), static_cast<unsigned long>(target.size())) != 0) {
    run.aborted = true;
    return;
  }
  MakeFolders(run.index, run.folder, relative);
  const FolderIndex::What there = run.index.Lookup(target);
  if (there == FolderIndex::kFolder) {  // a folder stands where the file goes: it cannot be written
    Finish(run, name, Outcome::kFailed, false);
    return;
  }
  if (there == FolderIndex::kFile && !MayReplace(run, target)) return;
  zip_file_t* zf = nullptr;
  if (!OpenOnWorker(run, encrypted)) {
    zf = OpenOrSkip(run, i, name, encrypted);
    if (!zf) return;
  }
  Print(run, (st.comp_method == ZIP_CM_STORE ? " extracting: " : "  inflating: ") + target);
  if (run.pool) {
    // A worker extracts the entry through its own handle (the password was
    // checked here first until it is known). One target is never written
    // twice at once.
    if (zf) zip_fclose(zf);
    if (run.pool->Pending(target)) Apply(run, run.pool->Drain());
    run.pool->Add({i, name, target, encrypted ? run.password : std::string(), st.mtime, st.size,
                   there == FolderIndex::kFile, encrypted});
  } else {
    InflateHere(run, zf, name, target, st.mtime, st.size, there == FolderIndex::kFile, encrypted);
    zip_fclose(zf);
  }
  run.index.Added(target, false);
}

// Includes or excludes as the caller passes them: exact names are looked up
// in a hash table, so that selecting thousands of entries by name costs no
// more than listing them; wildcard patterns are tried one by one. An exact
// name matches as the listing gives the entry's name: "\\" and "/" both
// separate folders, and a name whose one separator leads it is listed at the
// top level. The list ends at `count` or at its first empty name.
class NameSelection {
 public:
  NameSelection(int count, const char* const* specs) {
    for (int k = 0; k < count && specs[k] && specs[k][0]; ++k) {
      if (specs[k][0] == kUzExactName) exact_[Key(specs[k] + 1)].push_back(k);
      else patterns_.push_back({k, specs[k]});
    }
  }
  // Marks in `used` (one flag per name passed) every name that matches.
  bool Matches(const std::string& name, std::vector<bool>* used) const {
    bool hit = false;
    auto found = exact_.find(Listed(name));
    if (found != exact_.end()) {
      hit = true;
      if (used)
        for (int k : found->second) (*used)[static_cast<std::size_t>(k)] = true;
    }
    for (const auto& [k, pattern] : patterns_) {
      if (!MatchesSpec(pattern, name)) continue;
      hit = true;
      if (used) (*used)[static_cast<std::size_t>(k)] = true;
    }
    return hit;
  }

 private:
  static std::string Key(std::string s) {
    std::replace(s.begin(), s.end(), '\\', '/');
    return s;
  }
  static std::string Listed(const std::string& name) {
    return Key(name.find_last_of("/\\") == 0 ? name.substr(1) : name);
  }
  std::unordered_map<std::string, std::vector<int>> exact_;  // name -> its places in the list
  std::vector<std::pair<int, const char*>> patterns_;
};

// The entries' compressed bytes add up to more than the whole file: some of
// them overlap, which no writer does.
bool Overlapping(zip_t* za, const char* zipFile) {
  fs::Item file;
  if (!fs::Stat(zipFile, file)) return false;
  zip_uint64_t total = 0;
  zip_int64_t entries = zip_get_num_entries(za, 0);
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(entries); ++i) {
    zip_stat_t st;
    if (zip_stat_index(za, i, 0, &st) != 0 || !(st.valid & ZIP_STAT_COMP_SIZE)) continue;
    total += st.comp_size;
    if (total > file.size) return true;
  }
  return false;
}

int Result(const Run& run, int includeCount, const std::vector<bool>& used, bool listing) {
  if (run.aborted) return kUzAbort;
  if (run.damaged || (run.unreadableEncrypted && run.passwordConfirmed)) return kUzErr;
  if (run.badPassword || run.unreadableEncrypted) return kUzBadPassword;
  if (run.refused) return kUzWarn;
  if (!listing && includeCount > 0 && run.extracted == 0) {
    for (bool u : used)
      if (u) return kUzOk;
    return kUzNoMatch;
  }
  return kUzOk;
}
}  // namespace

int Wiz_SingleEntryUnzip(int includeCount, const char* const* includes, int excludeCount,
                         const char* const* excludes, const UzOptions* options, UzCallbacks* callbacks) {
  if (!options || !callbacks || !options->zipFile || !options->zipFile[0]) return kUzParam;
  if (includeCount < 0 || (includeCount > 0 && !includes)) return kUzParam;
  if (excludeCount < 0 || (excludeCount > 0 && !excludes)) return kUzParam;
  fs::BeginRun();
  TickScope ticking(callbacks->tick);
  Run run;
  run.options = options;
  run.cb = callbacks;
  callbacks->commentLength = 0;

  zip_error_t err;
  zip_error_init(&err);
  zip_source_t* src = fs::BufferedArchiveSource(options->zipFile, &err);
  run.za = src ? zip_open_from_source(src, ZIP_RDONLY, &err) : nullptr;
  if (!run.za) {
    if (src) zip_source_free(src);
    Print(run, std::string("cannot find or open ") + options->zipFile + ": " + zip_error_strerror(&err));
    zip_error_fini(&err);
    return kUzNoZip;
  }
  zip_error_fini(&err);
  ReportComment(run);

  const bool listing = options->verboseListing != 0;
  if (!listing && Overlapping(run.za, options->zipFile)) {
    // Entries that share their bytes make a small file expand without end.
    Print(run, std::string("error: ") + options->zipFile + " holds entries that overlap; nothing was extracted");
    zip_discard(run.za);
    return kUzErr;
  }
  if (listing) {
  } else if (options->testOnly) {
    run.buffer.resize(kChunk);
    unsigned workers = std::min(8u, std::thread::hardware_concurrency());
    if (workers > 1) run.pool = std::make_unique<ExtractPool>(options->zipFile, workers);
  } else {
    run.folder = options->extractFolder ? options->extractFolder : "";
    if (!run.folder.empty() && run.folder.back() != '\\' && run.folder.back() != '/') run.folder += '\\';
    run.buffer.resize(kChunk);
    MakeExtractionFolder(run.index, run.folder);
    unsigned workers = std::min(8u, std::thread::hardware_concurrency());
    if (workers > 1) run.pool = std::make_unique<ExtractPool>(options->zipFile, workers);
  }
  std::vector<bool> used(static_cast<std::size_t>(includeCount), false);
  const NameSelection included(includeCount, includes), excluded(excludeCount, excludes);
  zip_int64_t entries = zip_get_num_entries(run.za, 0);
  for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(entries) && !run.aborted && !g_stopping; ++i) {
    std::string name = EntryNameAnsi(run.za, i);
    if (includeCount > 0 && !included.Matches(name, &used)) continue;
    if (excludeCount > 0 && excluded.Matches(name, nullptr)) continue;
    if (listing) List(run, i, name);
    else Extract(run, i, name);
  }
  if (run.pool) Apply(run, run.pool->Drain());
  run.pool.reset();
  if (g_stopping) run.aborted = true;
  for (int k = 0; k < includeCount && !g_stopping; ++k)
    if (!used[static_cast<std::size_t>(k)] && includes[k] && includes[k][0])
      Print(run, std::string("caution: filename not matched:  ") + (includes[k] + (includes[k][0] == kUzExactName)));
  zip_discard(run.za);
  return Result(run, includeCount, used, listing);
}

}  // namespace ziplib
