#include "platform/XmlDocument.h"

#include "platform/Error.h"

#include <pugixml.hpp>

#include <fstream>
#include <sstream>

namespace zelk {

namespace xmldetail {

// The parsed tree plus a parking element for nodes that are created or removed but still held
// by a caller; pugixml frees removed nodes, so they are moved there instead.
struct Store {
    pugi::xml_document doc;
    pugi::xml_node parking;

    pugi::xml_node Parking() {
        if (!parking) parking = doc.append_child("zelk-parking");
        return parking;
    }
    bool IsParked(pugi::xml_node n) const {
        for (; n; n = n.parent())
            if (n == parking) return true;
        return false;
    }
};

struct Access {
    static XmlNode Make(const std::shared_ptr<Store>& store, pugi::xml_node n) {
        return n ? XmlNode(store, n.internal_object()) : XmlNode();
    }

    static std::vector<XmlNode> Select(const std::shared_ptr<Store>& store, pugi::xml_node context,
                                       std::string_view path, bool firstOnly) {
        std::vector<XmlNode> out;
        pugi::xpath_node_set found;
        try {
            found = context.select_nodes(std::string(path).c_str());
        } catch (const pugi::xpath_exception& e) {
            Raise(err::InvalidProcedureCall,
                  "Invalid path '" + std::string(path) + "': " + e.what());
        }
        // Parked nodes are not part of the document unless the query starts among them.
        bool fromParked = store->IsParked(context);
        for (const pugi::xpath_node& x : found) {
            pugi::xml_node n = x.node();
            if (!n || n == store->parking || (!fromParked && store->IsParked(n))) continue;
            out.push_back(Make(store, n));
            if (firstOnly) break;
        }
        return out;
    }
};

} // namespace xmldetail

using xmldetail::Access;
using xmldetail::Store;

namespace {

constexpr unsigned kParseOptions =
    pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single;

bool IsNameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
}

void RequireName(std::string_view name) {
    bool ok = !name.empty() && IsNameStart(static_cast<unsigned char>(name[0]));
    for (std::size_t i = 1; ok && i < name.size(); ++i) {
        auto c = static_cast<unsigned char>(name[i]);
        ok = IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
    }
    if (!ok) Raise(err::InvalidProcedureCall, "Invalid XML name '" + std::string(name) + "'");
}

void CollectText(pugi::xml_node n, std::string& out) {
    for (pugi::xml_node c : n.children()) {
        if (c.type() == pugi::node_pcdata || c.type() == pugi::node_cdata)
            out += c.value();
        else if (c.type() == pugi::node_element)
            CollectText(c, out);
    }
}

std::string Print(pugi::xml_node n) {
    std::ostringstream os;
    n.print(os, "", pugi::format_raw);
    return os.str();
}

[[noreturn]] void RaiseParse(const pugi::xml_parse_result& r) {
    Raise(err::XmlParse, std::string("XML parse error: ") + r.description() + " at offset " +
                             std::to_string(r.offset));
}

} // namespace

// ---- XmlNode

bool XmlNode::IsNull() const {
    return node_ == nullptr;
}

void XmlNode::RequireNode() const {
    if (!node_) Raise(err::ObjectNotSet, "");
}

std::string XmlNode::Name() const {
    pugi::xml_node n(node_);
    if (n.type() == pugi::node_pcdata) return "#text";
    if (n.type() == pugi::node_cdata) return "#cdata-section";
    return n.name();
}

std::string XmlNode::Text() const {
    pugi::xml_node n(node_);
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) return n.value();
    std::string out;
    CollectText(n, out);
    return out;
}

void XmlNode::SetText(std::string_view text) {
    RequireNode();
    pugi::xml_node n(node_);
    if (n.type() == pugi::node_pcdata || n.type() == pugi::node_cdata) {
        n.set_value(std::string(text).c_str());
        return;
    }
    // Child elements may still be held by callers: park them rather than free them.
    for (pugi::xml_node c = n.first_child(); c;) {
        pugi::xml_node next = c.next_sibling();
        if (c.type() == pugi::node_element)
            store_->Parking().append_move(c);
        else
            n.remove_child(c);
        c = next;
    }
    if (!text.empty()) n.append_child(pugi::node_pcdata).set_value(std::string(text).c_str());
}

std::string XmlNode::Attribute(std::string_view name) const {
    pugi::xml_node n(node_);
    return n.attribute(std::string(name).c_str()).value();
}

Variant XmlNode::GetAttribute(std::string_view name) const {
    pugi::xml_attribute a = pugi::xml_node(node_).attribute(std::string(name).c_str());
    return a ? Variant(std::string(a.value())) : Variant::Null();
}

bool XmlNode::HasAttribute(std::string_view name) const {
    return static_cast<bool>(pugi::xml_node(node_).attribute(std::string(name).c_str()));
}

void XmlNode::SetAttribute(std::string_view name, std::string_view value) {
    RequireNode();
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element) Raise(err::InvalidProcedureCall, "Not an element");
    RequireName(name);
    std::string key(name);
    pugi::xml_attribute a = n.attribute(key.c_str());
    if (!a) a = n.append_attribute(key.c_str());
    a.set_value(std::string(value).c_str());
}

