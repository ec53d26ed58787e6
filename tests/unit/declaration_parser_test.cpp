// The declaration parser on the texts plug-ins write, and on the mistakes a
// plug-in author makes: each must be refused rather than registered with a
// garbled name or type.
#include "plugins/declaration_parser.h"

#include <gtest/gtest.h>

namespace {

TEST(DeclarationParser, ReadsNameParametersAndResult) {
  auto d = ParseDeclaration("InsertRow(row As Integer, text As String)");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->name, "InsertRow");
  ASSERT_EQ(d->params.size(), 2u);
  EXPECT_EQ(d->params[0].name, "row");
  EXPECT_EQ(d->params[0].type, "Integer");
  EXPECT_EQ(d->params[1].name, "text");
  EXPECT_EQ(d->params[1].type, "String");
  EXPECT_EQ(d->paramText, "row As Integer, text As String");
  EXPECT_EQ(d->returnType, "");

  d = ParseDeclaration("List(row As Integer) As String");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->name, "List");
  EXPECT_EQ(d->params.size(), 1u);
  EXPECT_EQ(d->returnType, "String");

  d = ParseDeclaration("MouseDown(X As Integer, Y As Integer) As Boolean");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->params[1].name, "Y");
  EXPECT_EQ(d->returnType, "Boolean");
}

TEST(DeclarationParser, TakesBareNamesEmptyListsClassTypesAndLooseSpacing) {
  auto d = ParseDeclaration("Action");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->name, "Action");
  EXPECT_TRUE(d->params.empty());

  d = ParseDeclaration("  DeleteAllRows()  ");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->name, "DeleteAllRows");
  EXPECT_TRUE(d->params.empty());

  d = ParseDeclaration("Count as integer");
  ASSERT_TRUE(d);
  EXPECT_EQ(d->returnType, "integer");

  d = ParseDeclaration("addActionNotificationReceiver( receiver  As  actionNotificationReceiver )");
  ASSERT_TRUE(d);
  ASSERT_EQ(d->params.size(), 1u);
  EXPECT_EQ(d->params[0].type, "actionNotificationReceiver");

  d = ParseDeclaration("Swap(ByRef a As Integer, ByVal b As Integer)");
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->params[0].byRef);
  EXPECT_FALSE(d->params[1].byRef);
  EXPECT_EQ(d->params[1].name, "b");
}

TEST(DeclarationParser, RefusesWhatIsNotADeclaration) {
  for (const char* text : {"", "   ", "(x As Integer)", "9Lives", "Bad-Name", "Open(x As Integer",
                           "Add(x Integer)", "Add(x As)", "Add(x As Integer,)", "Add(, x As Integer)",
                           "Get() As", "Get() String", "Get() As String extra", "Get() As Str ing",
                           "Add(x As Integer) trailing"})
    EXPECT_FALSE(ParseDeclaration(text)) << '"' << text << '"';
}

}  // namespace
