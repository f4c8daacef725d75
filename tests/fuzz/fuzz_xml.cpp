// XML documents as the search reads its state and properties: parse, walk every node and
// attribute, run the paths the readers use, and check that saving and reading again is stable.
#include "FuzzSupport.h"

#include "platform/Conv.h"
#include "platform/XmlDocument.h"

using namespace zelk;

namespace {

void Walk(const XmlNode& node, int depth) {
    if (node.IsNull() || depth > 64) return;
    (void)node.Name();
    (void)node.Text();
    for (const char* a : {"control", "comparison", "name_or_alias", "value", "name"}) {
        if (node.HasAttribute(a)) {
            std::string v = node.Attribute(a);
            (void)ParseNumber(v);
        }
        (void)node.GetAttribute(a);
    }
    for (const XmlNode& c : node.ChildNodes())
        Walk(c, depth + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Text(data, size);
    fuzz::Refusable([&] {
        XmlDocument doc;
        doc.LoadXml(text);
        Walk(doc.DocumentElement(), 0);
        for (const char* path : {"SearchState/Search", "SearchProperties/Search", "//Criterion",
                                 "Search/*", "//*[@name='x']"})
            fuzz::Refusable([&] {
                (void)doc.SelectSingleNode(path);
                (void)doc.SelectNodes(path);
            });
        const std::string once = doc.Xml();
        XmlDocument again;
        again.LoadXml(once);
        if (again.Xml() != once) fuzz::Broken("a saved document reads back differently", once);
    });
    return 0;
}
