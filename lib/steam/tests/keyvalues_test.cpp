#include "steam/keyvalues.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "io/binary_stream.h"
#include "files.h"

namespace lumo::util {
namespace {

// A compact, order-preserving rendering of a node: values as key=value; then blocks as key{...}.
std::string render(const KeyValues& node) {
    std::string out;
    for (const auto& [key, value] : node.values()) out += key + "=" + value + ";";
    for (const auto& [key, child] : node.children()) out += key + "{" + render(child) + "}";
    return out;
}

std::string parsed(const std::string& text) {
    KeyValues node;
    node.parse(text);
    return render(node);
}

struct ReadCase {
    const char* name;
    std::string text;
    std::string expected;
};

TEST(KeyValuesReader, ReadsTokensByTheFormatRules) {
    const ReadCase cases[] = {
        {"empty text", "", ""},
        {"pairs in a row", R"("ka" "va" "kb" "vb")", "ka=va;kb=vb;"},
        {"value then block", R"("ka" "va" "kb" { "kc" "vc" })", "ka=va;kb{kc=vc;}"},
        {"nested blocks", R"("a" { "b" { "c" "d" } "e" "f" } "g" "h")", "g=h;a{e=f;b{c=d;}}"},
        {"keys lowercased, values kept", R"("KeY" "VaLuE")", "key=VaLuE;"},
        {"last value wins", R"("k" "one" "K" "two")", "k=two;"},
        {"last block wins, not merged", R"("k" { "a" "1" } "K" { "b" "2" })", "k{b=2;}"},
        {"same key names a value and a block", R"("k" "v" "k" { "x" "y" })", "k=v;k{x=y;}"},
        {"leading brace yields nothing", R"({ "a" "b" } "c" "d")", ""},
        {"brace without pending key stops", R"("ka" "va" { "kb" "vb" } "kc" "vc")", "ka=va;"},
        {"brace without pending key stops inside a block", R"("b" { "x" "1" { "y" "2" } "z" "3" } "w" "4")",
         "w=4;b{x=1;}"},
        {"empty quoted string is never a key", R"("" "x" "y")", "x=y;"},
        {"empty quoted string can be a value", R"("k" "" "m" "n")", "k=;m=n;"},
        {"unquoted words and stray closing braces ignored", R"(} word "k" 12 "v" }} // note)", "k=v;"},
        {"braces inside a quoted value outside blocks", R"("k" "{v}")", "k={v};"},
        {"line ends kept inside quotes", "\"k\" \"one\r\ntwo\"", "k=one\r\ntwo;"},
        {"backslash-quote ends the string", R"("k" "a\" "b" "c")", "b=c;k=a\\;"},
        {"Dota 2's backslash key, and the entries after it",
         "\"Keys\"\n{\n\t\"Inventory1\"\n\t{\n\t\t\"Key\"\t\t\"\\\"\n\t}\n"
         "\t\"Inventory2\"\n\t{\n\t\t\"Key\"\t\t\"x\"\n\t}\n}\n",
         "keys{inventory1{key=\\;}inventory2{key=x;}}"},
        {"doubled backslash stays doubled", R"("path" "D:\\SteamLibrary")", "path=D:\\\\SteamLibrary;"},
        // The brace inside "v}x" closes the block; the quote after it opens a new string.
        {"closing brace in a quoted value ends the block", R"("b" { "k1" "v1" "k2" "v}x" "y" "z")",
         " = ;b{k1=v1;}"},
        // Quotes are not seen while a block is collected, so "{" counts as an opening brace.
        {"opening brace in a quoted value inside a block", R"("b" { "k" "{" "x" "y" } "after" "z" } "c" "d")",
         "c=d;b{after=z;k={;x=y;}"},
        {"unfinished string dropped", R"("a" "1" "b" "unterminated)", "a=1;"},
        {"pending key at end dropped", R"("a" "1" "b")", "a=1;"},
        {"unfinished block dropped", R"("a" "1" "b" { "c" "2")", "a=1;"},
        {"unfinished inner block drops the outer one", R"("a" { "b" { "c" "d" } "e" "f")", ""},
        {"bytes above 127 pass through",
         "\"\xC3\x84"
         "BC\" \"\xC3\x96\xFF\"",
         "\xC3\x84"
         "bc=\xC3\x96\xFF;"},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parsed(c.text), c.expected);
    }
}

TEST(KeyValuesReader, EntriesKeepTheirCaseOrderAndRepeats) {
    KeyValues node;
    node.parse("\"config\" { } \"w\"\t\"+forward\" \"JOY1\"\t\"+jump\" \"b\" { \"x\" \"1\" } \"W\" \"+back\"");
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"w", "+forward"}, {"JOY1", "+jump"}, {"W", "+back"}};
    EXPECT_EQ(node.entriesInOrder(), expected);
    EXPECT_EQ(node.child("b").entriesInOrder().size(), 1u);
}

