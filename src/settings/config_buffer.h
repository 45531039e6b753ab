#pragma once

#include <cstddef>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The bytes of a settings file as CR LF separated lines, grouped into blocks that each
// start at a line beginning with "[". Joined with CR LF the lines are exactly the bytes
// that editing one flat buffer in place would give; the grouping only makes finding a
// section and editing it cost the size of that section instead of the whole file, so
// a save of a thousand sites stays linear.
class ConfigBuffer {
public:
    struct Block {
        std::vector<std::string> lines;
    };
    using BlockIt = std::list<Block>::iterator;
    struct KeyLine {
        BlockIt block;
        std::size_t line;
    };

    ConfigBuffer() { Assign({}); }
    ConfigBuffer(const ConfigBuffer&) = delete;
    ConfigBuffer& operator=(const ConfigBuffer&) = delete;

    void Assign(std::string_view bytes);
    std::string Bytes() const;
    bool Empty() const;

    // The first line that starts with "[" + section + "]": at the start of the buffer or
    // right after a CR LF.
    std::optional<BlockIt> FindHeader(std::string_view section);
    // The first line after the header that starts with key + "=", unless a section header
    // line ("[" … "]" followed by CR LF) lies between.
    std::optional<KeyLine> FindKey(BlockIt header, std::string_view key);
    static std::string_view ValueOf(const KeyLine& line, std::string_view key);

    void SetValue(const KeyLine& line, std::string_view key, std::string_view value);
    // Inserts CR LF + key + "=" right after the header's "]"; any text that followed the
    // "]" on the header line becomes the new key's value.
    void InsertKeyUnderHeader(BlockIt header, std::string_view section, std::string_view key);
    // Appends CR LF (unless the buffer is empty) + "[" + section + "]".
    void AppendSection(std::string_view section);
    // Removes the header and everything up to and including the CR LF in front of the
    // next section header line, or up to the end of the buffer.
    void DeleteSection(BlockIt header);
    void DeleteKey(const KeyLine& line);

private:
    bool IsHeaderLine(BlockIt block) const;
    void AddBlock(std::list<Block>::iterator before, Block block);
    void Unindex(BlockIt block);
    static std::optional<std::string> IndexName(std::string_view line);

    // The first block holds the lines before the first "[" line (possibly none).
    std::list<Block> m_blocks;
    // Blocks by the name between "[" and the first "]" of their first line, in file order.
    std::unordered_map<std::string, std::vector<BlockIt>> m_index;
};
