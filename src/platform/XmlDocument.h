#pragma once

#include "platform/Variant.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pugi {
struct xml_node_struct;
}

namespace zelk {

namespace err {
constexpr int FileNotFound = 53;
constexpr int PathFileAccess = 75;
} // namespace err

namespace xmldetail {
struct Store;
struct Access;
} // namespace xmldetail

// A node of an XmlDocument: an element (or, from a path query, a text node). A node keeps its
// document's storage alive, so it stays valid after the document is reloaded or destroyed.
// A default-constructed node is the null node: queries on it answer empty, changes raise 91.
class XmlNode {
public:
    XmlNode() = default;

    bool IsNull() const;
    std::string Name() const;
    // All text inside the node, descendants included.
    std::string Text() const;
    // Replaces the node's content with a single text.
    void SetText(std::string_view text);

    // Value of an attribute; "" when it is missing.
    std::string Attribute(std::string_view name) const;
    // Value of an attribute as a Variant; Null when it is missing.
    Variant GetAttribute(std::string_view name) const;
    bool HasAttribute(std::string_view name) const;
    void SetAttribute(std::string_view name, std::string_view value);
    void RemoveAttribute(std::string_view name);

    // Child elements in document order.
    std::vector<XmlNode> ChildNodes() const;
    XmlNode Parent() const;
    // Moves `child` (a node of the same document, e.g. from CreateElement) under this node, as
    // the last child; a node of another document is copied. Returns the appended node.
    XmlNode AppendChild(const XmlNode& child);
    // Takes the child out of the tree; the node stays usable and can be appended again.
    void RemoveChild(const XmlNode& child);

    // Path queries ("A/B", "//Item", "Item[@name='x']"); a bad path raises error 5.
    XmlNode SelectSingleNode(std::string_view path) const;
    std::vector<XmlNode> SelectNodes(std::string_view path) const;

    // The node and its content as text.
    std::string Xml() const;

    friend bool operator==(const XmlNode& a, const XmlNode& b);

private:
    friend class XmlDocument;
    friend struct xmldetail::Access;
    XmlNode(std::shared_ptr<xmldetail::Store> store, pugi::xml_node_struct* node)
        : store_(std::move(store)), node_(node) {}
    void RequireNode() const;

    std::shared_ptr<xmldetail::Store> store_;
    pugi::xml_node_struct* node_ = nullptr;
};

// An XML document. Copies share one tree, as object references do; LoadXml on a copy gives
// that copy a new tree. Entities are never fetched from outside the text.
class XmlDocument {
public:
    XmlDocument();

    // Replaces the content with the parsed text. Malformed text raises err::XmlParse with the
    // parser's message and the offset, and leaves the document unchanged.
    void LoadXml(std::string_view text);
    void Load(const std::string& path);
    void Save(const std::string& path) const;
    std::string Xml() const;

    // The root element, or a null node when the document is empty.
    XmlNode DocumentElement() const;
    // A new element belonging to this document but not yet in its tree.
    XmlNode CreateElement(std::string_view name);
    // Appends the root element; a document holds one only (error 5 otherwise).
    XmlNode AppendChild(const XmlNode& child);

    XmlNode SelectSingleNode(std::string_view path) const;
    std::vector<XmlNode> SelectNodes(std::string_view path) const;

private:
    std::shared_ptr<xmldetail::Store> store_;
};

} // namespace zelk
