// What the builder refuses: everything the image cannot express, each with a
// message naming the object file and the symbol or section at fault. Each
// case is a snippet that does the one forbidden thing.
#include <gtest/gtest.h>

#include <random>

#include "sdk/le_bytes.h"
#include "tests/host/builder/builder_test_support.h"

namespace {

using namespace builder_test;

std::string Refusal(const LinkRequest& request) {
  LinkResult result;
  std::string error;
  EXPECT_FALSE(LinkImage(request, result, error));
  return error;
}

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

TEST(Refusals, NamesDefinedTwice) {
  LinkRequest request = Request({});
  request.objects.push_back({"one.o", Snippet("calls_other")});
  request.objects.push_back({"two.o", Snippet("calls_other")});
  EXPECT_EQ(Refusal(request), "two.o: Callee is already defined in one.o");
}

TEST(Refusals, NamesDefinedByBothAnObjectAndTheProjectData) {
  LinkRequest request = Request({"data_refs"});
  request.generated.symbols["table"] = 4;
  std::string error = Refusal(request);
  EXPECT_NE(error.find("table"), std::string::npos) << error;
  EXPECT_NE(error.find("data_refs.o"), std::string::npos) << error;
}

TEST(Refusals, AMissingEntryOrProjectRecord) {
  LinkRequest request = Request({"data_refs"});
  request.entrySymbol = "NoSuchEntry";
  EXPECT_NE(Refusal(request).find("NoSuchEntry"), std::string::npos);
  request.entrySymbol = "table";  // data, not code
  EXPECT_NE(Refusal(request).find("table"), std::string::npos);
  request = Request({"data_refs"});
  request.projectRecordSymbol = "HandlerA";  // code, not data
  EXPECT_NE(Refusal(request).find("HandlerA"), std::string::npos);
}

TEST(Refusals, GeneratedPointersToUnknownNamesOrOutsideTheGeneratedData) {
  LinkRequest request = Request({"data_refs"});
  request.generated.relocations = {{0, "NoSuchThing"}};
  EXPECT_NE(Refusal(request).find("NoSuchThing"), std::string::npos);
  request.generated.relocations = {{13, "table"}};  // 16 bytes: the word would end at 17
  EXPECT_NE(Refusal(request).find("outside"), std::string::npos);
  request.generated.relocations = {};
  request.generated.symbols["Beyond"] = 17;
  EXPECT_NE(Refusal(request).find("Beyond"), std::string::npos);
}

TEST(Refusals, ObjectsThatAreNotCoff) {
  LinkRequest request = Request({});
  request.objects.push_back({"notes.txt", {'h', 'e', 'l', 'l', 'o'}});
  EXPECT_TRUE(Refusal(request).starts_with("notes.txt: "));
}

// Damaged objects are refused with their name, or link; never a read or
// write outside a buffer (the sanitizers watch).
TEST(Refusals, DamagedObjectsFailSafely) {
  std::mt19937 random(7);
  Bytes good = Snippet("calls_main");
  uint32_t symbols = ReadU32LE(good.data() + 8);
  for (int trial = 0; trial < 300; ++trial) {
    Bytes bad = good;
    for (int k = 0; k < 2; ++k) bad[random() % symbols] = static_cast<uint8_t>(random());
    LinkRequest request = Request({"calls_other"});
    request.objects.insert(request.objects.begin(), {"damaged.o", bad});
    LinkResult result;
    std::string error;
    if (!LinkImage(request, result, error)) {
      EXPECT_FALSE(error.empty());
    }
  }
}

}  // namespace
