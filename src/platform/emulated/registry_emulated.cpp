// The emulated machine's registry: an in-memory tree per predefined root.
//
// Names compare without letter case. Subkeys and values enumerate in the
// order Wine's registry gives them (checked against wine64 with a probe
// program that created every single-byte Windows-1252 name and a set of
// mixed names in scrambled order): both lists are kept sorted by the names'
// UTF-16 characters, each lowered, compared one by one, a name before any
// longer name it begins ("1" < "10" < "2", "A_" < "aa", "z" < "Zz" < "{",
// "é" < "€"). The default value, whose name is empty, comes first. Windows
// itself lists values in the order they were written; Wine sorts them too.
#include <map>
#include <memory>
#include <vector>

#include "platform/emulated/codepage.h"
#include "platform/emulated/state.h"
#include "platform/registry.h"

namespace platform::emu {

namespace {

// The sort key of one Windows-1252 byte: its lower-case Unicode character.
struct SortKeys {
  char16_t key[256];
  SortKeys() {
    for (int c = 0; c < 256; ++c) {
      std::string lowered = Lower(std::string(1, static_cast<char>(c)));
      key[c] = AnsiCharToUnicode(static_cast<unsigned char>(lowered[0]));
    }
  }
};

const SortKeys& Keys() {
  static const SortKeys keys;
  return keys;
}

struct NameLess {
  bool operator()(const std::string& a, const std::string& b) const {
    const char16_t* k = Keys().key;
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      char16_t x = k[static_cast<unsigned char>(a[i])];
      char16_t y = k[static_cast<unsigned char>(b[i])];
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

// A sorted map that answers "the entry at index i" in constant time when
// asked in order, as enumerations do.
template <typename T>
class EnumerableMap {
 public:
  using Map = std::map<std::string, T, NameLess>;
  Map& items() { return items_; }
  void Changed() { cursorValid_ = false; }
  typename Map::iterator At(std::uint32_t index) {
    if (index >= items_.size()) return items_.end();
    if (!cursorValid_ || index < cursorIndex_) {
      cursor_ = items_.begin();
      cursorIndex_ = 0;
      cursorValid_ = true;
    }
    while (cursorIndex_ < index) {
      ++cursor_;
      ++cursorIndex_;
    }
    return cursor_;
  }

 private:
  Map items_;
  typename Map::iterator cursor_;
  std::uint32_t cursorIndex_ = 0;
  bool cursorValid_ = false;
};

struct StoredValue {
  std::uint32_t type = kRegTypeNone;
  std::string data;
};

struct Node {
  bool deleted = false;
  EnumerableMap<std::shared_ptr<Node>> children;
  EnumerableMap<StoredValue> values;
};

void MarkDeleted(Node& node) {
  node.deleted = true;
  for (auto& child : node.children.items()) MarkDeleted(*child.second);
}

// Rights an operation needs.
constexpr std::uint32_t kQueryValue = 0x0001;
constexpr std::uint32_t kSetValue = 0x0002;
constexpr std::uint32_t kEnumerateSubKeys = 0x0008;

// Handle numbers are never reused, not even across a reset of the machine.
std::uintptr_t g_nextHandle = 0x1000;

}  // namespace

// An open key and the rights it was opened with.
struct OpenKey {
  std::shared_ptr<Node> node;
  std::uint32_t access = 0;
};

struct RegistryStore {
  std::map<std::uint32_t, std::shared_ptr<Node>> roots;
  std::map<std::uintptr_t, OpenKey> handles;
  RegistryStore() {
    for (std::uint32_t r : {kRegClassesRoot, kRegCurrentUser, kRegLocalMachine, kRegUsers,
                            kRegCurrentConfig})
      roots[r] = std::make_shared<Node>();
  }
};

namespace {

RegistryStore& Store() {
  if (!state().registry) state().registry = std::make_shared<RegistryStore>();
  return *state().registry;
}

std::shared_ptr<Node> RootNode(std::uintptr_t handle) {
  RegistryStore& s = Store();
  auto it = s.roots.find(static_cast<std::uint32_t>(handle));
  return it == s.roots.end() ? nullptr : it->second;
}

bool IsRootHandle(std::uintptr_t handle) { return handle >= 0x80000000u && handle <= 0x800000FFu; }

// The live key behind a handle, checked for the rights an operation needs
// (the roots allow everything).
long Resolve(std::uintptr_t handle, std::uint32_t needed, std::shared_ptr<Node>& node) {
  if (IsRootHandle(handle)) {
    node = RootNode(handle);
  } else {
    auto it = Store().handles.find(handle);
    if (it == Store().handles.end()) return kRegInvalidHandle;
    if ((it->second.access & needed) != needed) return kRegAccessDenied;
    node = it->second.node;
  }
  if (!node) return kRegInvalidHandle;
  return node->deleted ? kRegKeyDeleted : kRegOk;
}

// The path's names; false when the path begins with a backslash, as Windows
// refuses. Empty pieces (a trailing or doubled backslash) are passed over.
// Names reach the system's ANSI functions as C strings: they end at a NUL.
std::string AsCString(const std::string& s) { return s.substr(0, s.find('\0')); }

bool SplitPath(const std::string& whole, std::vector<std::string>& names) {
  const std::string path = AsCString(whole);
  if (!path.empty() && path[0] == '\\') return false;
  std::size_t pos = 0;
  while (pos <= path.size()) {
    std::size_t next = path.find('\\', pos);
    if (next == std::string::npos) next = path.size();
    if (next > pos) names.push_back(path.substr(pos, next - pos));
    pos = next + 1;
  }
  return true;
}

long Walk(std::uint32_t root, const std::string& path, bool create, std::shared_ptr<Node>& out) {
  std::shared_ptr<Node> node = IsRootHandle(root) ? RootNode(root) : nullptr;
  if (!node) return kRegInvalidHandle;
  std::vector<std::string> names;
  if (!SplitPath(path, names)) return kRegBadPath;
  for (const std::string& name : names) {
    auto& items = node->children.items();
    auto it = items.find(name);
    if (it == items.end()) {
      if (!create) return kRegNotFound;
      it = items.emplace(name, std::make_shared<Node>()).first;
      node->children.Changed();
    }
    node = it->second;
  }
  out = node;
  return kRegOk;
}

RegKey NewHandle(const std::shared_ptr<Node>& node, std::uint32_t access) {
  std::uintptr_t h = g_nextHandle++;
  Store().handles[h] = OpenKey{node, access};
  return RegKeyAccess::Make(h);
}

bool IsText(std::uint32_t type) {
  return type == kRegTypeSz || type == kRegTypeExpandSz || type == kRegTypeMultiSz;
}

// What the ANSI functions hand out: text that was stored without its
// terminating NUL gets one, as Wine does.
std::string Delivered(const StoredValue& v) {
  if (IsText(v.type) && !v.data.empty() && v.data.back() != '\0') return v.data + '\0';
  return v.data;
}

}  // namespace

}  // namespace platform::emu

namespace platform {

using emu::Node;

void RegKey::Close() {
  if (h_ != 0 && emu::state().registry) emu::state().registry->handles.erase(h_);
  h_ = 0;
}

long OpenRegKey(std::uint32_t root, const std::string& path, std::uint32_t access, RegKey& key) {
  key.Close();
  std::shared_ptr<Node> node;
  long r = emu::Walk(root, path, false, node);
  if (r == kRegOk) key = emu::NewHandle(node, access);
  return r;
}

long CreateRegKey(std::uint32_t root, const std::string& path, RegKey& key) {
  key.Close();
  std::shared_ptr<Node> node;
  long r = emu::Walk(root, path, true, node);
  if (r == kRegOk) key = emu::NewHandle(node, kRegKeyAllAccess);
  return r;
}

long EnumRegSubkey(const RegKey& key, std::uint32_t index, std::string& name) {
  std::shared_ptr<Node> node;
  if (long r = emu::Resolve(key.handle(), emu::kEnumerateSubKeys, node)) return r;
  auto it = node->children.At(index);
  if (it == node->children.items().end()) return kRegNoMoreItems;
  name = it->first;
  return kRegOk;
}

long EnumRegValue(const RegKey& key, std::uint32_t index, RegValue& value) {
  std::shared_ptr<Node> node;
  if (long r = emu::Resolve(key.handle(), emu::kQueryValue, node)) return r;
  auto it = node->values.At(index);
  if (it == node->values.items().end()) return kRegNoMoreItems;
  value.name = it->first;
  value.type = it->second.type;
  value.data = emu::Delivered(it->second);
  return kRegOk;
}

long QueryRegValue(const RegKey& key, const std::string& name, RegValue& value) {
  std::shared_ptr<Node> node;
  if (long r = emu::Resolve(key.handle(), emu::kQueryValue, node)) return r;
  auto it = node->values.items().find(emu::AsCString(name));
  if (it == node->values.items().end()) return kRegNotFound;
  value.name = it->first;
  value.type = it->second.type;
  value.data = emu::Delivered(it->second);
  return kRegOk;
}

long SetRegValue(const RegKey& key, const std::string& name, std::uint32_t type,
                 const std::string& data) {
  std::shared_ptr<Node> node;
  if (long r = emu::Resolve(key.handle(), emu::kSetValue, node)) return r;
  auto& items = node->values.items();
  const std::string cut = emu::AsCString(name);
  auto it = items.find(cut);
  if (it == items.end()) {
    items.emplace(cut, emu::StoredValue{type, data});
    node->values.Changed();
  } else {
    it->second = emu::StoredValue{type, data};  // the first spelling of the name stays
  }
  return kRegOk;
}

long DeleteRegValue(const RegKey& key, const std::string& name) {
  std::shared_ptr<Node> node;
  if (long r = emu::Resolve(key.handle(), emu::kSetValue, node)) return r;
  auto& items = node->values.items();
  auto it = items.find(emu::AsCString(name));
  if (it == items.end()) return kRegNotFound;
  items.erase(it);
  node->values.Changed();
  return kRegOk;
}

long DeleteRegBranch(std::uint32_t root, const std::string& path) {
  std::vector<std::string> names;
  if (!emu::SplitPath(path, names)) return kRegBadPath;
  if (names.empty()) return kRegInvalidParameter;  // never a whole root
  std::string last = names.back();
  names.pop_back();
  std::string parentPath;
  for (const std::string& n : names) parentPath += n + "\\";
  std::shared_ptr<Node> parent;
  long r = emu::Walk(root, parentPath, false, parent);
  if (r != kRegOk) return r;
  auto& items = parent->children.items();
  auto it = items.find(last);
  if (it == items.end()) return kRegNotFound;
  emu::MarkDeleted(*it->second);
  items.erase(it);
  parent->children.Changed();
  return kRegOk;
}

}  // namespace platform
