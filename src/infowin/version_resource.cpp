#include "infowin/version_resource.h"

namespace td {

namespace {

struct Node {
    std::size_t key;          // offset of the key's first code unit
    std::size_t value;        // offset of the value
    std::size_t value_units;  // value length as stored
    bool text;                // type 1
    std::size_t children;     // offset of the first child
    std::size_t end;          // offset just past the node
};

constexpr std::size_t kHeaderSize = 6;

std::size_t Align4(std::size_t offset) { return (offset + 3) & ~static_cast<std::size_t>(3); }

unsigned Unit(const std::uint8_t* bytes, std::size_t at) { return bytes[at] | (bytes[at + 1] << 8); }

// The node at `at`, which must end by `limit`; false for a damaged one.
bool ReadNode(const std::uint8_t* bytes, std::size_t at, std::size_t limit, Node& node) {
    if (at > limit || limit - at < kHeaderSize) return false;
    const std::size_t length = Unit(bytes, at);
    if (length < kHeaderSize || length > limit - at) return false;
    node.end = at + length;
    node.value_units = Unit(bytes, at + 2);
    node.text = Unit(bytes, at + 4) == 1;
    node.key = at + kHeaderSize;
    std::size_t key_end = node.key;
    while (key_end + 2 <= node.end && Unit(bytes, key_end) != 0) key_end += 2;
    if (key_end + 2 > node.end) return false;  // no terminator inside the node
    node.value = Align4(key_end + 2);
    const std::size_t value_bytes = node.text ? 2 * node.value_units : node.value_units;
    node.children = Align4(node.value + value_bytes);
    return true;
}

char LowerAscii(unsigned c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); }

// The node's key equals the path component [name, name_end).
bool KeyIs(const std::uint8_t* bytes, const Node& node, const char* name, const char* name_end) {
    std::size_t at = node.key;
    for (; name != name_end; ++name, at += 2) {
        const unsigned unit = Unit(bytes, at);
        if (unit == 0 || unit > 0x7F || LowerAscii(unit) != LowerAscii(static_cast<unsigned char>(*name))) {
            return false;
        }
    }
    return Unit(bytes, at) == 0;
}

}  // namespace

ResourceText FindVersionText(const void* block, std::size_t size, const char* path) {
    const auto* bytes = static_cast<const std::uint8_t*>(block);
    Node node{};
    if (bytes == nullptr || path == nullptr || !ReadNode(bytes, 0, size, node)) return {nullptr, 0};
    const char* component = path;
    for (;;) {
        while (*component == '\\') ++component;
        if (*component == '\0') break;
        const char* component_end = component;
        while (*component_end != '\0' && *component_end != '\\') ++component_end;
        // Among the children of the node reached so far.
        const std::size_t parent_end = node.end;
        std::size_t at = node.children;
        bool found = false;
        while (!found && at < parent_end) {
            if (!ReadNode(bytes, at, parent_end, node)) return {nullptr, 0};
            found = KeyIs(bytes, node, component, component_end);
            if (!found) at = Align4(node.end);
        }
        if (!found) return {nullptr, 0};
        component = component_end;
    }
    if (!node.text || node.value >= node.end) return {nullptr, 0};
    // The stored length counts the terminator, where there is one; never
    // past the node.
    int length = 0;
    for (std::size_t at = node.value; at + 2 <= node.end && static_cast<std::size_t>(length) < node.value_units;
         at += 2, ++length) {
        if (Unit(bytes, at) == 0) break;
    }
    return {length > 0 ? bytes + node.value : nullptr, length};
}

}  // namespace td
