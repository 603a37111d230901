#include "shell/ini_document.h"

#include <gtest/gtest.h>

using modINI::IniDocument;

TEST(IniDocument, TextRoundTripsByteForByte) {
  const std::string text = "; comment\r\n[JIRA]\r\nusername = abc \r\n\r\n[Other]\r\nk=v\r\nloose line\r\n";
  EXPECT_EQ(IniDocument::Parse(text).Serialize(), text);
  EXPECT_EQ(IniDocument::Parse("").Serialize(), "");
  // A last line without a line break gets one; bare LF lines become CR LF.
  EXPECT_EQ(IniDocument::Parse("[a]\nk=v").Serialize(), "[a]\r\nk=v\r\n");
}

TEST(IniDocument, NamesMatchWithoutCaseAndValuesAreTrimmed) {
  const auto doc = IniDocument::Parse(
      "[ jira ]\r\n  UserName =  bob  \t\r\nusername=2\r\n[Mirel]\r\ntoken=x=y\r\n[JIRA]\r\nusername=3\r\n");
  EXPECT_EQ(doc.Get("JIRA", "username"), "bob");  // the first of duplicates wins
  EXPECT_EQ(doc.Get("mirel", "TOKEN"), "x=y");
  // Missing, and a key of another section with the same name, are not taken.
  for (auto [section, key] : {std::pair{"JIRA", "token"}, {"Nope", "username"}, {"Mirel", "username"}})
    EXPECT_FALSE(doc.Get(section, key).has_value()) << section << "." << key;
}

TEST(IniDocument, SetReplacesInPlaceOrAppendsToItsSection) {
  auto doc = IniDocument::Parse("[JIRA]\r\nToken=old\r\nx=1\r\n\r\n[Mirel]\r\ntoken=m\r\n");
  doc.Set("jira", "token", "new");
  doc.Set("JIRA", "instance", "i");
  doc.Set("Extra", "k", "v");
  EXPECT_EQ(doc.Serialize(),
            "[JIRA]\r\nToken=new\r\nx=1\r\ninstance=i\r\n\r\n[Mirel]\r\ntoken=m\r\n[Extra]\r\nk=v\r\n");
}

TEST(IniDocument, ValuesKeepEveryCharacterHoweverLong) {
  const std::string longValue(4000, 'Q');
  IniDocument doc;
  doc.Set("JIRA", "token", longValue);
  EXPECT_EQ(IniDocument::Parse(doc.Serialize()).Get("JIRA", "token"), longValue);
}

TEST(IniDocument, AByteOrderMarkDoesNotHideTheFirstSection) {
  EXPECT_EQ(IniDocument::Parse("\xEF\xBB\xBF[Mirel]\r\ntoken=abc\r\n").Get("Mirel", "token"), "abc");
}
