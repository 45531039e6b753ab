#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <map>
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
//
// A key search does not stop at every "[" line, only at a section header line, so it
// may run on through the blocks of headers with text after their "]". Those blocks are
// not walked: an index of which blocks hold lines of which key name, and one of the
// blocks that can stop a search, lead straight to the first candidate.
class ConfigBuffer {
public:
    struct Block {
        std::vector<std::string> lines;
        std::uint64_t order = 0;  // grows in file order; blocks are only ever appended
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
    struct KeyHolder {
        BlockIt block;
        std::size_t lines = 0;  // lines of the block with this key name
    };

    bool IsHeaderLine(BlockIt block) const;
    void AppendBlock(std::string firstLine);
    void Unindex(BlockIt block);
    void IndexLine(BlockIt block, std::string_view line);
    void UnindexLine(BlockIt block, std::string_view line);
    void IndexFirstLine(BlockIt block);
    void UnindexFirstLine(BlockIt block);
    static std::optional<std::string> IndexName(std::string_view line);

    // The first block holds the lines before the first "[" line (possibly none).
    std::list<Block> m_blocks;
    std::uint64_t m_nextOrder = 0;
    // Blocks by the name between "[" and the first "]" of their first line, in file order.
    std::unordered_map<std::string, std::vector<BlockIt>> m_index;
    // By the text before a line's first "=" (the key of that line, and the start of any
    // longer key that line also answers): the blocks holding such lines, by order.
    std::unordered_map<std::string, std::map<std::uint64_t, KeyHolder>> m_keyBlocks;
    // Blocks whose first line has the shape of a section header line ("[" … "]"), by
    // order; whether a CR LF follows is asked when searching.
    std::map<std::uint64_t, BlockIt> m_headerShaped;
};
