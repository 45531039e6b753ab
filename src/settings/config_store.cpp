#include "settings/config_store.h"

#include "core/charset.h"
#include "core/events.h"
#include "core/gbk_text.h"
#include "core/number_text.h"
#include "core/platform/atomic_file.h"
#include "core/platform/files.h"
#include "core/platform/paths.h"

namespace {

const std::string& TrueText() {
    static const std::string text = charset::Utf8ToGbk("真");
    return text;
}
const std::string& FalseText() {
    static const std::string text = charset::Utf8ToGbk("假");
    return text;
}
// Stands for CR LF inside a text value, which must stay on its line.
const std::string& LineBreakMark() {
    static const std::string text = charset::Utf8ToGbk("┊*┊");
    return text;
}
const std::string& StoreFailureText() {
    static const std::string text =
        charset::Utf8ToGbk("配置模块出现意外，可能导致无法正常保存！详情请咨询岚舟。");
    return text;
}
const std::string& NotSavedText() {
    static const std::string text = charset::Utf8ToGbk("配置文件无法保存，原有内容未改动：");
    return text;
}
const std::string& NotOwnedText() {
    static const std::string text =
        charset::Utf8ToGbk("配置文件正被另一个程序使用或无法打开，修改不会保存：");
    return text;
}

// Settings files are small; a larger one is not read, and so never overwritten either.
constexpr std::size_t kMaxFileBytes = std::size_t(256) << 20;
// Rounds of one write: append the section, insert the key, set the value. The buffer
// finds what it just made, so more rounds mean a name it cannot hold.
constexpr int kMaxAppends = 11;
constexpr int kMaxInserts = 3;

// Only CR LF ends a line; a lone CR or LF is an ordinary byte.
bool OnOneLine(std::string_view text) {
    return text.find("\r\n") == std::string_view::npos;
}
// A key line starting with "[" would read as a header.
bool UsableKey(std::string_view key) {
    return OnOneLine(key) && (key.empty() || key[0] != '[');
}
// Side file names must stay inside the inibin folder.
bool UsableInFileName(std::string_view name) {
    for (std::size_t i = 0; i < name.size(); i += gbk::CharLength(name, i))
        if (name[i] == '/' || name[i] == '\\' || name[i] == '\0') return false;
    return true;
}

}  // namespace

std::string NormaliseLineEnds(std::string_view bytes) {
    // LF alone (a Linux editor) and CR CR LF (a file that went through a text-mode copy)
    // both end a line. CR LF is the format, so every run of CRs before an LF, or none,
    // becomes one CR LF; a CR without an LF stays as it is. GBK trail bytes are never CR
    // or LF, so bytes can be looked at one by one.
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 32);
    std::size_t crs = 0;
    for (const char c : bytes) {
        if (c == '\r') {
            ++crs;
            continue;
        }
        if (c == '\n') {
            out += "\r\n";
        } else {
            out.append(crs, '\r');
            out += c;
        }
        crs = 0;
    }
    out.append(crs, '\r');
    return out;
}

void ConfigStore::Close() {
    m_lock.Release();
    m_buffer.Assign({});
    m_path.clear();
    m_bound = m_writable = m_dirty = false;
    m_pendingSideFiles.clear();
}

bool ConfigStore::Bind(std::string_view gbkPath, BindMode mode) {
    Close();
    m_path = gbkPath;
    m_bound = true;
    bool owned = false;
    if (mode == BindMode::ReadWrite)
        owned = m_lock.Acquire(gbkPath, true) == platform::FileLock::Result::Locked;
    const auto bytes = platform::ReadWholeFile(gbkPath, kMaxFileBytes);
    if (bytes) m_buffer.Assign(NormaliseLineEnds(*bytes));
    // A file we could not read whole must not be replaced by what little we know of it.
    m_writable = owned && bytes.has_value();
    if (!m_writable) m_lock.Release();
    return m_writable;
}

// A handler run by the pump may select another section for a store call of its own
// (a row's check box saving its site); the call in progress goes on in its own section.
void ConfigStore::PumpKeepingSection() {
    const std::string section = m_section;
    PumpEvents();
    m_section = section;
}

