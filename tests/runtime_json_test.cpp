// JSON documents: lenient readers, comments, navigation, composing.
#include <gtest/gtest.h>

#include "runtime/json.h"

namespace {
struct JsonTest : testing::Test {
    void TearDown() override { freeJson(-1); }
};
} // namespace

TEST_F(JsonTest, IntegerAndDoubleRules) {
    ASSERT_EQ(parseJson(1, R"({"a": 2.9, "b": true, "c": "5", "d": -2.9, "e": null,
                              "f": false, "g": 1e30, "h": 9007199254740993})"),
              1);
    const JsonNode* root = jsonRoot(1);
    EXPECT_EQ(jsonInteger(jsonMember(root, "a")), 2);
    EXPECT_EQ(jsonInteger(jsonMember(root, "b")), 1);
    EXPECT_EQ(jsonInteger(jsonMember(root, "c")), 0);
    EXPECT_EQ(jsonInteger(jsonMember(root, "d")), -2);
    EXPECT_EQ(jsonInteger(jsonMember(root, "e")), 0);
    EXPECT_EQ(jsonInteger(jsonMember(root, "f")), 0);
    EXPECT_EQ(jsonInteger(jsonMember(root, "missing")), 0);
    EXPECT_EQ(jsonInteger(jsonMember(root, "g")), INT64_MAX);
    EXPECT_EQ(jsonInteger(jsonMember(root, "h")), 9007199254740993); // exact, not via double
    EXPECT_EQ(jsonDouble(jsonMember(root, "a")), 2.9);
    EXPECT_EQ(jsonDouble(jsonMember(root, "c")), 0.0);
    EXPECT_EQ(jsonString(jsonMember(root, "c")), "5");
    EXPECT_EQ(jsonString(jsonMember(root, "a")), "");
}

TEST_F(JsonTest, NavigationOnWrongTypesGivesNothing) {
    ASSERT_EQ(parseJson(1, R"(// the game's files may carry comments
        {"list": [1, {"x": 3}], /* here too */ "text": "t", "dup": 1, "dup": 2})"),
              1);
    const JsonNode* root = jsonRoot(1);
    const JsonNode* list = jsonMember(root, "list");
    EXPECT_EQ(jsonType(list), kJsonArray);
    EXPECT_EQ(jsonArraySize(list), 2);
    EXPECT_EQ(jsonInteger(jsonMember(jsonElement(list, 1), "x")), 3);
    EXPECT_EQ(jsonElement(list, 2), nullptr);
    EXPECT_EQ(jsonElement(list, -1), nullptr);
    EXPECT_EQ(jsonMember(list, "x"), nullptr);
    EXPECT_EQ(jsonArraySize(root), 0);
    EXPECT_EQ(jsonArraySize(nullptr), 0);
    EXPECT_EQ(jsonType(nullptr), kJsonNull);
    EXPECT_EQ(jsonInteger(jsonMember(root, "dup")), 2);
    EXPECT_EQ(parseJson(2, "{\"a\": }"), 0);
    EXPECT_EQ(jsonRoot(2), nullptr);
    EXPECT_EQ(loadJsonFile(3, "no/such/file.json"), 0);
    EXPECT_EQ(loadJsonFile(3, "."), 0); // a directory is not a document
}

TEST_F(JsonTest, ComposeKeepsOrderTenDigitsAndStableHandles) {
    ASSERT_EQ(createJson(1), 1);
    JsonNode* root = jsonRoot(1);
    jsonSetObject(root);
    JsonNode* first = jsonAddMember(root, "zeta");
    jsonSetObject(first);
    for (int i = 0; i < 100; ++i) jsonSetInteger(jsonAddMember(root, "k" + std::to_string(i)), i);
    // The handle taken before a hundred more members still names the same value.
    jsonSetDouble(jsonAddMember(first, "third"), 1.0 / 3.0);
    jsonSetString(jsonAddMember(first, "quote"), "a\"b\\c\n");
    JsonNode* list = jsonAddMember(first, "list");
    jsonSetArray(list);
    jsonSetBool(jsonAddElement(list), true);
    jsonAddElement(list);
    std::string text = composeJson(1, false);
    std::string start =
        R"({"zeta":{"third":0.3333333333,"quote":"a\"b\\c\n","list":[true,null]},"k0":0,"k1":1,)";
    EXPECT_EQ(text.substr(0, start.size()), start);
    ASSERT_EQ(parseJson(2, composeJson(1, true)), 1);
    EXPECT_EQ(composeJson(2, false), text);
    EXPECT_EQ(jsonMemberCount(jsonRoot(2)), 101);
}

namespace {
std::string nested(int64_t depth, const char* open, const char* close, const std::string& inner) {
    std::string text;
    for (int64_t i = 0; i < depth; ++i) text += open;
    text += inner;
    for (int64_t i = 0; i < depth; ++i) text += close;
    return text;
}
} // namespace

