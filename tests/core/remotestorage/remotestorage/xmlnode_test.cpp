#include "core/remotestorage/remotestorage/xmlnode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/strings.h"

namespace {

std::string Repeat(const std::string& piece, size_t times) {
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

// Attributes sort by UTF-16 code units: the surrogate pair comes before U+FF21.
TEST(XmlNodeDocument, EscapesAmpersandFirstQuotesOnlyInAttributesAndSortsThem) {
    XmlNode node(L"a<b");
    node.attributes[L"z"] = L"<&\"";
    node.attributes[L"k"] = L"&lt;";
    node.attributes[L"\uFF21"] = L"3";
    node.attributes[L"\U0001F600"] = L"2";
    node.attributes[L"B"] = L"0";
    node.AddValue(L"t", L"<&\"");
    node.AddValue(L"t", L"&lt;");
    node.AddChild(L"c").AddValue(L"id", L"1");
    node.AddChild(L"empty");
    EXPECT_EQ(node.ToXml(),
              L"<a&lt;b B=\"0\" k=\"&amp;lt;\" z=\"&lt;&amp;&quot;\" \U0001F600=\"2\" \uFF21=\"3\">"
              L"<t>&lt;&amp;\"</t><t>&amp;lt;</t><c><id>1</id></c><empty></empty></a&lt;b>");
    EXPECT_EQ(XmlNode().ToXml(), L"<></>");
}

TEST(XmlNodeValues, GetValueFoldsAsciiOnlyFirstKeyWinsAndQueriesEncodeOnlyWhatAUrlCannotHold) {
    XmlNode node(L"ignored");
    node.attributes[L"a"] = L"ignored";
    node.AddChild(L"ignored");
    node.AddValue(L"a", L"1");
    node.AddValue(L"b", L"x y");
    node.AddValue(L"c", L"a&b=c%d+e/f");
    node.AddValue(L"\u00C4", L"中");
    node.AddValue(L"e", L"Az09-._~");
    node.AddValue(L"f", L"#\t\x7F");
    node.AddValue(L"A", L"2");
    EXPECT_EQ(node.ToQueryString(L'&', L'='),
              L"a=1&b=x%20y&c=a&b=c%d+e/f&%C3%84=%E4%B8%AD&e=Az09-._~&f=%23%09%7F&A=2");
    EXPECT_EQ(XmlNode(L"x").ToQueryString(L'&', L'='), L"");
    EXPECT_EQ(node.GetValue(L"A"), L"1");
    EXPECT_EQ(node.GetValue(L"\u00C4"), L"中");
    EXPECT_EQ(node.GetValue(L"\u00E4"), L"");  // only A-Z fold
    EXPECT_EQ(node.GetValue(L"missing"), L"");
}

// Read back through ToXml, which writes values before children: where an element
// lands (value, child, attribute) and its decoded text show at once.
TEST(XmlNodeParse, RepliesFillValuesChildrenAndAttributes) {
    struct Case {
        const wchar_t* reply;
        const wchar_t* tree;
        size_t children;
    };
    const std::vector<Case> cases = {
        {L"<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- c -->\n"
         L"<r v=\"2\">\n  <result>ok</result>\n  <item><id>1</id></item>\n  <empty/>\n</r>",
         L"<r v=\"2\"><result>ok</result><item><id>1</id></item><empty></empty></r>", 2},
        // A self-closing root keeps only its attributes.
        {L"<r b=\"2\" a=\"&lt;1&gt;\"/>", L"<r a=\"&lt;1&gt;\" b=\"2\"></r>", 0},
        {L"<r><name>报告 2024.doc</name><nick>&#x674E;&#26126;</nick><amp>a&amp;b&lt;c</amp>"
         L"<emoji>\U0001F600</emoji></r>",
         L"<r><name>报告 "
         L"2024.doc</name><nick>李明</nick><amp>a&amp;b&lt;c</amp><emoji>\U0001F600</emoji></r>",
         0},
        // Blanks inside names survive.
        {L"<r>\n <name>a  b.txt </name>\n <lead>  x\ty  </lead>\n</r>",
         L"<r><name>a  b.txt </name><lead>  x\ty  </lead></r>", 0},
        // Only the first text node counts; a comment before it makes a structured child.
        {L"<r><v>first<sub>dropped</sub>tail</v><w><sub>1</sub>ignored text</w><x><!-- c -->late</x></r>",
         L"<r><v>first</v><w><sub>1</sub></w><x></x></r>", 2},
        // Repeated records keep document order and nesting.
        {L"<r><list><item><id>1</id><sharer><userId>u</userId></sharer></item><item><id>2</id></item></"
         L"list></r>",
         L"<r><list><item><id>1</id><sharer><userId>u</userId></sharer></item><item><id>2</id></item></"
         L"list></r>",
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(c.reply));
        XmlNode reply;
        ASSERT_EQ(reply.Parse(c.reply), S_OK);
        EXPECT_EQ(reply.ToXml(), c.tree);
        EXPECT_EQ(reply.children.size(), c.children);
    }
}

// Malformed replies, and replies built to exhaust the stack, the memory or the
// processor, fail and leave the node as it was.
TEST(XmlNodeParse, BadOrHostileXmlFailsAndLeavesTheNodeUnchanged) {
    std::string manyAttributes = "<r";
    for (int i = 0; i < 150000; ++i)
        manyAttributes += " a" + std::to_string(i) + "=\"\"";
    const std::vector<std::string> bad = {
        "",
        "<r><a>1</b></r>",
        "<r a=\"1></r>",
        // "<?x>" is unknown markup that ends at its ">"; the nesting
        // behind would overflow the stack of a recursive parser.
        "<?x>" + Repeat("<a>", 40000),
        Repeat("<\x7f>", 40000),
        Repeat("<a>", 200000) + Repeat("</a>", 200000),
        "<r><?x" + Repeat("<a>", 40000),
        "<r><!--" + Repeat("<a>", 300),
        "<r><![CDATA[" + Repeat("<a>", 300),
        "<r><?xml version='>" + Repeat("<a>", 300) + "'?>",
        manyAttributes + "/>",
    };
    for (const std::string& text : bad) {
        SCOPED_TRACE(text.substr(0, 40));
        XmlNode node(L"keep");
        node.AddValue(L"k", L"v");
        EXPECT_EQ(node.Parse(Utf8ToWide(text)), E_FAIL);
        EXPECT_EQ(node.name, L"keep");
        EXPECT_EQ(node.values.size(), 1u);
        EXPECT_TRUE(node.children.empty());
    }
}

// Many records side by side, self-closing tags, and markup characters in
// attribute values, comments and CDATA do not add up to depth.
TEST(XmlNodeParse, AMillionItemListingAndDeepButBoundedNestingStillParse) {
    const std::string opens = Repeat("<x>", 300);
    std::string listing = "<?xml version=\"1.0\" encoding=\"utf-8\" ?><result><!-- " + opens +
                          " --><c><![CDATA[" + opens + "]]></c>";
    for (int i = 0; i < 1000000; ++i)
        listing += "<item a=\"x/>y\" b='<'><name>file" + std::to_string(i) + ".txt</name><fileId>" +
                   std::to_string(i) + "</fileId><e/></item>";
    XmlNode node;
    ASSERT_EQ(S_OK, node.Parse(Utf8ToWide(listing + "</result>")));
    EXPECT_EQ(node.GetValue(L"c"), Utf8ToWide(opens));
    ASSERT_EQ(node.children.size(), 1000000u);
    EXPECT_EQ(L"file999999.txt", node.children.back().GetValue(L"name"));

    const std::wstring nested = Utf8ToWide(Repeat("<n>", 200) + "<v>deep</v>" + Repeat("</n>", 200));
    XmlNode deep;
    ASSERT_EQ(deep.Parse(nested), S_OK);
    EXPECT_EQ(deep.ToXml(), nested);
}

// Collects the records handed over during a parse.
class CollectingSink : public XmlChildSink {
public:
    void TakeChild(XmlNode& child) override { taken.push_back(std::move(child)); }
    std::vector<XmlNode> taken;
};

TEST(XmlNodeParse, AChildSinkGetsTheRecordsTheTreeWouldHold) {
    const wchar_t* const documents[] = {
        L"<?xml version=\"1.0\"?><r a=\"1\"><result>ok</result><item><id>1</id></item>text<!-- c -->"
        L"<item x='>'><id>2</id><sharer><userId>u</userId></sharer></item><n>9</n><e/>"
        L"<c><![CDATA[<item>]]></c></r><!-- after -->",
        L"<r/>",
        L"<r><item><id>1</id></item><item><id>2</id></item></r><second><item/></second>",
        L"<r><item><id>1</id></item><item><id>2</b></item></r>",
        L"<r><item><id>1</id></item><item>",
        L"junk<r><item/></r>",
    };
    for (const wchar_t* document : documents) {
        SCOPED_TRACE(WideToUtf8(document));
        XmlNode tree;
        const HRESULT treeResult = tree.Parse(document);
        CollectingSink sink;
        XmlNode streamed;
        streamed.childSink = &sink;
        ASSERT_EQ(streamed.Parse(document), treeResult);
        if (FAILED(treeResult))
            continue;
        EXPECT_TRUE(streamed.children.empty());
        ASSERT_EQ(sink.taken.size(), tree.children.size());
        for (size_t i = 0; i < tree.children.size(); ++i)
            EXPECT_EQ(sink.taken[i].ToXml(), tree.children[i].ToXml());
        tree.children.clear();
        EXPECT_EQ(streamed.ToXml(), tree.ToXml());
    }
}

}  // namespace
