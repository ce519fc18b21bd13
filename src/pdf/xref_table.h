// The cross-reference entries of every section read, with the rule that the
// subsection added first wins for any object number it covers.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "pdf/large_block.h"

namespace pagewire::pdf {

struct XrefEntry {
  static constexpr char kFree = 'f';
  static constexpr char kInUse = 'n';
  // In an object stream: offset is the stream's object number, generation
  // the index within it.
  static constexpr char kCompressed = 'c';

  std::int64_t offset = 0;  // from the start of the file
  std::int32_t generation = 0;
  char type = 0;  // one of the above; 0 while unset
};

class XrefSubsection {
 public:
  XrefSubsection(std::int32_t first, std::int32_t count) : first_(first), count_(count) {}

  std::int32_t first() const { return first_; }
  std::int32_t count() const { return count_; }
  bool Holds(std::int64_t number) const { return number >= first_ && number - first_ < count_; }

  // Entries come into being as they are written, so a declared count costs
  // memory only for (at most twice) the entries the file really holds.
  XrefEntry& EntryFor(std::int64_t number) {
    const auto index = static_cast<std::size_t>(number - first_);
    return index < entries_.size() ? entries_[index] : Grow(index);
  }
  // Room for every entry at once, where the count has been checked against
  // the file already.
  void ReserveAll() { entries_.reserve(count_ > 0 ? static_cast<std::size_t>(count_) : 0); }
  XrefEntry EntryAt(std::int64_t number) const;
  // SetEntry's rule on this subsection's own entry.
  void SetOwnEntry(std::int64_t number, const XrefEntry& value) {
    XrefEntry& entry = EntryFor(number);
    if (entry.offset == 0) entry = value;
  }

 private:
  XrefEntry& Grow(std::size_t index);

  std::int32_t first_;
  std::int32_t count_;
  std::vector<XrefEntry, LargeBlockAllocator<XrefEntry>> entries_;
};

class XrefTable {
 public:
  XrefSubsection& AddSubsection(std::int32_t first, std::int32_t count);

  // The entry in the first-added subsection that holds `number` takes the
  // values only while its offset is 0; without one, a subsection of that one
  // number is added.
  void SetEntry(std::int32_t number, std::int64_t offset, std::int32_t generation, char type);

  XrefSubsection* FindSubsection(std::int64_t number) const {
    if (lastRange_ != nullptr && number >= lastFirst_ && number <= lastRange_->last)
      return lastRange_->subsection;
    return FindInCoverage(number);
  }
  std::optional<XrefEntry> Lookup(std::int64_t number) const;
  // Every number of `subsection` maps to it: SetEntry on those numbers is
  // then the same as setting its own entries while their offset is 0.
  bool Owns(const XrefSubsection& subsection) const;
  std::size_t SubsectionCountForTesting() const { return subsections_.size(); }

 private:
  struct Range {
    std::int64_t last;
    XrefSubsection* subsection;
  };

  void Cover(XrefSubsection& subsection);
  XrefSubsection* FindInCoverage(std::int64_t number) const;

  std::vector<std::unique_ptr<XrefSubsection>> subsections_;  // in order added
  // Disjoint ranges keyed by their first number: each number maps to the
  // first-added subsection holding it, found in O(log n).
  std::map<std::int64_t, Range> coverage_;
  // The range found last: entries come in order, so most lookups hit it.
  // Ranges are only ever added, and map nodes do not move.
  mutable std::int64_t lastFirst_ = 0;
  mutable const Range* lastRange_ = nullptr;
};

}  // namespace pagewire::pdf
