#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"
#include "platform/XmlDocument.h"
#include "platform/XmlObjects.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

using namespace zelk;

namespace {

const char* const kState =
    "<ZELK><SEARCH_STATE control=\"ZELK_MANAGEDAREA.SEARCH\"></SEARCH_STATE></ZELK>";

} // namespace

TEST(Xml, BuildSerialiseAndReadBack) {
    XmlDocument doc;
    doc.LoadXml(kState);
    XmlNode state = doc.SelectSingleNode("ZELK/SEARCH_STATE");
    ASSERT_FALSE(state.IsNull());
    EXPECT_EQ(state.Attribute("control"), "ZELK_MANAGEDAREA.SEARCH");

    const std::string tricky = "  A & B <c> \"d\" 'e'  ";
    XmlNode name = doc.CreateElement("MANAGED_AREA_NAME");
    state.AppendChild(name);
    // The created node is the one in the tree: later changes land in the document.
    name.SetAttribute("comparison", "2");
    name.SetAttribute("name_or_alias", "a\"b'c<&>");
    name.SetText(tricky);
    XmlNode county = state.AppendChild(doc.CreateElement("MANAGED_AREA_COUNTY"));
    county.SetText("Añasco\nline two");

    std::string text = doc.Xml();
    XmlDocument back;
    back.LoadXml(text);
    XmlNode n = back.SelectSingleNode("ZELK/SEARCH_STATE/MANAGED_AREA_NAME");
    ASSERT_FALSE(n.IsNull());
    EXPECT_EQ(n.Text(), tricky);
    EXPECT_EQ(n.Attribute("comparison"), "2");
    EXPECT_EQ(n.Attribute("name_or_alias"), "a\"b'c<&>");
    EXPECT_TRUE(n.GetAttribute("missing").IsNull());
    EXPECT_EQ(n.Attribute("missing"), "");
    EXPECT_EQ(back.SelectSingleNode("//MANAGED_AREA_COUNTY").Text(), "Añasco\nline two");

    auto kids = back.DocumentElement().SelectSingleNode("SEARCH_STATE").ChildNodes();
    ASSERT_EQ(kids.size(), 2u);
    EXPECT_EQ(kids[0].Name(), "MANAGED_AREA_NAME");
    EXPECT_EQ(kids[1].Name(), "MANAGED_AREA_COUNTY");
    EXPECT_EQ(kids[1].Parent().Name(), "SEARCH_STATE");
    EXPECT_EQ(back.Xml(), text);
}

TEST(Xml, DetachedNodesStayOutOfTheDocument) {
    XmlDocument doc;
    EXPECT_TRUE(doc.DocumentElement().IsNull());
    XmlNode loose = doc.CreateElement("Item"); // created, never appended
    XmlNode root = doc.AppendChild(doc.CreateElement("Root"));
    EXPECT_EQ(doc.DocumentElement(), root);
    EXPECT_EQ(doc.Xml(), "<Root/>");
    EXPECT_TRUE(doc.SelectNodes("//Item").empty());
    EXPECT_THROW(doc.AppendChild(doc.CreateElement("Second")), ComError);

    XmlNode a = root.AppendChild(doc.CreateElement("Item"));
    a.SetAttribute("name", "x");
    XmlNode b = root.AppendChild(doc.CreateElement("Item"));
    b.SetAttribute("name", "y");
    EXPECT_EQ(doc.SelectNodes("//Item").size(), 2u);
    EXPECT_EQ(doc.SelectSingleNode("Root/Item[@name='y']"), b);
    EXPECT_TRUE(doc.SelectSingleNode("Root/Item[@name='z']").IsNull());

    // A removed or overwritten node stays usable and can go back in.
    root.RemoveChild(a);
    EXPECT_EQ(doc.SelectNodes("//Item").size(), 1u);
    EXPECT_EQ(a.Attribute("name"), "x");
    root.AppendChild(a);
    root.SetText("plain");
    EXPECT_EQ(doc.Xml(), "<Root>plain</Root>");
    EXPECT_EQ(b.Attribute("name"), "y");
    (void)loose;

    // A node cannot go inside itself; a node from another document is copied.
    XmlNode inner = b.AppendChild(doc.CreateElement("Inner"));
    EXPECT_THROW(inner.AppendChild(b), ComError);
    XmlDocument other;
    other.LoadXml("<Other><Leaf k=\"1\">t</Leaf></Other>");
    XmlNode copy = root.AppendChild(other.SelectSingleNode("//Leaf"));
    EXPECT_EQ(copy.Attribute("k"), "1");
    EXPECT_EQ(other.SelectNodes("//Leaf").size(), 1u);

    EXPECT_THROW(doc.CreateElement("bad name"), ComError);
    EXPECT_THROW(root.SetAttribute("", "v"), ComError);
    EXPECT_THROW(doc.SelectNodes("Root/[["), ComError);
    EXPECT_THROW(XmlNode().SetText("x"), ComError);
    EXPECT_TRUE(XmlNode().SelectSingleNode("x").IsNull());
}

