#include "platform/XmlObjects.h"

#include "platform/Conv.h"
#include "platform/Error.h"
#include "platform/ProgIdRegistry.h"

namespace zelk {

namespace {

Variant Wrap(const XmlNode& n) {
    if (n.IsNull()) return Variant::Nothing();
    return Variant(std::make_shared<XmlNodeObject>(n));
}

Variant WrapList(std::vector<XmlNode> nodes) {
    return Variant(std::make_shared<XmlNodeListObject>(std::move(nodes)));
}

// The node held by a late-bound argument; error 13 when it is not one of ours.
const XmlNode& NodeArg(const Args& a, std::size_t i) {
    auto obj = RequireObject(Arg(a, i));
    auto* node = dynamic_cast<XmlNodeObject*>(obj.get());
    if (!node) Raise(err::TypeMismatch, "");
    return node->Node();
}

class ParseErrorObject : public Dispatch {
public:
    explicit ParseErrorObject(Error e) : Dispatch("IXMLDOMParseError"), e_(std::move(e)) {
        DefineProperty("errorCode", [this](Args&) { return Variant(e_.Number); });
        DefineProperty("reason", [this](Args&) { return Variant(e_.Description); });
    }

private:
    Error e_;
};

} // namespace

XmlDocumentObject::XmlDocumentObject() : Dispatch("DOMDocument") {
    DefineMethod("loadXML", [this](Args& a) { return Load(false, Arg(a, 0)); });
    DefineMethod("load", [this](Args& a) { return Load(true, Arg(a, 0)); });
    DefineMethod("save", [this](Args& a) {
        doc_.Save(CStr(Arg(a, 0)));
        return Variant();
    });
    DefineProperty("xml", [this](Args&) { return Variant(doc_.Xml()); });
    DefineProperty("documentElement", [this](Args&) { return Wrap(doc_.DocumentElement()); });
    DefineMethod("createElement",
                 [this](Args& a) { return Wrap(doc_.CreateElement(CStr(Arg(a, 0)))); });
    DefineMethod("appendChild", [this](Args& a) { return Wrap(doc_.AppendChild(NodeArg(a, 0))); });
    DefineMethod("selectSingleNode",
                 [this](Args& a) { return Wrap(doc_.SelectSingleNode(CStr(Arg(a, 0)))); });
    DefineMethod("selectNodes",
                 [this](Args& a) { return WrapList(doc_.SelectNodes(CStr(Arg(a, 0)))); });
    DefineProperty("parseError", [this](Args&) {
        return Variant(std::make_shared<ParseErrorObject>(parseError_));
    });
}

Variant XmlDocumentObject::Load(bool fromFile, const Variant& source) {
    try {
        if (fromFile)
            doc_.Load(CStr(source));
        else
            doc_.LoadXml(CStr(source));
    } catch (const ComError& e) {
        parseError_ = e.GetError();
        return Variant(false);
    }
    parseError_ = Error{};
    return Variant(true);
}

XmlNodeObject::XmlNodeObject(XmlNode node) : Dispatch("IXMLDOMElement"), node_(std::move(node)) {
    DefineProperty("nodeName", [this](Args&) { return Variant(node_.Name()); });
    DefineProperty("tagName", [this](Args&) { return Variant(node_.Name()); });
    DefineProperty(
        "text", [this](Args&) { return Variant(node_.Text()); },
        [this](const Variant& v, Args&) { node_.SetText(CStr(v)); });
    DefineProperty("xml", [this](Args&) { return Variant(node_.Xml()); });
    DefineMethod("getAttribute", [this](Args& a) { return node_.GetAttribute(CStr(Arg(a, 0))); });
    DefineMethod("setAttribute", [this](Args& a) {
        node_.SetAttribute(CStr(Arg(a, 0)), CStr(Arg(a, 1)));
        return Variant();
    });
    DefineMethod("removeAttribute", [this](Args& a) {
        node_.RemoveAttribute(CStr(Arg(a, 0)));
        return Variant();
    });
    DefineProperty("childNodes", [this](Args&) { return WrapList(node_.ChildNodes()); });
    DefineProperty("parentNode", [this](Args&) { return Wrap(node_.Parent()); });
    DefineMethod("appendChild", [this](Args& a) { return Wrap(node_.AppendChild(NodeArg(a, 0))); });
    DefineMethod("removeChild", [this](Args& a) {
        const XmlNode& child = NodeArg(a, 0);
        node_.RemoveChild(child);
        return Wrap(child);
    });
    DefineMethod("selectSingleNode",
                 [this](Args& a) { return Wrap(node_.SelectSingleNode(CStr(Arg(a, 0)))); });
    DefineMethod("selectNodes",
                 [this](Args& a) { return WrapList(node_.SelectNodes(CStr(Arg(a, 0)))); });
}

XmlNodeListObject::XmlNodeListObject(std::vector<XmlNode> nodes)
    : Dispatch("IXMLDOMNodeList"), nodes_(std::move(nodes)) {
    DefineProperty("length", [this](Args&) { return Variant(static_cast<int>(nodes_.size())); });
    DefineMethod("item", [this](Args& a) {
        long i = CLng(Arg(a, 0));
        if (i < 0 || static_cast<std::size_t>(i) >= nodes_.size()) return Variant::Nothing();
        return Wrap(nodes_[static_cast<std::size_t>(i)]);
    });
}

void RegisterXmlClasses(ProgIdRegistry& registry) {
    for (const char* id : {"MSXML2.DOMDocument", "MSXML2.DOMDocument.3.0", "MSXML2.DOMDocument.6.0",
                           "MSXML.DOMDocument"})
        registry.Register(id, [] { return std::make_shared<XmlDocumentObject>(); });
}

} // namespace zelk
