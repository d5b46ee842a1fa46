// An in-memory registry for tests: a tree of keys with named values, key
// names compared without regard to case as Windows does.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "common/registry.h"

namespace td::test {

class MemoryRegistry final : public Registry {
public:
    // Setting up a machine.
    void SetText(RegistryRoot root, const std::string& path, const std::string& name, const std::string& text,
                 bool with_terminator = true);
    void SetBytes(RegistryRoot root, const std::string& path, const std::string& name,
                  const std::vector<unsigned char>& bytes);
    void AddKey(RegistryRoot root, const std::string& path);

    // Looking at the result.
    bool HasKey(RegistryRoot root, const std::string& path) const;
    bool GetBytes(RegistryRoot root, const std::string& path, const std::string& name,
                  std::vector<unsigned char>* bytes) const;
    int OpenKeyCount() const { return static_cast<int>(open_.size()); }

    // Failures to inject.
    bool fail_create = false;
    bool fail_delete = false;

    RegistryKey CreateKey(RegistryRoot root, const char* path, RegistryAccess access, bool* created) override;
    RegistryKey OpenKey(RegistryRoot root, const char* path, RegistryAccess access) override;
    void CloseKey(RegistryKey key) override;
    bool DeleteKey(RegistryRoot root, const char* path) override;
    bool QueryValue(RegistryKey key, const char* name, void* buffer, std::uint32_t* size) override;
    bool SetBinaryValue(RegistryKey key, const char* name, const void* data, std::uint32_t size) override;
    bool SetTextValue(RegistryKey key, const char* name, const char* text) override;
    bool EnumSubkey(RegistryKey key, std::uint32_t index, char* name, std::uint32_t size) override;

private:
    struct Node {
        std::string name;                                          // as created, for enumeration
        std::map<std::string, std::unique_ptr<Node>> children;     // by lower-case name
        std::map<std::string, std::vector<unsigned char>> values;  // by lower-case name
    };
    Node* Find(RegistryRoot root, const std::string& path) const;
    Node* Make(RegistryRoot root, const std::string& path);
    Node* FromKey(RegistryKey key) const;

    Node local_machine_, current_user_;
    std::map<RegistryKey, Node*> open_;
    RegistryKey next_key_ = 0x100;
};

}  // namespace td::test
