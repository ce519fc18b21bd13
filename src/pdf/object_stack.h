// The parser's operand stack, shared by every nesting level of one reader.
// It owns what it holds, so an error mid-parse leaks nothing.
#pragma once

#include <cstddef>
#include <vector>

#include "pdf/pdf_error.h"
#include "pdf/pdf_object.h"

namespace pagewire::pdf {

class ObjectStack {
 public:
  static constexpr std::size_t kInitialCapacity = 256;
  // Pending objects of one top-level object; far beyond any real trailer or
  // encryption dictionary, and it keeps a hostile array from eating memory.
  static constexpr std::size_t kMaxEntries = 1u << 20;

  ObjectStack() { entries_.reserve(kInitialCapacity); }

  void Push(ObjectPtr object) {
    if (entries_.size() >= kMaxEntries) Raise(PdfErrorKind::StackOverflow);
    entries_.push_back(std::move(object));
  }

  ObjectPtr Pop() {
    if (entries_.empty()) Raise(PdfErrorKind::StackUnderflow);
    ObjectPtr top = std::move(entries_.back());
    entries_.pop_back();
    return top;
  }

  std::size_t Size() const { return entries_.size(); }

 private:
  std::vector<ObjectPtr> entries_;
};

}  // namespace pagewire::pdf
