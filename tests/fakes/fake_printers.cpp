#include "fakes/fake_printers.h"

namespace pagewire::fakes {
namespace {

class FakeDocument : public platform::Document {
 public:
  FakeDocument(FakePrinters& printers, FakePrinters::Document& record)
      : printers_(printers), record_(record) {}
  ~FakeDocument() override { record_.aborted = !record_.committed; }
  bool Write(const void* data, std::size_t length) override {
    if (printers_.writes++ == printers_.failWriteAt) return false;
    record_.writes.emplace_back(static_cast<const char*>(data), length);
    return true;
  }
  bool Commit() override { return record_.committed = !printers_.failCommit; }

 private:
  FakePrinters& printers_;
  FakePrinters::Document& record_;
};

class FakeDestination : public platform::Destination {
 public:
  FakeDestination(FakePrinters& printers, std::string name)
      : printers_(printers), name_(std::move(name)) {}
  std::unique_ptr<platform::Document> StartDocument(const platform::DocumentStart& start) override {
    if (printers_.printers.count(name_) == 0) return nullptr;
    printers_.documents.push_back({name_, start.title, {}, false, false, start.password});
    if (start.settings != nullptr) printers_.documents.back().settings = *start.settings;
    return std::make_unique<FakeDocument>(printers_, printers_.documents.back());
  }
  bool TakesJobHeader() const override { return printers_.takesJobHeader; }

 private:
  FakePrinters& printers_;
  std::string name_;
};

}  // namespace

std::string FakePrinters::Document::Bytes() const {
  std::string all;
  for (const std::string& w : writes) all += w;
  return all;
}

std::vector<std::string> FakePrinters::Names() {
  std::vector<std::string> names;
  for (const auto& [name, details] : printers) names.push_back(name);
  return names;
}

std::optional<platform::PrinterDetails> FakePrinters::DetailsOf(const std::string& printer) {
  const auto found = printers.find(printer);
  if (found == printers.end()) return std::nullopt;
  return found->second;
}

std::unique_ptr<platform::Destination> FakePrinters::DestinationFor(const std::string& printer) {
  return std::make_unique<FakeDestination>(*this, printer);
}

}  // namespace pagewire::fakes
