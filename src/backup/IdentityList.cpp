#include "backup/IdentityList.h"

#include "platform/files.h"
#include "helpers/TextRecords.h"

namespace IdentityList {

namespace {

// Adds the entry a piece stands for when it splits into exactly three fields.
void TakeEntry(const std::string& piece, OneBasedList<IdListEntry>& out) {
  TextList fields = SplitList(piece, "\x01");
  if (fields.Count() == 3) out.Add(IdListEntry{fields.At(1), fields.At(2), fields.At(3)});
}

bool ParseRecords(const std::string& bytes, OneBasedList<IdListEntry>& out) {
  TextList records;
  if (!TextRecords::Parse(bytes, 0, records)) return false;
  for (const std::string& record : records) {
    if (record.empty() || record.find('\0') != record.size() - 1) return false;
  }
  for (const std::string& record : records) TakeEntry(record.substr(0, record.size() - 1), out);
  return true;
}

}  // namespace

bool Build(const OneBasedList<IdListEntry>& entries, std::string& bytes) {
  std::string out;
  for (const IdListEntry& e : entries) {
    if (!TextRecords::Append(out, e.Name + '\x01' + e.Id + '\x01' + e.Flags + '\0')) return false;
  }
  bytes = std::move(out);
  return true;
}

OneBasedList<IdListEntry> Parse(const std::string& bytes) {
  OneBasedList<IdListEntry> out;
  if (ParseRecords(bytes, out)) return out;
  out.Clear();
  for (const std::string& piece : SplitList(bytes, std::string(1, '\0'))) TakeEntry(piece, out);
  return out;
}

bool Write(const std::string& path, const OneBasedList<IdListEntry>& entries) {
  std::string bytes;
  return Build(entries, bytes) && platform::WriteWholeFile(path, bytes);
}

bool Read(const std::string& path, OneBasedList<IdListEntry>& entries) {
  std::string bytes;
  if (!platform::ReadWholeFile(path, bytes)) return false;
  entries = Parse(bytes);
  return true;
}

}  // namespace IdentityList
