#include <gtest/gtest.h>

#include "host/driver_command.h"

namespace {

std::string parsed(const std::string& line) {
  try {
    const auto c = host::ParseCommand(line);
    if (!c) return "(none)";
    std::string out = c->verb;
    if (!c->name.empty()) out += " name=" + c->name;
    if (!c->text.empty()) out += " text=" + c->text;
    if (c->verb == "choose" || (c->verb == "pick" && !c->cancel))
      out += " index=" + std::to_string(c->index);
    if (c->verb == "answer") out += c->yes ? " yes" : " no";
    if (c->cancel) out += " cancel";
    for (const auto& k : c->keys) out += " key=" + k;
    for (const auto& [key, value] : c->filters) out += " " + key + "=" + value;
    if (c->verb == "change" || c->verb == "restore") out += " id=" + std::to_string(c->change);
    if (c->verb == "change")
      out += " from=" + std::to_string(c->offset) + " count=" + std::to_string(c->count);
    return out;
  } catch (const host::CommandError& e) {
    return std::string("error: ") + e.what();
  }
}

TEST(DriverCommandTest, ReadsEveryCommand) {
  EXPECT_EQ(parsed("open"), "open");
  EXPECT_EQ(parsed("  activate  "), "activate");
  EXPECT_EQ(parsed("close"), "close");
  EXPECT_EQ(parsed("focus medCdFilial"), "focus name=medCdFilial");
  EXPECT_EQ(parsed("type depDtIniVig \"01/12/2026\""), "type name=depDtIniVig text=01/12/2026");
  EXPECT_EQ(parsed("type edtPrefixo \"Promo\\u00e7\\u00e3o \\\"A\\\"\""),
            "type name=edtPrefixo text=Promoção \"A\"");
  EXPECT_EQ(parsed("type medCdFilial \"\""), "type name=medCdFilial");
  EXPECT_EQ(parsed("click sbtConfirma"), "click name=sbtConfirma");
  EXPECT_EQ(parsed("choose rdgPromocao 1"), "choose name=rdgPromocao index=1");
  EXPECT_EQ(parsed("answer yes"), "answer yes");
  EXPECT_EQ(parsed("answer no"), "answer no");
  EXPECT_EQ(parsed("pick 2"), "pick index=2");
  EXPECT_EQ(parsed("pick cancel"), "pick cancel");
  EXPECT_EQ(parsed("mark \"0000000001\" \"0000000003\""), "mark key=0000000001 key=0000000003");
  EXPECT_EQ(parsed("mark none"), "mark");
  EXPECT_EQ(parsed("mark cancel"), "mark cancel");
  EXPECT_EQ(parsed("escape"), "escape");
  EXPECT_EQ(parsed("key down"), "key text=down");
  EXPECT_EQ(parsed("key F10"), "key text=F10");
  EXPECT_EQ(parsed("state"), "state");
  EXPECT_EQ(parsed("quit"), "quit");
  EXPECT_EQ(parsed("help"), "help");
  EXPECT_EQ(parsed(""), "(none)");
  EXPECT_EQ(parsed("   # a comment"), "(none)");
  EXPECT_EQ(parsed("changes"), "changes");
  EXPECT_EQ(
      parsed("changes branch \"0001\" user \"ana\" validity \"2026-11-09\" before 40 count 5"),
      "changes branch=0001 user=ana validity=2026-11-09 before=40 count=5");
  EXPECT_EQ(parsed("change 7"), "change id=7 from=0 count=100");
  EXPECT_EQ(parsed("change 7 500 1000"), "change id=7 from=500 count=1000");
  EXPECT_EQ(parsed("restore 7"), "restore id=7");
}

TEST(DriverCommandTest, RefusesMalformedLinesWithAReason) {
  EXPECT_EQ(parsed("frobnicate"), "error: unknown command frobnicate");
  EXPECT_EQ(parsed("type medCdFilial 0001"), "error: TEXT must be a JSON string, e.g. \"0001\"");
  EXPECT_EQ(parsed("type medCdFilial \"0001"), "error: unterminated JSON string");
  EXPECT_EQ(parsed("type medCdFilial \"\\x\""), "error: bad JSON text \"\\x\"");
  EXPECT_EQ(parsed("type medCdFilial"), "error: usage: type NAME TEXT");
  EXPECT_EQ(parsed("focus"), "error: usage: focus NAME");
  EXPECT_EQ(parsed("focus \"medCdFilial\""),
            "error: NAME is a control name, written without quotes");
  EXPECT_EQ(parsed("choose rdgPromocao one"), "error: INDEX must be a whole number");
  EXPECT_EQ(parsed("pick -1"), "error: INDEX counts from 0");
  EXPECT_EQ(parsed("answer maybe"), "error: usage: answer yes|no");
  EXPECT_EQ(parsed("mark 0000000001"), "error: KEY must be a JSON string, e.g. \"0000000001\"");
  EXPECT_EQ(parsed("open now"), "error: usage: open");
  EXPECT_EQ(parsed("escape depDtIniVig"), "error: usage: escape");
  for (const char* bad : {"key F0", "key F13", "key F02", "key Down", "key \"up\"", "key"})
    EXPECT_EQ(parsed(bad).substr(0, 12), "error: usage") << bad;
  EXPECT_EQ(parsed("type a \"b\"\"c\""), "error: a blank must follow a JSON string");
  EXPECT_EQ(parsed("changes colour \"red\""), "error: unknown filter colour");
  EXPECT_EQ(parsed("changes branch 0001"), "error: branch takes a JSON string, e.g. \"0001\"");
  EXPECT_EQ(parsed("changes user \"a\" user \"b\""), "error: user given twice");
  EXPECT_EQ(parsed("changes validity \"2026-02-30\""),
            "error: validity takes a date \"YYYY-MM-DD\"");
  EXPECT_EQ(parsed("changes count 501"), "error: count is 1 to 500");
  EXPECT_EQ(parsed("changes before"),
            "error: usage: changes [branch|table|validity|user|since|until|"
            "method TEXT]... [before ID] [count N]");
  EXPECT_EQ(parsed("change 0"), "error: ID counts from 1");
  EXPECT_EQ(parsed("change 1 0 1001"), "error: OFFSET counts from 0; COUNT is 1 to 1000");
  EXPECT_EQ(parsed("restore 1 2"), "error: usage: restore ID");
}

}  // namespace
