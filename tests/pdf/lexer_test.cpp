#include <gtest/gtest.h>

#include <string>

#include "reader_test_util.h"

namespace pagewire::pdf {
namespace {

using test::ErrorOf;
using test::ReaderOver;

struct TokenCase {
  std::string input;
  TokenKind kind;
  std::string text;
};

class FirstToken : public ::testing::TestWithParam<TokenCase> {};

TEST_P(FirstToken, HasKindAndText) {
  const TokenCase& c = GetParam();
  ReaderOver reader(c.input);
  EXPECT_EQ(reader->NextToken(), c.kind) << c.input;
  if (c.kind == TokenKind::LiteralString)
    EXPECT_EQ(std::string(reader->TokenText().data(), reader->LiteralStringLength()), c.text);
  else
    EXPECT_EQ(std::string(reader->TokenText()), c.text) << c.input;
}

INSTANTIATE_TEST_SUITE_P(
    Lexer, FirstToken,
    ::testing::Values(
        TokenCase{"obj", TokenKind::Keyword, "obj"},
        TokenCase{"  \n\t endobj/x", TokenKind::Keyword, "endobj"},
        TokenCase{"abc\x80", TokenKind::Keyword, "abc"},
        TokenCase{"'", TokenKind::Keyword, "'"},
        TokenCase{"\"x", TokenKind::Keyword, "\""},
        TokenCase{"% comment\r\nnull", TokenKind::Keyword, "null"},
        TokenCase{"% comment\rnull", TokenKind::Keyword, "null"},
        TokenCase{"123 ", TokenKind::Integer, "123"},
        TokenCase{"-17]", TokenKind::Integer, "-17"},
        TokenCase{"+", TokenKind::Integer, "+"},
        TokenCase{"-.5", TokenKind::Real, "-.5"},
        TokenCase{"5.", TokenKind::Real, "5."},
        TokenCase{"3.25x", TokenKind::Real, "3.25"},
        TokenCase{"/Name/Next", TokenKind::Name, "Name"},
        TokenCase{"/A#42", TokenKind::Name, "AB"},
        // A stray '#' stays, and what follows it is read on.
        TokenCase{"/A#4 ", TokenKind::Name, "A#4"},
        TokenCase{"/A#G#41/", TokenKind::Name, "A#GA"},
        TokenCase{"/A#4#42", TokenKind::Name, "A#4B"},
        TokenCase{"/A#", TokenKind::Name, "A#"},
        TokenCase{"/A#4", TokenKind::Name, "A#4"},
        TokenCase{"/ ", TokenKind::Name, ""},
        TokenCase{"/Ab\xFF", TokenKind::Name, "Ab"},
        TokenCase{"(a(b)c)", TokenKind::LiteralString, "a(b)c"},
        TokenCase{"(a\\)b)", TokenKind::LiteralString, "a)b"},
        TokenCase{"(\\101)", TokenKind::LiteralString, "A"},
        TokenCase{"(\\400)", TokenKind::LiteralString, std::string(1, '\0')},
        TokenCase{"(\\1)", TokenKind::LiteralString, "\x01"},
        TokenCase{"(\\12x)", TokenKind::LiteralString, "\nx"},
        TokenCase{"(50%)", TokenKind::LiteralString, "50%"},
        TokenCase{"(\\n\\r\\t\\b\\f)", TokenKind::LiteralString, "\n\r\t\b\f"},
        TokenCase{"(\\\\\\(\\))", TokenKind::LiteralString, "\\()"},
        TokenCase{"(\\q)", TokenKind::LiteralString, "q"},
        TokenCase{"(a\\\nb)", TokenKind::LiteralString, "a\nb"},
        TokenCase{"(a\\\r\nb)", TokenKind::LiteralString, "a\nb"},
        TokenCase{"(a\\\r)", TokenKind::LiteralString, "a"},
        TokenCase{"(a\\\r\\101)", TokenKind::LiteralString, "aA"},
        TokenCase{"(ab\\\x08" "c)", TokenKind::LiteralString, "ac"},
        TokenCase{"(\\\x08" "c)", TokenKind::LiteralString, "c"},
        TokenCase{"(a\nb\rc)", TokenKind::LiteralString, "a\nb\rc"},
        TokenCase{"()", TokenKind::LiteralString, ""},
        TokenCase{"<48656c6c6f>", TokenKind::HexString, "48656C6C6F"},
        TokenCase{"<48 65 6C\n6C 6F>", TokenKind::HexString, "48656C6C6F"},
        TokenCase{"<48%note\n65>", TokenKind::HexString, "4865"},
        TokenCase{"<>", TokenKind::HexString, ""},
        TokenCase{"<<", TokenKind::DictStart, "<<"},
        TokenCase{"< <", TokenKind::DictStart, "<<"},
        TokenCase{"<%c\n<", TokenKind::DictStart, "<<"},
        TokenCase{">>", TokenKind::DictEnd, ">>"},
        TokenCase{"[", TokenKind::ArrayStart, "["},
        TokenCase{"]", TokenKind::ArrayEnd, "]"},
        TokenCase{"{", TokenKind::BraceOpen, "{"},
        TokenCase{"}", TokenKind::BraceClose, "}"},
        TokenCase{"", TokenKind::EndOfFile, ""},
        TokenCase{"  % comment to the end", TokenKind::EndOfFile, ""}));

struct ErrorCase {
  std::string input;
  std::string error;
};

class FirstTokenRaises : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(FirstTokenRaises, TheError) {
  ReaderOver reader(GetParam().input);
  EXPECT_EQ(ErrorOf([&] { reader->NextToken(); }), GetParam().error) << GetParam().input;
}

INSTANTIATE_TEST_SUITE_P(
    Lexer, FirstTokenRaises,
    ::testing::Values(ErrorCase{".5", "Syntax"}, ErrorCase{")", "Syntax"},
                      ErrorCase{"*", "Syntax"}, ErrorCase{"\x80", "Syntax"},
                      ErrorCase{"<4G>", "Syntax"}, ErrorCase{"<48", "Syntax"},
                      ErrorCase{"<", "Syntax"}, ErrorCase{"> >", "Syntax"},
                      ErrorCase{">", "Syntax"}, ErrorCase{"(never closed", "Syntax"},
                      ErrorCase{"(a\\", "Syntax"}, ErrorCase{"((a)", "Syntax"}));

// Real files write one or two digits where the next character is no digit.
TEST(Lexer, OctalEscapesOfOneOrTwoDigitsAreRead) {
  const std::pair<std::string, std::string> cases[] = {
      {"(\\7r\\321)", "\x07r\xD1"},
      {"(\\30:)", "\x18:"},
      {"(\\0\\00\\000)", std::string(3, '\0')},
      {"(\\5\\)\\78)", "\x05)\x07" "8"},
      {"(\\1234)", "S4"},
  };
  for (const auto& [input, bytes] : cases) {
    ReaderOver reader(input);
    ASSERT_EQ(reader->NextToken(), TokenKind::LiteralString) << input;
    EXPECT_EQ(std::string(reader->TokenText().data(), reader->LiteralStringLength()), bytes)
        << input;
  }
}

TEST(LexerTokenBuffer, TakesTheLongestTokenThatFitsWithItsNul) {
  const std::size_t longest = Lexer::kTokenBufferSize - 1;
  ReaderOver keyword(std::string(longest, 'k'));
  EXPECT_EQ(keyword->NextToken(), TokenKind::Keyword);
  EXPECT_EQ(keyword->TokenText().size(), longest);
  ReaderOver string("(" + std::string(longest, 's') + ")");
  EXPECT_EQ(string->NextToken(), TokenKind::LiteralString);
  EXPECT_EQ(string->LiteralStringLength(), longest);
}

TEST(LexerTokenBuffer, RaisesSyntaxForAnyLongerToken) {
  const std::size_t tooLong = Lexer::kTokenBufferSize;
  for (const std::string& input :
       {std::string(tooLong, 'k'), "/" + std::string(tooLong, 'n'),
        std::string(tooLong, '7'), "(" + std::string(tooLong, 's') + ")",
        "<" + std::string(tooLong, 'A') + ">", "(" + std::string(100000, '(')}) {
    ReaderOver reader(input);
    EXPECT_EQ(ErrorOf([&] { reader->NextToken(); }), "Syntax") << input.substr(0, 3);
  }
}

TEST(LexerSequence, PushedBackCharacterStartsTheNextToken) {
  ReaderOver reader("abc/def[12(x)<41>>>");
  const TokenKind expected[] = {TokenKind::Keyword,    TokenKind::Name,
                                TokenKind::ArrayStart, TokenKind::Integer,
                                TokenKind::LiteralString, TokenKind::HexString,
                                TokenKind::DictEnd,    TokenKind::EndOfFile};
  for (TokenKind kind : expected) EXPECT_EQ(reader->NextToken(), kind);
}

}  // namespace
}  // namespace pagewire::pdf
