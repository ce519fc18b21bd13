// The objects the parser builds: scalars, strings, names, arrays,
// dictionaries, streams (their dictionary only) and indirect references.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pagewire::pdf {

enum class ObjectKind : std::int32_t {
  Boolean = 1,
  Integer = 2,
  Real = 3,
  String = 4,
  Name = 5,
  Array = 6,
  Dictionary = 7,
  Stream = 8,
  Null = 9,
  Reference = 10,  // the "R" marker while parsing; a folded reference after
};

struct PdfRef {
  std::int32_t number = 0;
  std::int32_t generation = 0;
};

class PdfObject;
class PdfArray;
class PdfDict;
using ObjectPtr = std::unique_ptr<PdfObject>;

// A new object is an empty string; the parser fills it in.
class PdfObject {
 public:
  PdfObject();
  ~PdfObject();
  PdfObject(const PdfObject&) = delete;
  PdfObject& operator=(const PdfObject&) = delete;

  bool Is(ObjectKind k) const { return kind == k; }

  ObjectKind kind = ObjectKind::String;
  bool boolean = false;
  std::int64_t integer = 0;  // range-checked by whoever needs less
  float real = 0.0f;
  std::string bytes;  // string or name bytes
  PdfRef ref;         // folded references only
  std::unique_ptr<PdfArray> array;
  std::unique_ptr<PdfDict> dict;  // dictionary, or a stream's dictionary
};

// Elements in file order.
class PdfArray {
 public:
  std::size_t Count() const { return items_.size(); }
  // None past the end.
  const PdfObject* At(std::size_t index) const {
    return index < items_.size() ? items_[index].get() : nullptr;
  }
  void Append(ObjectPtr value) { items_.push_back(std::move(value)); }

 private:
  std::vector<ObjectPtr> items_;
};

// Entries in file order; duplicate keys are kept and Find returns the first.
class PdfDict {
 public:
  std::size_t Count() const { return entries_.size(); }
  const PdfObject* Find(std::string_view key) const;
  void Append(std::string key, ObjectPtr value) {
    entries_.emplace_back(std::move(key), std::move(value));
  }

 private:
  std::vector<std::pair<std::string, ObjectPtr>> entries_;
};

}  // namespace pagewire::pdf
