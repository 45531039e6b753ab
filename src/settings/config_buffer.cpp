#include "settings/config_buffer.h"

#include <algorithm>
#include <cstring>
#include <initializer_list>

namespace {
constexpr std::string_view kCrLf = "\r\n";

// Appending piece by piece; operator+ chains trip a false -Wrestrict of GCC 12 at -O3.
std::string Concat(std::initializer_list<std::string_view> pieces) {
    std::string out;
    for (const auto piece : pieces) out.append(piece);
    return out;
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A line answers key k when it starts with k + "=", so its text before the first "=" is
// that of k: the name both are indexed and looked up by.
std::string_view KeyNameOf(std::string_view keyOrLine) {
    return keyOrLine.substr(0, keyOrLine.find('='));
}

bool HeaderShaped(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}
}  // namespace

std::optional<std::string> ConfigBuffer::IndexName(std::string_view line) {
    if (line.empty() || line[0] != '[') return std::nullopt;
    const auto close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return std::string(line.substr(1, close - 1));
}

void ConfigBuffer::IndexLine(BlockIt block, std::string_view line) {
    if (line.find('=') == std::string_view::npos) return;
    auto& holders = m_keyBlocks[std::string(KeyNameOf(line))];
    auto& holder = holders.try_emplace(block->order, KeyHolder{block}).first->second;
    ++holder.lines;
}

void ConfigBuffer::UnindexLine(BlockIt block, std::string_view line) {
    if (line.find('=') == std::string_view::npos) return;
    const auto entry = m_keyBlocks.find(std::string(KeyNameOf(line)));
    if (entry == m_keyBlocks.end()) return;
    auto& holders = entry->second;
    const auto holder = holders.find(block->order);
    if (holder == holders.end()) return;
    if (--holder->second.lines == 0) holders.erase(holder);
    if (holders.empty()) m_keyBlocks.erase(entry);
}

// The first line of a block counts as a key line too: a search arriving from an earlier
// header looks at it unless it stops there.
void ConfigBuffer::IndexFirstLine(BlockIt block) {
    const std::string& line = block->lines.front();
    IndexLine(block, line);
    if (HeaderShaped(line)) m_headerShaped.emplace(block->order, block);
}

void ConfigBuffer::UnindexFirstLine(BlockIt block) {
    UnindexLine(block, block->lines.front());
    m_headerShaped.erase(block->order);
}

void ConfigBuffer::AppendBlock(std::string firstLine) {
    const auto it = m_blocks.insert(m_blocks.end(), Block{{std::move(firstLine)}, m_nextOrder++});
    if (auto name = IndexName(it->lines.front())) m_index[*name].push_back(it);
    IndexFirstLine(it);
}

void ConfigBuffer::Unindex(BlockIt block) {
    for (std::size_t i = 1; i < block->lines.size(); ++i) UnindexLine(block, block->lines[i]);
    UnindexFirstLine(block);
    const auto name = IndexName(block->lines.front());
    if (!name) return;
    const auto entry = m_index.find(*name);
    if (entry == m_index.end()) return;
    auto& blocks = entry->second;
    blocks.erase(std::remove(blocks.begin(), blocks.end(), block), blocks.end());
    if (blocks.empty()) m_index.erase(entry);
}

void ConfigBuffer::Assign(std::string_view bytes) {
    m_blocks.clear();
    m_index.clear();
    m_keyBlocks.clear();
    m_headerShaped.clear();
    m_nextOrder = 0;
    // The lead block is never searched (no header leads into it), so its lines go
    // unindexed.
    m_blocks.push_back(Block{{}, m_nextOrder++});
    BlockIt current = m_blocks.begin();
    std::size_t start = 0;
    for (;;) {
        std::size_t end = start;
        // Lines end only at CR LF; a lone CR or LF is part of the line.
        for (;;) {
            const void* cr = end < bytes.size()
                                 ? std::memchr(bytes.data() + end, '\r', bytes.size() - end)
                                 : nullptr;
            if (!cr) {
                end = bytes.size();
                break;
            }
            end = static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data());
            if (end + 1 < bytes.size() && bytes[end + 1] == '\n') break;
            ++end;
        }
        const std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line[0] == '[') {
            AppendBlock(std::string(line));
            current = std::prev(m_blocks.end());
        } else {
            current->lines.emplace_back(line);
            if (current != m_blocks.begin()) IndexLine(current, line);
        }
        if (end >= bytes.size()) break;
        start = end + 2;
    }
}

