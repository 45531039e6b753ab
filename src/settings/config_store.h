#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/atomic_file.h"
#include "core/platform/file_lock.h"
#include "settings/config_buffer.h"
#include "settings/form_control.h"

// LF-only and CR CR LF line ends as CR LF; nothing else changes.
std::string NormaliseLineEnds(std::string_view bytes);

// The system's key/value store over one INI-style file: the whole file in memory, reads
// from memory, every change published to the file at once. The file is replaced as a
// whole (temporary file, flush, rename), never edited in place, so it is always either
// the old or the new content; writes between BeginBatch and EndBatch publish once.
// All texts are GBK.
class ConfigStore {
public:
    // Warnings the windows show as a message box: message and a detail text.
    using WarningHandler =
        std::function<void(const std::string& message, const std::string& detail)>;

    enum class BindMode {
        ReadWrite,  // creates a missing file and locks it against our other instances
        ReadOnly,   // only loads; nothing is created and nothing can be published
    };

    enum DeleteResult : int {
        kDeleted = 0,
        kNoSection = 1,
        kNoKey = 2,
        kQueued = 3,    // a store operation is in progress; the delete follows it
        kNotSaved = 4,  // done in memory, but the file could not be replaced
    };

    enum class Direction { Save, Restore };

    ConfigStore() = default;
    ~ConfigStore() { Close(); }
    ConfigStore(const ConfigStore&) = delete;
    ConfigStore& operator=(const ConfigStore&) = delete;

    void SetWarningHandler(WarningHandler handler) { m_warn = std::move(handler); }

    void Close();
    // Loads the file (a missing one gives an empty buffer). True when the store can
    // publish: the file is open, ours, and was read whole.
    bool Bind(std::string_view gbkPath, BindMode mode = BindMode::ReadWrite);
    bool IsBound() const { return m_bound; }
    bool IsWritable() const { return m_writable; }
    const std::string& Path() const { return m_path; }
    std::string Content() const { return m_buffer.Bytes(); }

    void SelectSection(std::string_view section) { m_section = section; }
    const std::string& Section() const { return m_section; }

    bool HasSection(std::string_view section) { return m_buffer.FindHeader(section).has_value(); }

    // Raw access; the value is the line's bytes after "=". std::nullopt: missing.
    std::optional<std::string> ReadValue(std::string_view section, std::string_view key);
    bool WriteValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes the key line, or the whole section when key is empty.
    int Delete(std::string_view section, std::string_view key);

    // Typed values in the current section.
    std::string ReadText(std::string_view key, std::string_view fallback);
    bool WriteText(std::string_view key, std::string_view text);
    double ReadNumber(std::string_view key, double fallback);
    bool WriteNumber(std::string_view key, double value);
    bool ReadLogical(std::string_view key, bool fallback);
    bool WriteLogical(std::string_view key, bool value);
    std::string ReadBytes(std::string_view key, std::string_view fallback);
    bool WriteBytes(std::string_view key, std::string_view bytes);
    // <folder of the file>/inibin/<section>-<key>.ibn
    std::string SideFilePath(std::string_view section, std::string_view key) const;

    // Writes until the matching EndBatch publish once, at its end; batches nest.
    void BeginBatch() { ++m_batchDepth; }
    bool EndBatch();
    class Batch {
    public:
        explicit Batch(ConfigStore& store) : m_store(store) { store.BeginBatch(); }
        ~Batch() { End(); }
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;
        // Publishes (for the outermost batch); false when the file could not be replaced.
        bool End() {
            if (m_ended) return m_result;
            m_ended = true;
            return m_result = m_store.EndBatch();
        }

    private:
        ConfigStore& m_store;
        bool m_ended = false;
        bool m_result = true;
    };

    // Form state: every control of a window, kind by name prefix.
    void PersistWindow(FormWindow& window, Direction direction, std::string_view section,
                       const std::vector<std::string>& excluded, bool withItemLists,
                       bool withEditText);
    bool SaveCheckBox(const FormControl& control);
    void RestoreCheckBox(FormControl& control);
    bool SaveEditBox(const FormControl& control, bool asSideFile);
    void RestoreEditBox(FormControl& control, bool asSideFile);
    bool SaveCheckList(const FormControl& control);
    void RestoreCheckList(FormControl& control);
    bool SaveComboItems(const FormControl& control);
    void RestoreComboItems(FormControl& control);
    bool SaveListBox(const FormControl& control);
    void RestoreListBox(FormControl& control);
    bool SaveComboIndex(const FormControl& control);
    void RestoreComboIndex(FormControl& control);
    bool SaveComboText(const FormControl& control);
    void RestoreComboText(FormControl& control);
    bool SaveButtonTag(const FormControl& control, bool asSideFile);
    void RestoreButtonTag(FormControl& control, bool asSideFile);
    bool SaveColour(const FormControl& control);
    void RestoreColour(FormControl& control);
    bool SaveRadio(const FormControl& control);
    void RestoreRadio(FormControl& control);

private:
    void PumpKeepingSection();

    struct Request {
        bool isDelete = false;
        std::string section, key, value;
    };

    int Submit(Request request);
    int Execute(const Request& request);
    int ExecuteWrite(const Request& request);
    int ExecuteDelete(const Request& request);
    bool Publish();
    bool SideFileChanged(const std::string& path, const std::string& bytes) const;
    bool PublishSideFiles(std::vector<platform::FileContent> files);
    void Warn(const std::string& message, const std::string& detail);
    void WarnNotSaved(const std::string& path, const std::string& error);

    std::string m_path;
    ConfigBuffer m_buffer;
    platform::FileLock m_lock;
    bool m_bound = false;
    bool m_writable = false;
    std::string m_section;
    bool m_busy = false;
    std::deque<Request> m_queue;
    int m_batchDepth = 0;
    bool m_dirty = false;  // the buffer holds changes the file does not
    // Side files written during a batch, published with it.
    std::map<std::string, std::string> m_pendingSideFiles;
    WarningHandler m_warn;
};
