#include <gtest/gtest.h>

#include <string>

#include "reader_test_util.h"

namespace pagewire::pdf {
namespace {

using test::ErrorOf;
using test::ReaderOver;

ObjectPtr Read(ReaderOver& reader) { return reader->ReadObject(); }

TEST(ParseObject, ScalarsAndKeywords) {
  ReaderOver reader("true false null 42 -7 - -.5 5. (s) /N stream");
  auto t = Read(reader);
  EXPECT_TRUE(t->Is(ObjectKind::Boolean) && t->boolean);
  auto f = Read(reader);
  EXPECT_TRUE(f->Is(ObjectKind::Boolean) && !f->boolean);
  EXPECT_TRUE(Read(reader)->Is(ObjectKind::Null));
  EXPECT_EQ(Read(reader)->integer, 42);
  EXPECT_EQ(Read(reader)->integer, -7);
  auto sign = Read(reader);
  EXPECT_TRUE(sign->Is(ObjectKind::Integer) && sign->integer == 0);
  auto half = Read(reader);
  EXPECT_TRUE(half->Is(ObjectKind::Real) && half->real == -0.5f);
  EXPECT_EQ(Read(reader)->real, 5.0f);
  EXPECT_EQ(Read(reader)->bytes, "s");
  auto name = Read(reader);
  EXPECT_TRUE(name->Is(ObjectKind::Name) && name->bytes == "N");
  auto stream = Read(reader);
  EXPECT_TRUE(stream->Is(ObjectKind::Stream) && stream->dict == nullptr);
  // The end of the file makes no object: a new one is left as it stands.
  PdfObject end;
  end.integer = 7;
  EXPECT_EQ(reader->ParseObject(end), TokenKind::EndOfFile);
  EXPECT_TRUE(end.Is(ObjectKind::String) && end.bytes.empty() && end.integer == 7);
  auto last = Read(reader);
  EXPECT_TRUE(last->Is(ObjectKind::String) && last->bytes.empty());
}

TEST(ParseObject, HexStringOddDigitIsHighHalf) {
  ReaderOver reader("<486> <48656c6c6f>");
  EXPECT_EQ(Read(reader)->bytes, std::string("\x48\x60", 2));
  EXPECT_EQ(Read(reader)->bytes, "Hello");
}

TEST(ParseObject, LiteralStringKeepsItsNuls) {
  ReaderOver reader("(a\\000b)");
  EXPECT_EQ(Read(reader)->bytes, std::string("a\0b", 3));
}

TEST(ParseObject, NameEndsAtAnEscapedNul) {
  ReaderOver reader("/A#00B");
  auto name = Read(reader);
  EXPECT_EQ(name->bytes, "A");
}

TEST(ParseObject, ArrayFoldsReferencesInFileOrder) {
  ReaderOver reader("[1 0 R 2 [3] << /K 4 5 R >>]");
  auto array = Read(reader);
  ASSERT_TRUE(array->Is(ObjectKind::Array));
  ASSERT_EQ(array->array->Count(), 4u);
  const PdfObject* ref = array->array->At(0);
  EXPECT_TRUE(ref->Is(ObjectKind::Reference));
  EXPECT_EQ(ref->ref.number, 1);
  EXPECT_EQ(ref->ref.generation, 0);
  EXPECT_EQ(array->array->At(1)->integer, 2);
  EXPECT_EQ(array->array->At(2)->array->At(0)->integer, 3);
  const PdfObject* k = array->array->At(3)->dict->Find("K");
  EXPECT_TRUE(k->Is(ObjectKind::Reference) && k->ref.number == 4 && k->ref.generation == 5);
  EXPECT_EQ(array->array->At(4), nullptr);
}

TEST(ParseObject, DictionaryFindsTheFirstOfDuplicateKeys) {
  ReaderOver reader("<< /A 1 /A 2 /B (x) >>");
  auto dict = Read(reader);
  EXPECT_EQ(dict->dict->Find("A")->integer, 1);
  EXPECT_EQ(dict->dict->Find("B")->bytes, "x");
  EXPECT_EQ(dict->dict->Find("C"), nullptr);
  EXPECT_EQ(dict->dict->Count(), 3u);
}

TEST(ParseObject, StrayClosersInsideContainersBecomeEmptyStrings) {
  ReaderOver reader("[ { >> ]");
  auto array = Read(reader);
  ASSERT_EQ(array->array->Count(), 2u);
  EXPECT_TRUE(array->array->At(0)->Is(ObjectKind::String));
}

struct BadObject {
  std::string input;
  std::string error;
};

class ReadObjectRaises : public ::testing::TestWithParam<BadObject> {};

TEST_P(ReadObjectRaises, TheError) {
  ReaderOver reader(GetParam().input);
  EXPECT_EQ(ErrorOf([&] { reader->ReadObject(); }), GetParam().error) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Parser, ReadObjectRaises,
    ::testing::Values(BadObject{"[1.0 0 R]", "TypeMismatch"}, BadObject{"[1 0.0 R]", "TypeMismatch"},
                      BadObject{"[0 R]", "TypeMismatch"}, BadObject{"[R]", "TypeMismatch"},
                      BadObject{"<< /A 1 /B >>", "TypeMismatch"},
                      BadObject{"<< (A) 1 >>", "TypeMismatch"},
                      BadObject{"< < /A 1 > >", "Syntax"}, BadObject{"[endobj]", "Syntax"},
                      BadObject{"[1 2", "Syntax"}, BadObject{"<< /A [1", "Syntax"},
                      BadObject{"]", "Syntax"}, BadObject{">>", "Syntax"},
                      BadObject{"Null", "Syntax"},
                      BadObject{"<< /A >>", "TypeMismatch"},
                      BadObject{"99999999999999999999", "RangeCheck"},
                      BadObject{"[2147483648 0 R]", "RangeCheck"},
                      BadObject{"[1 -2147483649 R]", "RangeCheck"}));

TEST(ParseObject, IntegersBeyond32BitsAreKeptExactly) {
  ReaderOver reader("4294967292 -9223372036854775808");
  EXPECT_EQ(Read(reader)->integer, 4294967292LL);
  EXPECT_EQ(Read(reader)->integer, INT64_MIN);
}

TEST(ReadObject, DictionaryFollowedByStreamBecomesAStream) {
  ReaderOver reader("<< /Length 3 >>\nstream\nabc");
  auto stream = Read(reader);
  ASSERT_TRUE(stream->Is(ObjectKind::Stream));
  EXPECT_EQ(stream->dict->Find("Length")->integer, 3);
}

TEST(ReadObject, LookAheadTokenIsReadAgainLater) {
  ReaderOver reader("<< /A 1 >> endobj");
  EXPECT_TRUE(Read(reader)->Is(ObjectKind::Dictionary));
  EXPECT_EQ(reader->NextToken(), TokenKind::Keyword);
  EXPECT_EQ(reader->TokenText(), "endobj");
}

TEST(ParseObject, StackGrowthKeepsEveryPendingEntry) {
  std::string input = "[";
  for (int i = 0; i < 1000; ++i) input += std::to_string(i) + " ";
  for (int i = 0; i < 200; ++i) input += "[" + std::to_string(i) + " ";
  input += std::string(201, ']');
  ReaderOver reader(input);
  auto array = Read(reader);
  ASSERT_EQ(array->array->Count(), 1001u);
  for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(array->array->At(i)->integer, std::int64_t(i));
  const PdfObject* level = array->array->At(1000);
  for (int i = 0; i < 200; ++i) {
    ASSERT_EQ(level->array->At(0)->integer, i);
    level = level->array->At(1);
  }
  EXPECT_EQ(level, nullptr);
}

TEST(ParseObject, DeepNestingFailsInsteadOfOverflowingTheCallStack) {
  ReaderOver atLimit(std::string(ObjectParser::kMaxNestingDepth, '[') +
                     std::string(ObjectParser::kMaxNestingDepth, ']'));
  EXPECT_EQ(ErrorOf([&] { atLimit->ReadObject(); }), "none");
  for (std::size_t depth : {std::size_t(ObjectParser::kMaxNestingDepth + 1), std::size_t(1000000)}) {
    ReaderOver arrays(std::string(depth, '['));
    EXPECT_EQ(ErrorOf([&] { arrays->ReadObject(); }), "StackOverflow");
    std::string dicts;
    for (std::size_t i = 0; i < depth; ++i) dicts += "<</A";
    ReaderOver nested(dicts);
    EXPECT_EQ(ErrorOf([&] { nested->ReadObject(); }), "StackOverflow");
  }
}

TEST(ParseObject, HugeFlatArrayFailsBeforeExhaustingMemory) {
  std::string input = "[";
  input.reserve(2 * ObjectStack::kMaxEntries + 16);
  for (std::size_t i = 0; i <= ObjectStack::kMaxEntries; ++i) input += "1 ";
  ReaderOver reader(input);
  const std::string error = ErrorOf([&] { reader->ReadObject(); });
  EXPECT_TRUE(error == "StackOverflow" || error == "RangeCheck") << error;
}

}  // namespace
}  // namespace pagewire::pdf
