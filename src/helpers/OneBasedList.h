#pragma once
// The ordered list the program indexes from 1: the identity catalogue, the
// restore plan, the zip reader's entries, the zip writer's file specs, the
// lists of a backup script. A thin owner of a std::vector; positions outside
// 1..Count are refused (false, or the fallback value), never undefined.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

template <typename T>
class OneBasedList {
 public:
  OneBasedList() = default;
  OneBasedList(std::initializer_list<T> items) : items_(items) {}
  explicit OneBasedList(std::vector<T> items) : items_(std::move(items)) {}

  std::int32_t Count() const { return static_cast<std::int32_t>(items_.size()); }
  bool Empty() const { return items_.empty(); }
  bool Has(std::int32_t k) const { return k >= 1 && k <= Count(); }

  // Position k, 1 <= k <= Count; anything else is a programming error.
  // (vector's own reference types, so a list of bool hands out no dangling reference)
  typename std::vector<T>::const_reference At(std::int32_t k) const { return items_.at(Slot(k)); }
  typename std::vector<T>::reference At(std::int32_t k) { return items_.at(Slot(k)); }
  // Position k, or `fallback` when there is no such position.
  T Value(std::int32_t k, T fallback = T()) const { return Has(k) ? items_[k - 1] : fallback; }

  bool Set(std::int32_t k, T value) {
    if (!Has(k)) return false;
    items_[k - 1] = std::move(value);
    return true;
  }
  void Add(T value) { items_.push_back(std::move(value)); }
  // Later positions move up by one.
  bool Remove(std::int32_t k) {
    if (!Has(k)) return false;
    items_.erase(items_.begin() + (k - 1));
    return true;
  }
  void Clear() { items_.clear(); }

  const std::vector<T>& Items() const { return items_; }
  typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T>::const_iterator end() const { return items_.end(); }

  friend bool operator==(const OneBasedList& a, const OneBasedList& b) { return a.items_ == b.items_; }
  friend bool operator!=(const OneBasedList& a, const OneBasedList& b) { return !(a == b); }

 private:
  static std::size_t Slot(std::int32_t k) {
    if (k < 1) throw std::out_of_range("OneBasedList position below 1");
    return static_cast<std::size_t>(k - 1);
  }
  std::vector<T> items_;
};

using TextList = OneBasedList<std::string>;

// The pieces of `text` between the separators, in order; an empty text gives
// one empty piece, as splitting a text always does.
inline TextList SplitList(const std::string& text, const std::string& separator) {
  TextList out;
  if (separator.empty()) {
    out.Add(text);
    return out;
  }
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos;) {
    out.Add(text.substr(start, at - start));
    start = at + separator.size();
  }
  out.Add(text.substr(start));
  return out;
}

inline std::string JoinList(const TextList& list, const std::string& separator) {
  std::string out;
  for (std::int32_t k = 1; k <= list.Count(); ++k) {
    if (k > 1) out += separator;
    out += list.At(k);
  }
  return out;
}
