// One query's view of a PDF file: the byte source, lexer, object parser and
// cross-reference table that read it, the facts of the newest trailer, and
// the security handler of an encrypted file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "pdf/byte_source.h"
#include "pdf/indirect_objects.h"
#include "pdf/object_parser.h"
#include "pdf/pdf_lexer.h"
#include "pdf/pdf_object.h"
#include "pdf/xref_reader.h"
#include "pdf/xref_table.h"

namespace pagewire::pdf {

class StandardSecurityHandler;

class PdfReader {
 public:
  PdfReader();
  ~PdfReader();
  PdfReader(const PdfReader&) = delete;
  PdfReader& operator=(const PdfReader&) = delete;

  // Reads the cross-reference chain and the newest trailer and, for an
  // encrypted file, the encryption dictionary. Raises PdfError.
  void Open(const char* path);
  // The same over bytes in memory, read in place: they must outlive the
  // reader.
  void OpenMemory(std::string_view bytes);

  const PdfObject* FetchObject(const PdfObject& reference) { return objects_.Fetch(reference); }
  const PdfObject* Get(const PdfDict& dict, std::string_view key) { return objects_.Get(dict, key); }
  const PdfObject* Get(const PdfArray& array, std::size_t index) { return objects_.Get(array, index); }

  bool encrypted() const { return encrypt_ != nullptr; }
  // Hands the handler of an encrypted file over, so that passwords can be
  // tested after the reader and its file are gone; none for a plain file.
  std::unique_ptr<StandardSecurityHandler> TakeSecurityHandler();

  const XrefTable& xrefTableForTesting() const { return xref_; }
  const PdfObject* rootForTesting() const { return root_; }

 private:
  void ReadStructure();
  void ReadNewestTrailerFacts(const PdfDict& trailer);
  void ReadSecurity();

  ByteSource source_;
  Lexer lexer_{source_};
  ObjectParser parser_{lexer_};
  XrefTable xref_;
  IndirectObjects objects_{parser_, xref_};
  XrefReader xrefReader_{parser_, xref_, objects_};
  std::unique_ptr<StandardSecurityHandler> handler_;
  // ID, Root and Encrypt point into objects that objects_ keeps.
  const PdfObject* id_ = nullptr;
  const PdfObject* root_ = nullptr;
  const PdfObject* encrypt_ = nullptr;
};

}  // namespace pagewire::pdf