TEST(Xml, MalformedTextRaisesAndKeepsTheDocument) {
    XmlDocument doc;
    doc.LoadXml(kState);
    XmlNode held = doc.DocumentElement();
    for (const char* bad : {"<ZELK><SEARCH_STATE></ZELK>", "", "not xml", "<a b='1></a>"}) {
        try {
            doc.LoadXml(bad);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const ComError& e) {
            EXPECT_EQ(e.Number(), err::XmlParse);
            EXPECT_NE(e.Description().find("offset"), std::string::npos) << e.Description();
        }
    }
    EXPECT_EQ(doc.Xml(), "<ZELK><SEARCH_STATE control=\"ZELK_MANAGEDAREA.SEARCH\"/></ZELK>");
    // Nodes outlive a reload of their document.
    doc.LoadXml("<Other/>");
    EXPECT_EQ(held.Name(), "ZELK");
    EXPECT_EQ(doc.DocumentElement().Name(), "Other");
}

TEST(Xml, SaveAndLoadFile) {
    auto path = (std::filesystem::temp_directory_path() /
                 ("zelk_xml_test_" + std::to_string(::getpid()) + ".xml"))
                    .string();
    XmlDocument doc;
    doc.LoadXml("<?xml version=\"1.0\"?><A x=\"&amp;\"><B>1 &lt; 2</B></A>");
    doc.Save(path);
    XmlDocument back;
    back.Load(path);
    std::remove(path.c_str());
    EXPECT_EQ(back.SelectSingleNode("A/B").Text(), "1 < 2");
    EXPECT_EQ(back.DocumentElement().Attribute("x"), "&");
    try {
        back.Load(path);
        ADD_FAILURE() << "missing file loaded";
    } catch (const ComError& e) {
        EXPECT_EQ(e.Number(), err::FileNotFound);
    }
    EXPECT_EQ(back.DocumentElement().Attribute("x"), "&");
}

TEST(Xml, LateBoundDocument) {
    ProgIdRegistry registry;
    RegisterXmlClasses(registry);
    Variant doc(registry.Create("msxml2.domdocument"));
    EXPECT_EQ(TypeName(doc), "DOMDocument");
    EXPECT_FALSE(CBool(CallByName(doc, "loadXML", CallKind::Method, {Variant("<a>")})));
    Variant pe = CallByName(doc, "parseError", CallKind::PropertyGet);
    EXPECT_EQ(CLng(CallByName(pe, "errorCode", CallKind::PropertyGet)), err::XmlParse);

    ASSERT_TRUE(CBool(CallByName(doc, "loadXML", CallKind::Method, {Variant(kState)})));
    Variant state =
        CallByName(doc, "selectSingleNode", CallKind::Method, {Variant("ZELK/SEARCH_STATE")});
    Variant el = CallByName(doc, "createElement", CallKind::Method, {Variant("STATENAME")});
    CallByName(state, "appendChild", CallKind::Method, {el});
    RequireObject(el)->Let("text", Variant("Ohio & <Erie>"));
    CallByName(el, "setAttribute", CallKind::Method, {Variant("comparison"), Variant(1)});

    Variant items = CallByName(doc, "selectNodes", CallKind::Method, {Variant("//STATENAME")});
    EXPECT_EQ(CLng(CallByName(items, "length", CallKind::PropertyGet)), 1);
    Variant first = CallByName(items, "item", CallKind::Method, {Variant(0)});
    EXPECT_EQ(CStr(CallByName(first, "text", CallKind::PropertyGet)), "Ohio & <Erie>");
    EXPECT_EQ(CLng(CallByName(first, "getAttribute", CallKind::Method, {Variant("comparison")})),
              1);
    // A missing attribute reads as Null, so converting it is error 94.
    Variant missing = CallByName(first, "getAttribute", CallKind::Method, {Variant("x")});
    EXPECT_TRUE(missing.IsNull());
    EXPECT_TRUE(CallByName(items, "item", CallKind::Method, {Variant(1)}).Obj() == nullptr);
}
