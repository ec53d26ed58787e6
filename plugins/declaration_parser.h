// Declarations of methods and events as plug-ins write them:
// "InsertRow(row As Integer, text As String)", "List(row As Integer) As String",
// "Action". Pure text handling, so the host tests run it too.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct DeclaredParameter {
  std::string name;
  std::string type;
  bool byRef = false;
};

struct Declaration {
  std::string name;
  std::string paramText;   // what stood between the parentheses, trimmed
  std::vector<DeclaredParameter> params;
  std::string returnType;  // empty: no result
};

// The parsed declaration, or nothing when `text` is not one: an empty or
// non-identifier name, an unclosed parenthesis, a parameter without
// "As type", or anything left over after the result type.
std::optional<Declaration> ParseDeclaration(std::string_view text);