// The same reading, telling where the text first breaks the format; what is kept is what
// parse() keeps.
TEST(KeyValuesReader, FaultsAreNamedWithTheirLine) {
    const struct {
        const char* name;
        std::string text;
        const char* cause;  // "" for well-formed text
        int line;
    } cases[] = {
        {"an integration file", "\"a\"\n{\n\t\"uri\" \"http://x/\"\n}\n", "", 0},
        {"nested blocks and a comment", "// comment\n\"a\" { \"b\" { \"c\" \"d\" } }", "", 0},
        {"a quote never closed", "\"a\"\n{\n\t\"uri\" \"http://x/\n}\n", "a quoted text is never closed", 3},
        {"a stray closing brace", "\"a\" \"b\"\n}\n", "a closing } without an opening {", 2},
        {"a block never closed", "\"a\"\n{\n\t\"uri\" \"x\"\n", "a block opened on line 2 is never closed", 4},
        {"a key without a value in a block", "\"a\"\n{\n\t\"data\"\n}\n", "missing { or a value after \"data\"", 4},
        {"a brace with no key before it", "{ \"a\" \"b\" }", "a { where a key belongs", 1},
        {"unquoted keys are no keys", "a { b c }", "a { where a key belongs", 1},
        {"a key at the end", "\"a\"", "missing { or a value after \"a\"", 1},
        // The first fault by position, though the block's is found first.
        {"the earlier of two", "\"a\" { \"b\" }\n}", "missing { or a value after \"b\"", 1},
        {"a brace in a quoted value ends the block", "\"a\" {\n\"k\" \"v}\" }", "a quoted text is never closed", 2},
        {"too deep", std::string(KeyValues::kMaxDepth + 1, '\0'), "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.text;
        if (text.front() == '\0') {
            text.clear();
            for (int depth = 0; depth <= KeyValues::kMaxDepth; ++depth) text += "\"a\" {\n";
            text += std::string(KeyValues::kMaxDepth + 1, '}');
        }
        KeyValues reported;
        const std::optional<KeyValuesFault> fault = reported.parseReportingFault(text);
        KeyValues plain;
        plain.parse(text);
        EXPECT_EQ(render(reported), render(plain));
        if (std::string(c.name) == "too deep") {
            ASSERT_TRUE(fault);
            EXPECT_EQ(fault->cause, "blocks nested deeper than 64");
            EXPECT_EQ(fault->line, KeyValues::kMaxDepth + 1);
            continue;
        }
        EXPECT_EQ(fault ? fault->cause : "", c.cause);
        EXPECT_EQ(fault ? fault->line : 0, c.line);
    }
}

TEST(KeyValuesReader, EntriesOfBothKindsKeepTheirLines) {
    KeyValues node;
    node.parse("\"Top\" \"1\"\n\"Block\"\n{\n\t\"In\" \"x\"\n}\n\"top\" \"2\"");
    ASSERT_EQ(node.entries().size(), 3u);
    EXPECT_EQ(node.entries()[0].key, "Top");
    EXPECT_EQ(node.entries()[1].key, "Block");
    EXPECT_TRUE(node.entries()[1].block);
    EXPECT_EQ(node.entries()[1].line, 2);
    EXPECT_EQ(node.entries()[2].line, 6);
    EXPECT_EQ(node.child("block").entries().front().line, 4);
}

TEST(KeyValuesReader, ParseAddsToWhatTheNodeHolds) {
    KeyValues node;
    node.parse(R"("a" "1" "b" { "x" "y" })");
    node.parse(R"("a" "2" "c" "3")");
    EXPECT_EQ(render(node), "a=2;c=3;b{x=y;}");
}

TEST(KeyValuesReader, LookupsIgnoreCaseOfTheGivenKey) {
    KeyValues node;
    node.parse(R"("Value" "V" "Block" { "Inner" "I" } "Both" "b" "both" { })");

    struct Lookup {
        const char* key;
        bool has;
        std::string value;
        std::string child;
    };
    const Lookup lookups[] = {
        {"VALUE", true, "V", ""}, {"value", true, "V", ""},   {"BLOCK", true, "", "inner=I;"},
        {"both", true, "b", ""},  {"missing", false, "", ""}, {"", false, "", ""},
    };
    for (const Lookup& l : lookups) {
        SCOPED_TRACE(l.key);
        EXPECT_EQ(node.has(l.key), l.has);
        EXPECT_EQ(node.value(l.key), l.value);
        EXPECT_EQ(render(node.child(l.key)), l.child);
    }
    // Lowercasing is ASCII only: a non-ASCII capital does not match its small letter.
    KeyValues accented;
    accented.parse("\"\xC3\x84\" \"x\"");
    EXPECT_TRUE(accented.has("\xC3\x84"));
    EXPECT_FALSE(accented.has("\xC3\xA4"));
}

// Builds "k"{"k"{ ... "leaf" "v" ... }} with `levels` blocks.
std::string nestedBlocks(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += "\"k\"{";
    text += "\"leaf\" \"v\"";
    text.append(static_cast<std::size_t>(levels), '}');
    return text;
}

int keptDepth(const KeyValues& root, bool* leafKept) {
    int depth = 0;
    const KeyValues* node = &root;
    while (node->children().count("k") != 0) {
        node = &node->children().at("k");
        ++depth;
    }
    *leafKept = node->value("leaf") == "v";
    return depth;
}

TEST(KeyValuesReader, BlocksBeyondTheDepthLimitAreDropped) {
    struct DepthCase {
        int levels;
        int kept;
        bool leafKept;
    };
    const DepthCase cases[] = {
        {KeyValues::kMaxDepth - 1, KeyValues::kMaxDepth - 1, true},
        {KeyValues::kMaxDepth, KeyValues::kMaxDepth, true},
        {KeyValues::kMaxDepth + 1, KeyValues::kMaxDepth, false},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(c.levels);
        KeyValues node;
        node.parse(nestedBlocks(c.levels) + R"("after" "x")");
        bool leafKept = false;
        EXPECT_EQ(keptDepth(node, &leafKept), c.kept);
        EXPECT_EQ(leafKept, c.leafKept);
        // Dropping a deep block does not lose what follows it.
        EXPECT_EQ(node.value("after"), "x");
    }
}

TEST(KeyValuesReader, HugeNestingIsReadQuicklyAndSafely) {
    const auto start = std::chrono::steady_clock::now();

    KeyValues open;
    open.parse("\"k\" " + std::string(100000, '{'));
    EXPECT_TRUE(open.values().empty());
    EXPECT_TRUE(open.children().empty());

    KeyValues balanced;
    balanced.parse("\"k\" " + std::string(100000, '{') + std::string(100000, '}') + R"( "a" "b")");
    EXPECT_EQ(render(balanced), "a=b;k{}");

    KeyValues deep;
    deep.parse(nestedBlocks(100000));
    bool leafKept = true;
    EXPECT_EQ(keptDepth(deep, &leafKept), KeyValues::kMaxDepth);
    EXPECT_FALSE(leafKept);

    // A reader that rescans each level would take minutes here.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

std::string lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

// The straightforward reader: each block's text is copied out and read again by a nested
// call. Slow on deep nesting but plainly right; the real reader must agree with it.
struct Reference {
    std::map<std::string, std::string> values;
    std::map<std::string, Reference> children;
};

void referenceRead(Reference& node, const std::string& text, int depth) {
    enum { between, quoted, block } mode = between;
    std::string str, key, blockText;
    int nesting = 0;
    for (char c : text) {
        if (mode == between) {
            if (c == '"') {
                str.clear();
                mode = quoted;
            } else if (c == '{') {
                if (key.empty()) return;
                nesting = 0;
                blockText.clear();
                mode = block;
            }
        } else if (mode == quoted) {
            if (c != '"') {
                str += c;
                continue;
            }
            if (!key.empty()) {
                node.values[lower(key)] = str;
                key.clear();
            } else {
                key = str;
            }
            mode = between;
        } else if (c == '}' && nesting == 0) {
            if (depth < KeyValues::kMaxDepth) {
                Reference child;
                referenceRead(child, blockText, depth + 1);
                node.children[lower(key)] = child;
            }
            key.clear();
            mode = between;
        } else {
            if (c == '{') ++nesting;
            if (c == '}') --nesting;
            blockText += c;
        }
    }
}

std::string render(const Reference& node) {
    std::string out;
    for (const auto& [key, value] : node.values) out += key + "=" + value + ";";
    for (const auto& [key, child] : node.children) out += key + "{" + render(child) + "}";
    return out;
}

TEST(KeyValuesReader, AgreesWithTheCopyingReaderOnArbitraryText) {
    // Short keys from a small alphabet so that replacements, braces in strings and
    // early stops all occur often.
    const char alphabet[] = {'"', '"', '"', '{', '{', '}', '}', 'a', 'B', ' ', '\\'};
    std::mt19937 random(570);
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(random() % 60);
        for (int i = 0; i < length; ++i) text += alphabet[random() % sizeof alphabet];
        SCOPED_TRACE(text);
        Reference expected;
        referenceRead(expected, text, 0);
        ASSERT_EQ(parsed(text), render(expected));
    }
}

TEST(KeyValuesReader, ParseFileReadsTheWholeFile) {
    const lumo::test::TempFolder folder("lumo-kv");
    const std::filesystem::path file = folder.path() / "appmanifest.vdf";
    lumo::test::writeFile(file, "\xEF\xBB\xBF\"AppState\"\r\n{\r\n\t\"installdir\"\t\t\"" +
                                    std::string(3000, 'x') +  // spans several read chunks
                                    "\"\r\n}\r\n");
    KeyValues node;
    node.parseFile(file.string());
    std::filesystem::remove(file);
    EXPECT_EQ(node.child("appstate").value("installdir"), std::string(3000, 'x'));

    KeyValues missing;
    try {
        missing.parseFile(file.string());
        ADD_FAILURE() << "a missing file must raise";
    } catch (const BinaryStreamException& e) {
        EXPECT_STREQ(e.what(), "Failed to open file!");
    }
}

}  // namespace
}  // namespace lumo::util
