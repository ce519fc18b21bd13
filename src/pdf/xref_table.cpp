#include "pdf/xref_table.h"

#include <algorithm>

namespace pagewire::pdf {

// Grows by doubling, up to the count, so that a long run of entries costs
// a few reallocations; unwritten entries read as zero either way.
XrefEntry& XrefSubsection::Grow(std::size_t index) {
  const std::size_t doubled = std::max<std::size_t>(16, 2 * entries_.size());
  entries_.resize(std::max(index + 1, std::min(doubled, static_cast<std::size_t>(count_))));
  return entries_[index];
}

XrefEntry XrefSubsection::EntryAt(std::int64_t number) const {
  const auto index = static_cast<std::size_t>(number - first_);
  return index < entries_.size() ? entries_[index] : XrefEntry{};
}

XrefSubsection& XrefTable::AddSubsection(std::int32_t first, std::int32_t count) {
  subsections_.push_back(std::make_unique<XrefSubsection>(first, count));
  XrefSubsection& added = *subsections_.back();
  Cover(added);
  return added;
}

// Maps the numbers of `subsection` that no earlier subsection holds.
void XrefTable::Cover(XrefSubsection& subsection) {
  if (subsection.count() <= 0) return;
  const std::int64_t last = std::int64_t{subsection.first()} + subsection.count() - 1;
  std::int64_t next = subsection.first();
  auto it = coverage_.upper_bound(next);
  if (it != coverage_.begin()) {
    const auto before = std::prev(it);
    next = std::max(next, before->second.last + 1);
  }
  while (next <= last) {
    it = coverage_.lower_bound(next);
    const std::int64_t gapLast = (it == coverage_.end()) ? last : std::min(last, it->first - 1);
    if (gapLast >= next) coverage_.emplace_hint(it, next, Range{gapLast, &subsection});
    if (it == coverage_.end()) break;
    next = it->second.last + 1;
  }
}

XrefSubsection* XrefTable::FindInCoverage(std::int64_t number) const {
  auto it = coverage_.upper_bound(number);
  if (it == coverage_.begin()) return nullptr;
  --it;
  if (number > it->second.last) return nullptr;
  lastFirst_ = it->first;
  lastRange_ = &it->second;
  return it->second.subsection;
}

void XrefTable::SetEntry(std::int32_t number, std::int64_t offset, std::int32_t generation,
                         char type) {
  XrefSubsection* subsection = FindSubsection(number);
  if (subsection == nullptr) subsection = &AddSubsection(number, 1);
  XrefEntry& entry = subsection->EntryFor(number);
  if (entry.offset == 0) entry = XrefEntry{offset, generation, type};
}

bool XrefTable::Owns(const XrefSubsection& subsection) const {
  if (subsection.count() <= 0) return true;
  const XrefSubsection* holder = FindInCoverage(subsection.first());
  return holder == &subsection &&
         lastRange_->last >= std::int64_t{subsection.first()} + subsection.count() - 1;
}

std::optional<XrefEntry> XrefTable::Lookup(std::int64_t number) const {
  const XrefSubsection* subsection = FindSubsection(number);
  if (subsection == nullptr) return std::nullopt;
  return subsection->EntryAt(number);
}

}  // namespace pagewire::pdf
