// The main thread's reply reader and the host order of requests: plain
// functions, checked without a server.
#include <gtest/gtest.h>

#include "jobs/host_order.h"
#include "mainthread/reply_parser.h"

using namespace svnet;

namespace {

using Kind = ReplyActionKind;

std::string Describe(const ReplyAction& a) {
  switch (a.kind) {
    case Kind::kSetScriptHosts: return "scripts " + a.text;
    case Kind::kSetSourceHosts: return "sources " + a.text;
    case Kind::kSetProgramId: return "stat " + a.text;
    case Kind::kWriteIni: return "write [" + a.section + "] " + a.key + "=" + a.value;
    case Kind::kDeleteIni: return "delete [" + a.section + "] " + a.key;
  }
  return "?";
}

std::vector<std::string> Actions(const std::string& reply) {
  std::vector<std::string> out;
  for (const ReplyAction& a : ParseServerReply(reply).actions) out.push_back(Describe(a));
  return out;
}

TEST(ReplyParser, CommandsAndSectionsInReplyOrder) {
  const ServerReply r = ParseServerReply(
      "SCRIPTS\ta/b/c\r\nPLUGINS\n\t5\tplug\tPlug name\tTools\n\t6\tbad\tonly three\n"
      "SETINIVALUES\n\tOpts\tColor\tred\n\tOpts\t\tno key\n\tOpts\tEmpty\n"
      "DELETEINIVALUES\n\tGone\t\n\tKeep\tdrop\n\t\tnosection\n"
      "UNKNOWN\targ\n\tOpts\tLate\tx\nSTAT\tid-7\nSOURCES\tfiles.invalid");
  EXPECT_EQ(0, r.newestVersion);
  EXPECT_FALSE(r.hide);
  const std::vector<std::string> expected = {
      "scripts a/b/c",
      "write [*plug] Name=Plug name",
      "write [*plug] NewVersion=5",
      "write [*plug] Section=Tools",
      "write [Opts] Color=red",
      "write [Opts] Empty=",
      "delete [Gone] ",
      "delete [Keep] drop",
      "stat id-7",
      "sources files.invalid",
  };
  std::vector<std::string> got;
  for (const ReplyAction& a : r.actions) got.push_back(Describe(a));
  EXPECT_EQ(expected, got);
}

TEST(ReplyParser, VersionHideAndLinesThatCloseASection) {
  ServerReply r = ParseServerReply("VERSION\t300\nHIDE\nVERSION\t419\n");
  EXPECT_EQ(419, r.newestVersion);  // the last one wins
  EXPECT_TRUE(r.hide);
  EXPECT_EQ(0, ParseServerReply("VERSION\tx419\n").newestVersion);
  EXPECT_EQ(0, ParseServerReply("VERSION\n").newestVersion);
  // An empty line or any command line closes the section; a data line
  // without a section, or with nothing after its tab, does nothing.
  EXPECT_TRUE(Actions("SETINIVALUES\n\n\tA\tB\tC\n").empty());
  EXPECT_TRUE(Actions("\tA\tB\tC\nSETINIVALUES\n\t\n").empty());
  EXPECT_TRUE(Actions("SETINIVALUES\nHIDE\n\tA\tB\tC\n").empty());
  // Fields beyond those a command reads are dropped.
  EXPECT_EQ((std::vector<std::string>{"write [A] B=C"}), Actions("SETINIVALUES\n\tA\tB\tC\tD"));
  // A command word is the whole text up to the first tab.
  EXPECT_TRUE(Actions("SCRIPTS a/b\nscripts\ta\n").empty());
  EXPECT_EQ((std::vector<std::string>{"scripts "}), Actions("SCRIPTS"));
}

TEST(ReplyParser, OddInputNeverBreaksIt) {
  EXPECT_TRUE(ParseServerReply("").actions.empty());
  EXPECT_TRUE(ParseServerReply("\n\n\r\n\t\t\t").actions.empty());
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += (char)i;
  ParseServerReply(bytes + bytes);
  ParseServerReply(std::string("PLUGINS\n\t\0\t\0\t\0\t\0", 16));
}

TEST(HostOrder, TheFirstHostComesOnceAndFirst) {
  EXPECT_EQ("b/a/c", PutHostFirst("b", "a/b/c"));
  EXPECT_EQ("B/a/c", PutHostFirst("B", "a/b/c/b"));  // names ignore case; every copy goes
  EXPECT_EQ("a/b/c", PutHostFirst("", "a/b/c"));
  EXPECT_EQ("x/", PutHostFirst("x", ""));
  EXPECT_EQ("x/a//b", PutHostFirst("x", "a//b"));  // empty names stay; they are skipped later
  EXPECT_EQ("a:81/a:82", PutHostFirst("a:81", "a:82/a:81"));
}

}  // namespace
