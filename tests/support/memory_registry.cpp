#include "support/memory_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace td::test {
namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty()) parts.push_back(part);
    return parts;
}

}  // namespace

MemoryRegistry::Node* MemoryRegistry::Find(RegistryRoot root, const std::string& path) const {
    const Node* node = root == RegistryRoot::LocalMachine ? &local_machine_ : &current_user_;
    for (const std::string& part : SplitPath(path)) {
        const auto found = node->children.find(Lower(part));
        if (found == node->children.end()) return nullptr;
        node = found->second.get();
    }
    return const_cast<Node*>(node);
}

MemoryRegistry::Node* MemoryRegistry::Make(RegistryRoot root, const std::string& path) {
    Node* node = root == RegistryRoot::LocalMachine ? &local_machine_ : &current_user_;
    for (const std::string& part : SplitPath(path)) {
        auto& child = node->children[Lower(part)];
        if (!child) {
            child = std::make_unique<Node>();
            child->name = part;
        }
        node = child.get();
    }
    return node;
}

MemoryRegistry::Node* MemoryRegistry::FromKey(RegistryKey key) const {
    const auto found = open_.find(key);
    return found == open_.end() ? nullptr : found->second;
}

void MemoryRegistry::SetText(RegistryRoot root, const std::string& path, const std::string& name,
                             const std::string& text, bool with_terminator) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    if (with_terminator) bytes.push_back(0);
    SetBytes(root, path, name, bytes);
}

void MemoryRegistry::SetBytes(RegistryRoot root, const std::string& path, const std::string& name,
                              const std::vector<unsigned char>& bytes) {
    Make(root, path)->values[Lower(name)] = bytes;
}

void MemoryRegistry::AddKey(RegistryRoot root, const std::string& path) { Make(root, path); }

bool MemoryRegistry::HasKey(RegistryRoot root, const std::string& path) const { return Find(root, path) != nullptr; }

bool MemoryRegistry::GetBytes(RegistryRoot root, const std::string& path, const std::string& name,
                              std::vector<unsigned char>* bytes) const {
    const Node* node = Find(root, path);
    if (node == nullptr) return false;
    const auto found = node->values.find(Lower(name));
    if (found == node->values.end()) return false;
    if (bytes != nullptr) *bytes = found->second;
    return true;
}

RegistryKey MemoryRegistry::CreateKey(RegistryRoot root, const char* path, RegistryAccess, bool* created) {
    if (fail_create) return 0;
    const bool existed = Find(root, path) != nullptr;
    Node* node = Make(root, path);
    if (created != nullptr) *created = !existed;
    const RegistryKey key = next_key_++;
    open_[key] = node;
    return key;
}

RegistryKey MemoryRegistry::OpenKey(RegistryRoot root, const char* path, RegistryAccess) {
    Node* node = Find(root, path);
    if (node == nullptr) return 0;
    const RegistryKey key = next_key_++;
    open_[key] = node;
    return key;
}

void MemoryRegistry::CloseKey(RegistryKey key) { open_.erase(key); }

bool MemoryRegistry::DeleteKey(RegistryRoot root, const char* path) {
    if (fail_delete) return false;
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return false;
    const std::string leaf = Lower(parts.back());
    parts.pop_back();
    std::string parent_path;
    for (const std::string& part : parts) parent_path += part + "\\";
    Node* parent = Find(root, parent_path);
    if (parent == nullptr) return false;
    const auto found = parent->children.find(leaf);
    if (found == parent->children.end() || !found->second->children.empty()) return false;
    for (auto it = open_.begin(); it != open_.end();) {
        it = it->second == found->second.get() ? open_.erase(it) : std::next(it);
    }
    parent->children.erase(found);
    return true;
}

bool MemoryRegistry::QueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) {
    const Node* node = FromKey(key);
    if (node == nullptr) return false;
    const auto found = node->values.find(Lower(name == nullptr ? "" : name));
    if (found == node->values.end()) return false;
    const std::vector<unsigned char>& bytes = found->second;
    const bool fits = bytes.size() <= *size;
    if (fits && buffer != nullptr && !bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    *size = static_cast<std::uint32_t>(bytes.size());
    return fits;
}

bool MemoryRegistry::SetBinaryValue(RegistryKey key, const char* name, const void* data, std::uint32_t size) {
    Node* node = FromKey(key);
    if (node == nullptr) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    node->values[Lower(name)] = std::vector<unsigned char>(bytes, bytes + size);
    return true;
}

bool MemoryRegistry::SetTextValue(RegistryKey key, const char* name, const char* text) {
    const std::string value(text);
    return SetBinaryValue(key, name, value.c_str(), static_cast<std::uint32_t>(value.size() + 1));
}

bool MemoryRegistry::EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t size) {
    const Node* node = FromKey(key);
    if (node == nullptr || index >= node->children.size()) return false;
    auto it = node->children.begin();
    std::advance(it, index);
    const std::string& child = it->second->name;
    if (child.size() + 1 > size) return false;
    std::memcpy(name, child.c_str(), child.size() + 1);
    return true;
}

}  // namespace td::test
