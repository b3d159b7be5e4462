#pragma once
// A value that is text, a 32-bit number, a byte sequence or nothing: how
// registry values, script properties and event arguments travel.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class TaggedValue {
 public:
  enum class Kind { Nothing, Text, Number, Bytes };

  TaggedValue() = default;
  TaggedValue(std::string text) : kind_(Kind::Text), text_(std::move(text)) {}  // NOLINT: implicit by design
  TaggedValue(const char* text) : kind_(Kind::Text), text_(text) {}             // NOLINT
  TaggedValue(std::int32_t number) : kind_(Kind::Number), number_(number) {}    // NOLINT
  static TaggedValue FromBytes(std::vector<std::uint8_t> bytes) {
    TaggedValue v;
    v.kind_ = Kind::Bytes;
    v.bytes_ = std::move(bytes);
    return v;
  }

  Kind kind() const { return kind_; }
  bool IsNothing() const { return kind_ == Kind::Nothing; }
  bool IsText() const { return kind_ == Kind::Text; }
  bool IsNumber() const { return kind_ == Kind::Number; }
  bool IsBytes() const { return kind_ == Kind::Bytes; }

  const std::string& text() const { return text_; }
  std::int32_t number() const { return number_; }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  // The value as text: numbers in decimal, nothing as "", bytes as their characters.
  std::string AsText() const {
    switch (kind_) {
      case Kind::Text: return text_;
      case Kind::Number: return std::to_string(number_);
      case Kind::Bytes: return std::string(bytes_.begin(), bytes_.end());
      default: return std::string();
    }
  }

  friend bool operator==(const TaggedValue& a, const TaggedValue& b) {
    if (a.kind_ != b.kind_) return false;
    switch (a.kind_) {
      case Kind::Text: return a.text_ == b.text_;
      case Kind::Number: return a.number_ == b.number_;
      case Kind::Bytes: return a.bytes_ == b.bytes_;
      default: return true;
    }
  }
  friend bool operator!=(const TaggedValue& a, const TaggedValue& b) { return !(a == b); }

 private:
  Kind kind_ = Kind::Nothing;
  std::string text_;
  std::int32_t number_ = 0;
  std::vector<std::uint8_t> bytes_;
};