void ConfigStore::Warn(const std::string& message, const std::string& detail) {
    if (m_warn) m_warn(message, detail);
}

void ConfigStore::WarnNotSaved(const std::string& path, const std::string& error) {
    Warn(NotSavedText() + path, charset::Utf8ToGbk(error));
}

std::optional<std::string> ConfigStore::ReadValue(std::string_view section, std::string_view key) {
    PumpKeepingSection();
    const auto header = m_buffer.FindHeader(section);
    if (!header) return std::nullopt;
    const auto line = m_buffer.FindKey(*header, key);
    if (!line) return std::nullopt;
    return std::string(ConfigBuffer::ValueOf(*line, key));
}

bool ConfigStore::WriteValue(std::string_view section, std::string_view key,
                             std::string_view value) {
    return Submit({false, std::string(section), std::string(key), std::string(value)}) == 0;
}

int ConfigStore::Delete(std::string_view section, std::string_view key) {
    return Submit({true, std::string(section), std::string(key), {}});
}

// An event handler run by PumpEvents in the middle of an operation may start another
// one: it waits in the queue and is carried out when the current one is done.
int ConfigStore::Submit(Request request) {
    m_queue.push_back(std::move(request));
    if (m_busy) return m_queue.back().isDelete ? kQueued : 1;
    m_busy = true;
    std::optional<int> own;
    bool ownIsDelete = false;
    while (!m_queue.empty()) {
        const Request next = std::move(m_queue.front());
        m_queue.pop_front();
        const int result = Execute(next);
        if (!own) {
            own = result;
            ownIsDelete = next.isDelete;
        }
    }
    m_busy = false;
    if (m_batchDepth == 0 && !Publish() && *own == 0) return ownIsDelete ? kNotSaved : 1;
    return *own;
}

int ConfigStore::Execute(const Request& request) {
    return request.isDelete ? ExecuteDelete(request) : ExecuteWrite(request);
}

// Result 0 done, 1 failed.
int ConfigStore::ExecuteWrite(const Request& request) {
    const std::string& key = request.key;
    if (!OnOneLine(request.section) || !UsableKey(key) || !OnOneLine(request.value)) {
        Warn(StoreFailureText(), m_buffer.Bytes());
        return 1;
    }
    int appends = 0;
    int inserts = 0;
    for (;;) {
        PumpKeepingSection();
        const auto header = m_buffer.FindHeader(request.section);
        if (!header) {
            if (appends == kMaxAppends) {
                Warn(StoreFailureText(), m_buffer.Bytes());
                return 1;
            }
            m_buffer.AppendSection(request.section);
            m_dirty = true;
            ++appends;
            continue;
        }
        if (const auto line = m_buffer.FindKey(*header, key)) {
            m_buffer.SetValue(*line, key, request.value);
            m_dirty = true;
            return 0;
        }
        if (inserts == kMaxInserts) {
            Warn(StoreFailureText(), m_buffer.Bytes());
            return 1;
        }
        m_buffer.InsertKeyUnderHeader(*header, request.section, key);
        m_dirty = true;
        ++inserts;
    }
}

int ConfigStore::ExecuteDelete(const Request& request) {
    PumpKeepingSection();
    const auto header = m_buffer.FindHeader(request.section);
    if (!header) return kNoSection;
    if (request.key.empty()) {
        m_buffer.DeleteSection(*header);
        m_dirty = true;
        return kDeleted;
    }
    if (!UsableKey(request.key)) return kNoKey;
    const auto line = m_buffer.FindKey(*header, request.key);
    if (!line) return kNoKey;
    m_buffer.DeleteKey(*line);
    m_dirty = true;
    return kDeleted;
}

bool ConfigStore::EndBatch() {
    if (m_batchDepth > 0) --m_batchDepth;
    return m_batchDepth > 0 || Publish();
}

// An unchanged side file is left alone, and an empty value needs no file: a missing
// side file reads as empty just the same.
bool ConfigStore::SideFileChanged(const std::string& path, const std::string& bytes) const {
    const auto old = platform::ReadWholeFile(path, kMaxFileBytes);
    return old ? *old != bytes : !bytes.empty();
}