std::string ConfigBuffer::Bytes() const {
    std::size_t size = 0;
    for (const auto& block : m_blocks)
        for (const auto& line : block.lines) size += line.size() + 2;
    std::string out;
    out.reserve(size);
    bool first = true;
    for (const auto& block : m_blocks)
        for (const auto& line : block.lines) {
            if (!first) out += kCrLf;
            first = false;
            out += line;
        }
    return out;
}

bool ConfigBuffer::Empty() const {
    const auto& lead = m_blocks.front().lines;
    return m_blocks.size() == 1 && lead.size() == 1 && lead[0].empty();
}

std::optional<ConfigBuffer::BlockIt> ConfigBuffer::FindHeader(std::string_view section) {
    if (section.find(']') == std::string_view::npos) {
        const auto entry = m_index.find(std::string(section));
        if (entry == m_index.end()) return std::nullopt;
        return entry->second.front();
    }
    // A name holding "]" is not what the index keys on: look at every block.
    const std::string header = Concat({"[", section, "]"});
    for (auto it = std::next(m_blocks.begin()); it != m_blocks.end(); ++it)
        if (StartsWith(it->lines.front(), header)) return it;
    return std::nullopt;
}

bool ConfigBuffer::IsHeaderLine(BlockIt block) const {
    const std::string& line = block->lines.front();
    if (line.size() < 2 || line.back() != ']') return false;
    // It must be followed by CR LF, so the buffer's very last line never is one.
    return !(std::next(block) == m_blocks.end() && block->lines.size() == 1);
}

std::optional<ConfigBuffer::KeyLine> ConfigBuffer::FindKey(BlockIt header, std::string_view key) {
    const std::string prefix = Concat({key, "="});
    const auto& own = header->lines;
    for (std::size_t i = 1; i < own.size(); ++i)
        if (StartsWith(own[i], prefix)) return KeyLine{header, i};

    const auto holders = m_keyBlocks.find(std::string(KeyNameOf(key)));
    if (holders == m_keyBlocks.end()) return std::nullopt;
    // Later blocks count up to the first one that is a section header line.
    auto stop = m_headerShaped.upper_bound(header->order);
    while (stop != m_headerShaped.end() && !IsHeaderLine(stop->second)) ++stop;
    for (auto it = holders->second.upper_bound(header->order); it != holders->second.end(); ++it) {
        if (stop != m_headerShaped.end() && it->first >= stop->first) break;
        const auto& lines = it->second.block->lines;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (StartsWith(lines[i], prefix)) return KeyLine{it->second.block, i};
    }
    return std::nullopt;
}

std::string_view ConfigBuffer::ValueOf(const KeyLine& line, std::string_view key) {
    return std::string_view(line.block->lines[line.line]).substr(key.size() + 1);
}

// The text before the first "=" stays, so the line keeps its index entry. Writes never
// use a key starting with "[", so no block's first line is changed here.
void ConfigBuffer::SetValue(const KeyLine& line, std::string_view key, std::string_view value) {
    std::string& text = line.block->lines[line.line];
    text.resize(key.size() + 1);
    text += value;
}

void ConfigBuffer::InsertKeyUnderHeader(BlockIt header, std::string_view section,
                                        std::string_view key) {
    UnindexFirstLine(header);
    std::string& headerLine = header->lines.front();
    const std::size_t close = section.size() + 2;
    std::string keyLine = Concat({key, "=", std::string_view(headerLine).substr(close)});
    headerLine.resize(close);
    IndexFirstLine(header);
    IndexLine(header, keyLine);
    header->lines.insert(header->lines.begin() + 1, std::move(keyLine));
}

void ConfigBuffer::AppendSection(std::string_view section) {
    const std::string header = Concat({"[", section, "]"});
    if (Empty()) m_blocks.front().lines.clear();
    AppendBlock(header);
}

void ConfigBuffer::DeleteSection(BlockIt header) {
    auto next = std::next(header);
    while (next != m_blocks.end() && !IsHeaderLine(next)) ++next;
    const bool toEnd = next == m_blocks.end();
    for (auto it = header; it != next;) {
        Unindex(it);
        it = m_blocks.erase(it);
    }
    // The CR LF in front of the removed header stays at the end of the buffer.
    if (toEnd) std::prev(m_blocks.end())->lines.emplace_back();
}

void ConfigBuffer::DeleteKey(const KeyLine& line) {
    auto& lines = line.block->lines;
    UnindexLine(line.block, lines[line.line]);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(line.line));
    // A key line is never a block's first line (keys never start with "["), so the
    // block keeps its header.
}
