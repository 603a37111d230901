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
  const auto doc = IniDocument::Parse("[ jira ]\r\n  UserName =  bob  \t\r\n[Mirel]\r\ntoken=x=y\r\n");
  EXPECT_EQ(doc.Get("JIRA", "username"), "bob");
  EXPECT_EQ(doc.Get("mirel", "TOKEN"), "x=y");
  EXPECT_FALSE(doc.Get("JIRA", "token").has_value());
  EXPECT_FALSE(doc.Get("Nope", "username").has_value());
  // A key of another section with the same name is not taken.
  EXPECT_FALSE(doc.Get("Mirel", "username").has_value());
}

TEST(IniDocument, TheFirstOfDuplicatesWins) {
  const auto doc = IniDocument::Parse("[A]\r\nk=1\r\nk=2\r\n[a]\r\nk=3\r\n");
  EXPECT_EQ(doc.Get("a", "k"), "1");
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
  const auto doc = IniDocument::Parse("\xEF\xBB\xBF[Mirel]\r\ntoken=abc\r\n");
  EXPECT_EQ(doc.Get("Mirel", "token"), "abc");
}
