// The declaration parser on the texts plug-ins write, and on the mistakes a
// plug-in author makes: each must be refused rather than registered with a
// garbled name or type.
#include "plugins/declaration_parser.h"

#include <gtest/gtest.h>

namespace {

// Each parameter as "name:type", "&" before a ByRef one, blank-separated.
std::string Params(const Declaration& d) {
  std::string s;
  for (const DeclaredParameter& p : d.params) {
    if (!s.empty()) s += ' ';
    s.append(p.byRef ? "&" : "").append(p.name).append(":").append(p.type);
  }
  return s;
}

TEST(DeclarationParser, ReadsNameParametersAndResult) {
  const struct {
    const char* text;
    const char* name;
    const char* params;
    const char* paramText;
    const char* result;
  } rows[] = {
      {"InsertRow(row As Integer, text As String)", "InsertRow", "row:Integer text:String",
       "row As Integer, text As String", ""},
      {"List(row As Integer) As String", "List", "row:Integer", "row As Integer", "String"},
      {"MouseDown(X As Integer, Y As Integer) As Boolean", "MouseDown", "X:Integer Y:Integer",
       "X As Integer, Y As Integer", "Boolean"},
      {"Action", "Action", "", "", ""},
      {"  DeleteAllRows()  ", "DeleteAllRows", "", "", ""},
      {"Count as integer", "Count", "", "", "integer"},
      {"addActionNotificationReceiver( receiver  As  actionNotificationReceiver )",
       "addActionNotificationReceiver", "receiver:actionNotificationReceiver",
       "receiver  As  actionNotificationReceiver", ""},
      {"Swap(ByRef a As Integer, ByVal b As Integer)", "Swap", "&a:Integer b:Integer",
       "ByRef a As Integer, ByVal b As Integer", ""},
  };
  for (const auto& r : rows) {
    auto d = ParseDeclaration(r.text);
    ASSERT_TRUE(d) << r.text;
    EXPECT_EQ(d->name, r.name) << r.text;
    EXPECT_EQ(Params(*d), r.params) << r.text;
    EXPECT_EQ(d->paramText, r.paramText) << r.text;
    EXPECT_EQ(d->returnType, r.result) << r.text;
  }
}

TEST(DeclarationParser, RefusesWhatIsNotADeclaration) {
  for (const char* text : {"", "   ", "(x As Integer)", "9Lives", "Bad-Name", "Open(x As Integer",
                           "Add(x Integer)", "Add(x As)", "Add(x As Integer,)", "Add(, x As Integer)",
                           "Get() As", "Get() String", "Get() As String extra", "Get() As Str ing",
                           "Add(x As Integer) trailing"})
    EXPECT_FALSE(ParseDeclaration(text)) << '"' << text << '"';
}

}  // namespace
