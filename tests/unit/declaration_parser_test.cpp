// The declaration parser on the texts plug-ins write, and on their authors'
// mistakes: each refused rather than registered with a garbled name or type.
#include "plugins/declaration_parser.h"

#include <gtest/gtest.h>

namespace {

// "name|params|parameter text|result", each parameter as "name:type" with
// "&" before a ByRef one, blank-separated.
std::string Parts(const Declaration& d) {
  std::string params;
  for (const DeclaredParameter& p : d.params)
    params.append(params.empty() ? "" : " ").append(p.byRef ? "&" : "").append(p.name + ":" + p.type);
  return d.name + "|" + params + "|" + d.paramText + "|" + d.returnType;
}

TEST(DeclarationParser, ReadsNameParametersAndResult) {
  const std::pair<const char*, const char*> rows[] = {
      {"MouseDown(X As Integer, Y As Integer) As Boolean",
       "MouseDown|X:Integer Y:Integer|X As Integer, Y As Integer|Boolean"},
      {"Action", "Action|||"},
      {"  DeleteAllRows()  ", "DeleteAllRows|||"},
      {"Count as integer", "Count|||integer"},
      {"Add( receiver  As  Receiver )", "Add|receiver:Receiver|receiver  As  Receiver|"},
      {"Swap(ByRef a As Integer, ByVal b As Integer)",
       "Swap|&a:Integer b:Integer|ByRef a As Integer, ByVal b As Integer|"},
  };
  for (auto [text, parts] : rows) {
    auto d = ParseDeclaration(text);
    ASSERT_TRUE(d) << text;
    EXPECT_EQ(Parts(*d), parts) << text;
  }
}

TEST(DeclarationParser, RefusesWhatIsNotADeclaration) {
  for (const char* text :
       {"   ", "9Lives", "Bad-Name", "Open(x As Integer", "Add(x Integer)", "Add(x As)", "Add(x As Integer,)",
        "Add(, x As Integer)", "Get() As", "Get() String", "Get() As Str ing", "Add(x As Integer) trailing"})
    EXPECT_FALSE(ParseDeclaration(text)) << '"' << text << '"';
}

}  // namespace
