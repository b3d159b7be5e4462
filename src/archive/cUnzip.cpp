#include "archive/cUnzip.h"

#include <algorithm>

#include "archive/mUnzip.h"

void cUnzip::ZipFile(const std::string& value) {
  zipFile_ = value;
  entries_.clear();
}

const UnzipEntry* cUnzip::At(std::int32_t lIndex) const {
  if (lIndex < 1 || lIndex > FileCount()) return nullptr;
  return &entries_[static_cast<std::size_t>(lIndex - 1)];
}

std::string cUnzip::Filename(std::int32_t lIndex) const {
  const UnzipEntry* e = At(lIndex);
  return e ? e->Filename : std::string();
}

std::string cUnzip::FileDirectory(std::int32_t lIndex) const {
  const UnzipEntry* e = At(lIndex);
  return e ? e->FileDirectory : std::string();
}

bool cUnzip::FileSelected(std::int32_t lIndex) const {
  const UnzipEntry* e = At(lIndex);
  return e && e->FileSelected;
}

void cUnzip::FileSelected(std::int32_t lIndex, bool value) {
  if (At(lIndex)) entries_[static_cast<std::size_t>(lIndex - 1)].FileSelected = value;
}

void cUnzip::Run(const std::vector<std::string>& includes) {
  mUnzip::RunResult r = mUnzip::Run(*this, options_, includes);
  lastResult_ = r.result;
  if (!r.comment.empty()) comment_ = r.comment;
}

void cUnzip::Directory() {
  options_.zipFile = zipFile_.c_str();
  options_.extractFolder = "";
  options_.verboseListing = 1;
  options_.testOnly = 0;
  Run({});
}

bool cUnzip::Unzip() { return RunSelected(false); }

bool cUnzip::Test() { return RunSelected(true); }

bool cUnzip::RunSelected(bool test) {
  if (zipFile_.empty()) return false;
  std::vector<std::string> includes;
  for (const UnzipEntry& e : entries_) {
    if (!e.FileSelected) continue;
    std::string name = e.FileDirectory.empty() ? e.Filename : e.FileDirectory + "/" + e.Filename;
    std::replace(name.begin(), name.end(), '\\', '/');
    // Selected by their exact names, wildcards in them taken as they are.
    includes.push_back(kUzExactName + name);
  }
  if (includes.size() == entries_.size()) includes.clear();  // all selected: everything
  else if (includes.empty()) return true;                     // nothing selected: nothing to do
  options_.zipFile = zipFile_.c_str();
  options_.extractFolder = unzipFolder_.c_str();
  options_.verboseListing = 0;
  options_.testOnly = test ? 1 : 0;
  Run(includes);
  options_.testOnly = 0;
  return lastResult_ == 0;
}
