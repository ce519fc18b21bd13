#include "transport/output_file.h"

namespace pagewire::transport {
namespace {

using platform::FileErrorCause;

class OutputDocument final : public platform::Document {
 public:
  OutputDocument(platform::FileWriter& writer, std::string path)
      : writer_(writer), path_(std::move(path)) {}

  bool Write(const void* data, std::size_t length) override {
    return writer_.Write(data, length, cause_);
  }
  bool Commit() override { return true; }
  platform::SendFailure Failure() const override {
    platform::SendFailure failure;
    failure.kind = platform::SendFailure::Kind::File;
    failure.file = {cause_, path_};
    return failure;
  }

 private:
  platform::FileWriter& writer_;
  std::string path_;
  FileErrorCause cause_ = FileErrorCause::None;
};

}  // namespace

OutputFile::OutputFile(std::unique_ptr<platform::FileWriter> writer, std::string path)
    : writer_(std::move(writer)), path_(std::move(path)) {}

std::unique_ptr<platform::Document> OutputFile::StartDocument(const platform::DocumentStart&) {
  if (!writer_) return nullptr;
  return std::make_unique<OutputDocument>(*writer_, path_);
}

platform::SendFailure OutputFile::StartFailure() const {
  platform::SendFailure failure;
  failure.kind = platform::SendFailure::Kind::File;
  failure.file = {FileErrorCause::None, path_};
  return failure;
}

bool OutputFile::Close(FileErrorCause& cause) {
  if (!writer_) return true;
  const bool closed = writer_->Close(cause);
  writer_.reset();
  return closed;
}

}  // namespace pagewire::transport
