// The web pages' accounts: the file of hashed passwords and the Basic
// credentials a browser sends.
#include "server/web_accounts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace pagewire::server {
namespace {

class WebAccountsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/web-accounts-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    folder_ = folder;
    path_ = folder_ + "/" + kWebAccountsFile;
  }
  void TearDown() override {
    unlink(path_.c_str());
    rmdir(folder_.c_str());
  }
  std::string folder_;
  std::string path_;
};

TEST_F(WebAccountsTest, SignsInOnlyWithTheAccountsOwnPasswordAndRole) {
  std::string error;
  EXPECT_FALSE(CheckWebLogin(path_, "alice", "x")) << "no file: nobody signs in";
  ASSERT_TRUE(SetWebAccount(path_, "alice", "pass:word", false, error)) << error;
  ASSERT_TRUE(SetWebAccount(path_, "root", "admin pw", true, error)) << error;

  struct stat info {};
  ASSERT_EQ(stat(path_.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  std::ifstream in(path_);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str().find("pass:word"), std::string::npos) << "the password is kept in clear";

  const auto alice = CheckWebLogin(path_, "alice", "pass:word");
  ASSERT_TRUE(alice);
  EXPECT_EQ(alice->name, "alice");
  EXPECT_FALSE(alice->admin);
  const auto root = CheckWebLogin(path_, "root", "admin pw");
  ASSERT_TRUE(root);
  EXPECT_TRUE(root->admin);
  EXPECT_FALSE(CheckWebLogin(path_, "alice", "pass:wor"));
  EXPECT_FALSE(CheckWebLogin(path_, "alice", ""));
  EXPECT_FALSE(CheckWebLogin(path_, "root", "pass:word")) << "another account's password";
  EXPECT_FALSE(CheckWebLogin(path_, "bob", "pass:word"));

  // A new password replaces the old one, and the other account stays.
  ASSERT_TRUE(SetWebAccount(path_, "alice", "new", true, error)) << error;
  EXPECT_FALSE(CheckWebLogin(path_, "alice", "pass:word"));
  EXPECT_TRUE(CheckWebLogin(path_, "alice", "new")->admin);
  EXPECT_TRUE(CheckWebLogin(path_, "root", "admin pw"));

  ASSERT_TRUE(RemoveWebAccount(path_, "alice", error)) << error;
  EXPECT_FALSE(CheckWebLogin(path_, "alice", "new"));
  EXPECT_TRUE(CheckWebLogin(path_, "root", "admin pw"));
  EXPECT_FALSE(RemoveWebAccount(path_, "alice", error));
  EXPECT_EQ(error, "there is no account alice");

  for (const char* bad : {"", "a:b", "tab\tname"}) {
    EXPECT_FALSE(SetWebAccount(path_, bad, "pw", false, error)) << bad;
  }
  EXPECT_FALSE(SetWebAccount(path_, "carol", "", false, error));
}

TEST(BasicCredentials, ReadsTheSchemesNameAndPassword) {
  struct Case {
    const char* header;
    std::optional<std::pair<std::string, std::string>> credentials;
  };
  using Pair = std::pair<std::string, std::string>;
  const Case cases[] = {
      {"Basic YWxpY2U6c2VjcmV0", Pair{"alice", "secret"}},
      {"basic  YWxpY2U6c2VjcmV0", Pair{"alice", "secret"}},
      {"Basic YWxpY2U6YTpi", Pair{"alice", "a:b"}},       // the password keeps its colons
      {"Basic YWxpY2U6", Pair{"alice", ""}},
      {"Basic Ym9iOnB3MQ==", Pair{"bob", "pw1"}},          // with padding
      {"Basic YWxpY2U=", std::nullopt},                   // no colon
      {"Basic YWxp!2U6c2VjcmV0", std::nullopt},           // not base64
      {"Bearer YWxpY2U6c2VjcmV0", std::nullopt},
      {"Basic", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(BasicCredentials(c.header), c.credentials) << c.header;
}

}  // namespace
}  // namespace pagewire::server
