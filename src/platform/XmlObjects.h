#pragma once

#include "platform/Dispatch.h"
#include "platform/Error.h"
#include "platform/XmlDocument.h"

namespace zelk {

class ProgIdRegistry;

// Late-bound face of XmlDocument, with the member names of the familiar DOM: loadXML, load,
// save, xml, documentElement, createElement, appendChild, selectSingleNode, selectNodes and
// parseError (errorCode, reason). loadXML and load answer False on malformed text
// instead of raising, and keep the previous tree.
class XmlDocumentObject : public Dispatch {
public:
    XmlDocumentObject();
    XmlDocument& Document() { return doc_; }

private:
    Variant Load(bool fromFile, const Variant& source);

    XmlDocument doc_;
    Error parseError_;
};

// Element members: nodeName, tagName, text (read/write), xml, getAttribute (Null when
// missing), setAttribute, removeAttribute, childNodes, parentNode, appendChild, removeChild,
// selectSingleNode (Nothing when not found), selectNodes.
class XmlNodeObject : public Dispatch {
public:
    explicit XmlNodeObject(XmlNode node);
    const XmlNode& Node() const { return node_; }

private:
    XmlNode node_;
};

// A node list: length, item(0-based index; Nothing past the end).
class XmlNodeListObject : public Dispatch {
public:
    explicit XmlNodeListObject(std::vector<XmlNode> nodes);

private:
    std::vector<XmlNode> nodes_;
};

// Registers XmlDocumentObject as "MSXML2.DOMDocument" (and its versioned names).
void RegisterXmlClasses(ProgIdRegistry& registry);

} // namespace zelk
