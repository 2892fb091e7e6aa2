#include "platform/ui/tree_json.hpp"

#include <nlohmann/json.hpp>

namespace ui {
namespace {

using Json = nlohmann::ordered_json;

std::string_view weightName(FontWeight weight) {
    switch (weight) {
        case FontWeight::ultraLight:
            return "ultraLight";
        case FontWeight::thin:
            return "thin";
        case FontWeight::light:
            return "light";
        case FontWeight::regular:
            return "regular";
        case FontWeight::medium:
            return "medium";
        case FontWeight::semibold:
            return "semibold";
        case FontWeight::bold:
            return "bold";
        case FontWeight::heavy:
            return "heavy";
        case FontWeight::black:
            return "black";
    }
    return "regular";
}

Json rect(const CGRect& r) {
    return Json::array({r.origin.x, r.origin.y, r.size.width, r.size.height});
}

// The fields a node has beyond its kind and place; absent ones are left out.
void addDetails(Json& json, const LaidOutView& node) {
    if (node.text) json["text"] = *node.text;
    if (node.key) json["key"] = *node.key;
    if (node.url) json["url"] = *node.url;
    if (node.font)
        json["font"] = {{"size", node.font->size}, {"weight", weightName(node.font->weight)}};
    if (node.color)
        json["color"] = {node.color->red, node.color->green, node.color->blue, node.color->opacity};
    if (node.privacySensitive) json["privacySensitive"] = true;
    if (node.truncated) json["truncated"] = true;
    if (node.symbol) json["symbol"] = *node.symbol;
    if (node.id) json["id"] = *node.id;
    if (node.accessibilityLabel) json["accessibilityLabel"] = *node.accessibilityLabel;
    if (node.accessibilityHidden) json["accessibilityHidden"] = true;
}

// The frame is the space the view takes in its parent; where its content sits inside that
// space differs only under frame modifiers (a text in a wider frame, a fitted image).
Json toJSON(const LaidOutView& node) {
    Json json;
    json["type"] = kindName(node.kind);
    json["frame"] = rect(node.layoutFrame);
    if (node.frame != node.layoutFrame) json["contentFrame"] = rect(node.frame);
    addDetails(json, node);
    Json children = Json::array();
    for (const LaidOutView& child : node.children)
        children.push_back(toJSON(child));
    json["children"] = std::move(children);
    return json;
}

}  // namespace

std::string treeJSON(const LaidOutView& root) {
    return toJSON(root).dump();
}

}  // namespace ui
