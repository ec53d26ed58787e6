// What the builder refuses: everything the image cannot express, each with a
// message naming the object file and the symbol or section at fault. Each
// case is a snippet that does the one forbidden thing.
#include <gtest/gtest.h>

#include <random>

#include "sdk/le_bytes.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using namespace builder_test;

TEST(Refusals, EachForbiddenThingIsNamed) {
  const std::pair<std::string, std::vector<const char*>> rows[] = {
      {"refuse_constructor", {".ctors", "constructors"}},
      {"refuse_tls", {".tls$", "thread-local"}},
      {"refuse_unknown_section", {".vellory"}},
      {"refuse_plain_undefined", {"plain_symbol", "not defined"}},
      {"refuse_long_name", {"!Xlib!abcdefghij", "255"}},
      {"refuse_code_address", {"from code to code", "Target"}},
      {"refuse_import_address", {"StringLen", "address"}},
      {"refuse_import_pointer", {"StringLen", "data"}},
      {"refuse_rel32_in_data", {"relative", ".text"}},
      {"refuse_relative_data", {"relative", "value"}},
      {"refuse_import_offset", {"StringLen", "+ 4"}},
      {"refuse_rva", {"type 0x7", ".data", "base"}},
      {"refuse_common", {"shared", "common"}},
  };
  for (const auto& [snippet, words] : rows) {
    SCOPED_TRACE(snippet);
    std::string error = Refusal(Request({snippet}));
    EXPECT_TRUE(error.starts_with(snippet + ".o: ")) << error;
    for (const char* word : words) EXPECT_NE(error.find(word), std::string::npos) << error;
  }
  EXPECT_EQ(Refusal(Request({"refuse_not_offered"})),
            "refuse_not_offered.o: StringFoo is not offered by the runtime");
}

// Requests that go wrong beyond any one object: names defined twice, by two
// objects or by an object and the project data, an entry or project record
// that is missing or of the wrong kind, generated pointers to unknown names
// or outside the generated data (16 bytes here), a file that is not COFF.
TEST(Refusals, RequestsThatCannotBeLinkedAreNamed) {
  const struct {
    const char* says;
    void (*change)(LinkRequest&);
  } cases[] = {
      {"two.o: Callee is already defined in one.o",
       [](LinkRequest& r) {
         r.objects.push_back({"one.o", Snippet("calls_other")});
         r.objects.push_back({"two.o", Snippet("calls_other")});
       }},
      {"table is already defined in data_refs.o", [](LinkRequest& r) { r.generated.symbols["table"] = 4; }},
      {"NoSuchEntry", [](LinkRequest& r) { r.entrySymbol = "NoSuchEntry"; }},
      {"table", [](LinkRequest& r) { r.entrySymbol = "table"; }},  // data, not code
      {"HandlerA", [](LinkRequest& r) { r.projectRecordSymbol = "HandlerA"; }},  // code, not data
      {"NoSuchThing", [](LinkRequest& r) { r.generated.relocations = {{0, "NoSuchThing"}}; }},
      {"outside", [](LinkRequest& r) { r.generated.relocations = {{13, "table"}}; }},  // ends at 17
      {"Beyond", [](LinkRequest& r) { r.generated.symbols["Beyond"] = 17; }},
      {"notes.txt: ", [](LinkRequest& r) { r.objects.push_back({"notes.txt", {'h', 'e', 'l', 'l', 'o'}}); }},
  };
  for (const auto& c : cases) {
    LinkRequest request = Request({"data_refs"});
    c.change(request);
    EXPECT_NE(Refusal(request).find(c.says), std::string::npos) << c.says;
  }
}

// Objects damaged in their headers, relocations and tables, where offsets
// and counts live, are refused with a message or link; never a read or write
// outside a buffer (the sanitizers watch).
TEST(Refusals, DamagedObjectsFailSafely) {
  std::mt19937 random(7);
  for (const char* name : {"calls_main", "comdat_a", "data_refs"}) {
    Bytes good = Snippet(name);
    uint32_t symbols = ReadU32LE(good.data() + 8);
    int refused = 0;
    for (int trial = 0; trial < 300; ++trial) {
      Bytes bad = good;
      for (int k = 0; k < 3; ++k)
        bad[random() % 2 ? random() % symbols : symbols + random() % (bad.size() - symbols)] = uint8_t(random());
      LinkRequest request = Request({"calls_other"});
      request.objects.insert(request.objects.begin(), {"damaged.o", bad});
      LinkResult result;
      std::string error;
      if (LinkImage(request, result, error)) continue;
      ++refused;
      EXPECT_FALSE(error.empty());
    }
    EXPECT_GT(refused, 0) << name;
  }
}

}  // namespace