void XmlNode::RemoveAttribute(std::string_view name) {
    RequireNode();
    pugi::xml_node(node_).remove_attribute(std::string(name).c_str());
}

std::vector<XmlNode> XmlNode::ChildNodes() const {
    std::vector<XmlNode> out;
    for (pugi::xml_node c : pugi::xml_node(node_).children())
        if (c.type() == pugi::node_element) out.push_back(Access::Make(store_, c));
    return out;
}

XmlNode XmlNode::Parent() const {
    pugi::xml_node p = pugi::xml_node(node_).parent();
    if (!p || p.type() == pugi::node_document || p == store_->parking) return XmlNode();
    return Access::Make(store_, p);
}

XmlNode XmlNode::AppendChild(const XmlNode& child) {
    RequireNode();
    child.RequireNode();
    pugi::xml_node n(node_);
    if (n.type() != pugi::node_element) Raise(err::InvalidProcedureCall, "Not an element");
    pugi::xml_node c(child.node_);
    pugi::xml_node added = child.store_ == store_ ? n.append_move(c) : n.append_copy(c);
    // pugixml refuses to move a node into its own subtree
    if (!added) Raise(err::InvalidProcedureCall, "The node cannot be appended here");
    return Access::Make(store_, added);
}

void XmlNode::RemoveChild(const XmlNode& child) {
    RequireNode();
    child.RequireNode();
    pugi::xml_node c(child.node_);
    if (child.store_ != store_ || c.parent() != pugi::xml_node(node_))
        Raise(err::InvalidProcedureCall, "The node is not a child of this node");
    store_->Parking().append_move(c);
}

XmlNode XmlNode::SelectSingleNode(std::string_view path) const {
    if (!node_) return XmlNode();
    auto found = Access::Select(store_, pugi::xml_node(node_), path, true);
    return found.empty() ? XmlNode() : found.front();
}

std::vector<XmlNode> XmlNode::SelectNodes(std::string_view path) const {
    if (!node_) return {};
    return Access::Select(store_, pugi::xml_node(node_), path, false);
}

std::string XmlNode::Xml() const {
    return node_ ? Print(pugi::xml_node(node_)) : std::string();
}

bool operator==(const XmlNode& a, const XmlNode& b) {
    return a.node_ == b.node_;
}

// ---- XmlDocument

XmlDocument::XmlDocument() : store_(std::make_shared<Store>()) {}

void XmlDocument::LoadXml(std::string_view text) {
    // Parse into fresh storage and swap only on success, so a failure leaves the old tree.
    auto fresh = std::make_shared<Store>();
    pugi::xml_parse_result r =
        fresh->doc.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    if (!r) RaiseParse(r);
    store_ = std::move(fresh);
}

void XmlDocument::Load(const std::string& path) {
    auto fresh = std::make_shared<Store>();
    pugi::xml_parse_result r = fresh->doc.load_file(path.c_str(), kParseOptions);
    if (r.status == pugi::status_file_not_found)
        Raise(err::FileNotFound, "File not found: " + path);
    if (r.status == pugi::status_io_error) Raise(err::PathFileAccess, "Cannot read " + path);
    if (!r) RaiseParse(r);
    store_ = std::move(fresh);
}

void XmlDocument::Save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) Raise(err::PathFileAccess, "Cannot write " + path);
    out << Xml();
    out.close();
    if (!out) Raise(err::PathFileAccess, "Cannot write " + path);
}

std::string XmlDocument::Xml() const {
    std::string out;
    for (pugi::xml_node c : store_->doc.children())
        if (c != store_->parking) out += Print(c);
    return out;
}

XmlNode XmlDocument::DocumentElement() const {
    for (pugi::xml_node c : store_->doc.children())
        if (c.type() == pugi::node_element && c != store_->parking) return Access::Make(store_, c);
    return XmlNode();
}

XmlNode XmlDocument::CreateElement(std::string_view name) {
    RequireName(name);
    return Access::Make(store_, store_->Parking().append_child(std::string(name).c_str()));
}

XmlNode XmlDocument::AppendChild(const XmlNode& child) {
    child.RequireNode();
    if (!DocumentElement().IsNull())
        Raise(err::InvalidProcedureCall, "Only one top level element is allowed");
    pugi::xml_node c(child.node_);
    if (c.type() != pugi::node_element)
        Raise(err::InvalidProcedureCall, "The top level node must be an element");
    pugi::xml_node added =
        child.store_ == store_ ? store_->doc.append_move(c) : store_->doc.append_copy(c);
    if (!added) Raise(err::InvalidProcedureCall, "The node cannot be appended here");
    return Access::Make(store_, added);
}

XmlNode XmlDocument::SelectSingleNode(std::string_view path) const {
    auto found = Access::Select(store_, store_->doc, path, true);
    return found.empty() ? XmlNode() : found.front();
}

std::vector<XmlNode> XmlDocument::SelectNodes(std::string_view path) const {
    return Access::Select(store_, store_->doc, path, false);
}

} // namespace zelk