TEST_F(JsonTest, NestingUpToTheLimitLoadsAndDeeperIsAParseError) {
    // Arrays, objects and a mix, at the limit and one past it.
    ASSERT_EQ(parseJson(1, nested(kJsonMaxDepth, "[", "]", "7")), 1);
    const JsonNode* node = jsonRoot(1);
    for (int64_t i = 1; i < kJsonMaxDepth; ++i) node = jsonElement(node, 0);
    EXPECT_EQ(jsonInteger(jsonElement(node, 0)), 7);
    EXPECT_EQ(parseJson(2, nested(kJsonMaxDepth, "{\"a\":", "}", "1")), 1);
    EXPECT_EQ(parseJson(3, nested(kJsonMaxDepth / 2, "[{\"a\":", "}]", "1")), 1);
    EXPECT_EQ(lastJsonError().message, "");
    EXPECT_EQ(parseJson(4, nested(kJsonMaxDepth + 1, "[", "]", "")), 0);
    EXPECT_EQ(jsonRoot(4), nullptr);
    EXPECT_NE(lastJsonError().message.find("nesting deeper than 512"), std::string::npos);
    EXPECT_EQ(lastJsonError().line, 1);
    EXPECT_EQ(lastJsonError().column, kJsonMaxDepth + 1); // the first bracket too many
    EXPECT_EQ(parseJson(4, nested(kJsonMaxDepth + 1, "{\"a\":", "}", "1")), 0);
    // Far deeper, unclosed and with brackets inside strings and comments before the fault: a
    // clean refusal, no crash, and the fault found past the decoys.
    EXPECT_EQ(parseJson(5, std::string(100000, '[')), 0);
    EXPECT_EQ(parseJson(5, "// [[[\n /* [[ */ {\"[\": \"\\\"[\", \"b\":\n" +
                               nested(kJsonMaxDepth, "[", "]", "") + "}"),
              0);
    EXPECT_EQ(lastJsonError().line, 3);
    EXPECT_EQ(lastJsonError().column, kJsonMaxDepth);
}

// Every refusal says where: syntax, a number too large, and files that are not UTF-8 (UTF-16
// with or without its mark, Latin-1 bytes), which also say how to mend them.
TEST_F(JsonTest, ParseErrorsGiveTheirLineAndColumn) {
    struct Case { std::string text; int64_t line, column; const char* says; };
    const std::string utf16 = std::string("{\0\"\0a\0\"\0:\0 \x31\0}\0", 14);
    const Case cases[] = {
        {"{\n  \"a\": 1,\n  \"b\": }", 3, 8, "syntax error"},
        {"[1, 2,]", 1, 7, "syntax error"}, // a trailing comma
        {"{\"big\": \"1e400\",\n \"a\": [1, 1e400]}", 2, 11, "number overflow"},
        {"// 1e400\n-1e400", 2, 1, "number overflow"},
        {"\xff\xfe" + utf16, 1, 1, "the file is UTF-16, not UTF-8: save it as UTF-8"},
        {utf16, 1, 1, "the file is UTF-16, not UTF-8"},
        {"{\"name\": \"Andr\xe9\"}", 1, 15, "the byte 0xE9 is not UTF-8 (Latin-1"},
        {"{}\n// caf\xe9", 2, 7, "save it as UTF-8"},
        {"\"\xff\"", 1, 2, "is not UTF-8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(parseJson(1, c.text), 0);
        EXPECT_EQ(lastJsonError().line, c.line);
        EXPECT_EQ(lastJsonError().column, c.column);
        EXPECT_NE(lastJsonError().message.find(c.says), std::string::npos) << lastJsonError().message;
        EXPECT_EQ(lastJsonError().message.find("[json.exception"), std::string::npos);
    }
    EXPECT_EQ(parseJson(1, "\xef\xbb\xbf{\"caf\xc3\xa9\": 1}"), 1); // UTF-8 with its mark
    EXPECT_EQ(loadJsonFile(1, "no/such/file.json"), 0);
    EXPECT_NE(lastJsonError().message.find("no/such/file.json"), std::string::npos);
    EXPECT_EQ(lastJsonError().line, 0);
    EXPECT_EQ(parseJson(1, "{}"), 1);
    EXPECT_EQ(lastJsonError().message, "");
}

TEST_F(JsonTest, MembersByPositionInTheOrderOfTheText) {
    ASSERT_EQ(parseJson(1, R"({"z": 1, "a": "two", "m": [3]})"), 1);
    const JsonNode* root = jsonRoot(1);
    ASSERT_EQ(jsonMemberCount(root), 3);
    EXPECT_EQ(jsonMemberKey(root, 0), "z");
    EXPECT_EQ(jsonInteger(jsonMemberAt(root, 0)), 1);
    EXPECT_EQ(jsonMemberKey(root, 1), "a");
    EXPECT_EQ(jsonString(jsonMemberAt(root, 1)), "two");
    EXPECT_EQ(jsonMemberKey(root, 2), "m");
    EXPECT_EQ(jsonArraySize(jsonMemberAt(root, 2)), 1);
    EXPECT_EQ(jsonMemberKey(root, 3), "");
    EXPECT_EQ(jsonMemberAt(root, -1), nullptr);
    EXPECT_EQ(jsonMemberAt(jsonMemberAt(root, 2), 0), nullptr); // an array has no members
    EXPECT_EQ(jsonMemberKey(nullptr, 0), "");
}