bool ConfigStore::PublishSideFiles(std::vector<platform::FileContent> files) {
    std::erase_if(files,
                  [&](const auto& file) { return !SideFileChanged(file.gbkPath, file.bytes); });
    if (files.empty()) return true;
    std::string error;
    for (const auto& file : files)
        if (!platform::CreateFolders(platform::ParentFolder(file.gbkPath))) {
            WarnNotSaved(file.gbkPath, "cannot create the inibin folder");
            return false;
        }
    if (!platform::ReplaceFilesAtomically(files, &error)) {
        WarnNotSaved(files.front().gbkPath, error);
        return false;
    }
    return true;
}

bool ConfigStore::Publish() {
    if (m_busy) return true;  // the operation in progress publishes when it ends
    if (!m_dirty && m_pendingSideFiles.empty()) return true;
    if (!m_writable) {
        Warn(NotOwnedText() + m_path, {});
        return false;
    }
    std::vector<platform::FileContent> sideFiles;
    for (auto& [path, bytes] : m_pendingSideFiles) sideFiles.push_back({path, std::move(bytes)});
    m_pendingSideFiles.clear();
    const bool ok = PublishSideFiles(std::move(sideFiles));
    if (!m_dirty) return ok;
    std::string error;
    if (!platform::ReplaceFileAtomically(m_path, m_buffer.Bytes(), &error, &m_lock)) {
        // The buffer keeps the changes; the next publish tries again.
        WarnNotSaved(m_path, error);
        return false;
    }
    m_dirty = false;
    return ok;
}

std::string ConfigStore::ReadText(std::string_view key, std::string_view fallback) {
    const auto value = ReadValue(m_section, key);
    const std::string raw = value ? *value : gbk::ReplaceAll(fallback, "\r\n", LineBreakMark());
    return gbk::ReplaceAll(raw, LineBreakMark(), "\r\n");
}

bool ConfigStore::WriteText(std::string_view key, std::string_view text) {
    return WriteValue(m_section, key, gbk::ReplaceAll(text, "\r\n", LineBreakMark()));
}

double ConfigStore::ReadNumber(std::string_view key, double fallback) {
    const auto value = ReadValue(m_section, key);
    return TextToNumber(value ? *value : FormatNumber(fallback));
}

bool ConfigStore::WriteNumber(std::string_view key, double value) {
    return WriteValue(m_section, key, FormatNumber(value));
}

bool ConfigStore::ReadLogical(std::string_view key, bool fallback) {
    const auto value = ReadValue(m_section, key);
    return value ? *value == TrueText() : fallback;
}

bool ConfigStore::WriteLogical(std::string_view key, bool value) {
    return WriteValue(m_section, key, value ? TrueText() : FalseText());
}

std::string ConfigStore::SideFilePath(std::string_view section, std::string_view key) const {
    const std::string folder = platform::JoinPath(platform::ParentFolder(m_path), "inibin");
    return platform::JoinPath(folder, std::string(section) + "-" + std::string(key) + ".ibn");
}

std::string ConfigStore::ReadBytes(std::string_view key, std::string_view fallback) {
    if (!UsableInFileName(m_section) || !UsableInFileName(key)) return std::string(fallback);
    const std::string path = SideFilePath(m_section, key);
    const auto pending = m_pendingSideFiles.find(path);
    if (pending != m_pendingSideFiles.end())
        return pending->second.empty() ? std::string(fallback) : pending->second;
    const auto bytes = platform::ReadWholeFile(path, kMaxFileBytes);
    return bytes && !bytes->empty() ? *bytes : std::string(fallback);
}

bool ConfigStore::WriteBytes(std::string_view key, std::string_view bytes) {
    if (!UsableInFileName(m_section) || !UsableInFileName(key)) {
        Warn(StoreFailureText(), m_section + "-" + std::string(key));
        return false;
    }
    if (!m_writable) {
        Warn(NotOwnedText() + m_path, {});
        return false;
    }
    const std::string path = SideFilePath(m_section, key);
    if (m_batchDepth > 0) {
        m_pendingSideFiles[path] = std::string(bytes);
        return true;
    }
    return PublishSideFiles({{path, std::string(bytes)}});
}
