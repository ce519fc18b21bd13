// The parser's operand stack, shared by every nesting level of one reader.
// It owns what it holds, so an error mid-parse leaks nothing. A mark, the
// start of an array or dictionary, is an empty entry.
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

  void PushMark() { Push(nullptr); }

  // The top entry; none for a mark.
  ObjectPtr Pop() {
    if (entries_.empty()) Raise(PdfErrorKind::StackUnderflow);
    ObjectPtr top = std::move(entries_.back());
    entries_.pop_back();
    return top;
  }

 private:
  std::vector<ObjectPtr> entries_;
};

}  // namespace pagewire::pdf
